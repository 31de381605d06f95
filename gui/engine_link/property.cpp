#include "engine_link/property.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QSpinBox>
#include <cmath>

Property::Property(QWidget* parent) : QDialog(parent) {
    setObjectName("PropertyClass");
    setWindowTitle("Property");
    resize(311, 162);

    auto* grid = new QGridLayout(this);
    auto* group = new QGroupBox("Design Property", this);
    auto* form = new QFormLayout(group);

    yModSpinDesign = new QDoubleSpinBox(group);
    yModSpinDesign->setObjectName("yModSpinDesign");
    yModSpinDesign->setRange(0, 1e10);
    yModSpinDesign->setSingleStep(0.1);
    yModSpinDesign->setDecimals(6);
    yModSpinDesign->setValue(2);
    yModExpSpinDesign = new QSpinBox(group);
    yModExpSpinDesign->setObjectName("yModExpSpinDesign");
    yModExpSpinDesign->setMinimum(0);
    yModExpSpinDesign->setSingleStep(1);
    yModExpSpinDesign->setPrefix("E+");
    yModExpSpinDesign->setValue(11);
    auto* modulusRow = new QHBoxLayout;
    modulusRow->addWidget(yModSpinDesign);
    modulusRow->addWidget(yModExpSpinDesign);
    form->addRow("Young's Modulus", modulusRow);

    poissonSpinDesign = new QDoubleSpinBox(group);
    poissonSpinDesign->setObjectName("poissonSpinDesign");
    poissonSpinDesign->setRange(0, 1e10);
    poissonSpinDesign->setSingleStep(0.1);
    poissonSpinDesign->setDecimals(2);
    poissonSpinDesign->setValue(0.3);
    form->addRow("Poisson's ratio", poissonSpinDesign);

    densitySpinDesign = new QDoubleSpinBox(group);
    densitySpinDesign->setObjectName("densitySpinDesign");
    densitySpinDesign->setRange(0, 1e10);
    densitySpinDesign->setSingleStep(100);
    densitySpinDesign->setDecimals(2);
    densitySpinDesign->setSuffix(QString());
    densitySpinDesign->setValue(7800);
    form->addRow("Density", densitySpinDesign);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    grid->addWidget(group, 0, 0);
    grid->addWidget(buttons, 1, 0);
}

void Property::splitModulus(double modulus, double& mantissa, int& exponent) {
    exponent = 0;
    mantissa = modulus;
    while (mantissa > 10 || mantissa < -10) {
        mantissa /= 10;
        ++exponent;
    }
}

void Property::setMaterial(const Material& material) {
    double mantissa = 0;
    int exponent = 0;
    splitModulus(material.youngsModulus, mantissa, exponent);
    yModSpinDesign->setValue(mantissa);
    yModExpSpinDesign->setValue(exponent);
    poissonSpinDesign->setValue(material.poissonsRatio);
    densitySpinDesign->setValue(material.density);
}

Material Property::material() const {
    return Material{yModSpinDesign->value() * std::pow(10.0, yModExpSpinDesign->value()),
                    poissonSpinDesign->value(), densitySpinDesign->value()};
}

bool Property::editDesignMaterial(QWidget* parent) {
    Property dialog(parent);
    dialog.setMaterial(Materials::design());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Materials::setDesign(dialog.material());
    Materials::setNonDesign(Material{});
    return true;
}
