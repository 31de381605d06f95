#include "engine_link/esoparameters.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QSpacerItem>
#include <QSpinBox>

namespace {
QDoubleSpinBox* doubleSpin(QWidget* parent, const char* name, double max, double step,
                           const QString& suffix, double value) {
    auto* spin = new QDoubleSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(0, max);
    spin->setSingleStep(step);
    spin->setDecimals(2);
    spin->setSuffix(suffix);
    spin->setValue(value);
    return spin;
}
} // namespace

ESOParameters::ESOParameters(QWidget* parent) : QDialog(parent) {
    setObjectName("ESOParametersClass");
    setWindowTitle("Start TOPAX");
    resize(517, 271);
    setWindowModality(Qt::NonModal);

    auto* grid = new QGridLayout(this);

    auto* evolutionary = new QGroupBox("Evolutionary Parameters", this);
    auto* evolutionaryForm = new QFormLayout(evolutionary);
    eRateSpin = doubleSpin(evolutionary, "eRateSpin", 100, 1, "%", 2);
    filterRadiusSpin = doubleSpin(evolutionary, "filterRadiusSpin", 1000, 0.1, QString(), 0.3);
    // The labels keep their trailing blanks: they line up the two groups' fields.
    evolutionaryForm->addRow("Evolutionary volume ratio (%)         ", eRateSpin);
    evolutionaryForm->addRow("Filter radius", filterRadiusSpin);

    auto* termination = new QGroupBox("Termination Control", this);
    auto* terminationForm = new QFormLayout(termination);
    convergenceErrorSpin = doubleSpin(termination, "convergenceErrorSpin", 100, 0.1, "%", 0.1);
    maxIterationSpin = new QSpinBox(termination);
    maxIterationSpin->setObjectName("maxIterationSpin");
    maxIterationSpin->setRange(0, 9999999);
    maxIterationSpin->setSingleStep(1);
    maxIterationSpin->setValue(200);
    volumeFractionSpin = doubleSpin(termination, "volumeFractionSpin", 100, 1, "%", 50);
    terminationForm->addRow("Convergence tolerance (%)            ", convergenceErrorSpin);
    terminationForm->addRow("Max iteration number", maxIterationSpin);
    terminationForm->addRow("Objective volume fraction (%)", volumeFractionSpin);

    NewDesigncheckBox = new QCheckBox("New optimization run", this);
    NewDesigncheckBox->setObjectName("NewDesigncheckBox");
    NewDesigncheckBox->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    grid->addWidget(evolutionary, 0, 0);
    grid->addWidget(termination, 1, 0);
    grid->addWidget(NewDesigncheckBox, 2, 0);
    grid->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 3, 0);
    grid->addWidget(buttons, 4, 0);
}

double ESOParameters::evolutionaryVolumeRatio() const {
    return eRateSpin->value();
}

double ESOParameters::filterRadius() const {
    return filterRadiusSpin->value();
}

double ESOParameters::convergenceTolerance() const {
    return convergenceErrorSpin->value();
}

int ESOParameters::maxIterations() const {
    return maxIterationSpin->value();
}

double ESOParameters::objectiveVolumeFraction() const {
    return volumeFractionSpin->value();
}

bool ESOParameters::newOptimizationRun() const {
    return NewDesigncheckBox->isChecked();
}

void ESOParameters::setFilterRadius(double metres) {
    filterRadiusSpin->setValue(metres);
}

QString ESOParameters::parametersText() const {
    return parametersText(evolutionaryVolumeRatio(), filterRadius(), convergenceTolerance(),
                          maxIterations(), objectiveVolumeFraction());
}

QString ESOParameters::parametersText(double evolutionaryVolumeRatio, double filterRadius,
                                      double convergenceTolerance, int maxIterations,
                                      double objectiveVolumeFraction) {
    // Ratios go to the engine as fractions, the radius in metres as typed.
    return QString("=================================\n"
                   "=Parameters for TOPAX:  TOPAX V1.0=\n"
                   "=================================\n"
                   "*Model<BMesh>\n"
                   "*EvoVolRatio<%1>\n"
                   "*FilterRadius<%2>\n"
                   "*ConvTolerance<%3>\n"
                   "*MaxIter<%4>\n"
                   "*ObjVolFraction<%5>\n")
        .arg(evolutionaryVolumeRatio / 100, 0, 'g', 6)
        .arg(filterRadius, 0, 'g', 6)
        .arg(convergenceTolerance / 100, 0, 'g', 6)
        .arg(maxIterations)
        .arg(objectiveVolumeFraction / 100, 0, 'g', 6);
}
