#include "engine_link/iterationreview.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QHash>
#include <QLabel>
#include <QMessageBox>
#include <QSlider>
#include <QTimeLine>
#include <cmath>

#include "engine_link/enginerun.h"
#include "engine_link/historyplot.h"
#include "engine_link/materials.h"
#include "engine_link/resultdisplay.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"

namespace {
QByteArray readFile(const QString& path, QIODevice::OpenMode mode) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | mode))
        return {};
    return file.readAll();
}

// The fields of a record between "<" and ">", trimmed.
QStringList recordFields(const QString& line) {
    const qsizetype open = line.indexOf('<');
    qsizetype close = line.indexOf('>', open + 1);
    if (close < 0)
        close = line.size();
    QStringList fields = line.mid(open + 1, close - open - 1).split(',');
    for (QString& field : fields)
        field = field.trimmed();
    return fields;
}

bool sameValue(double a, double b) {
    return std::abs(a - b) <= 1e-12 * std::min(std::abs(a), std::abs(b));
}

// A slider dialog shared by "Intermediate design" and "Run movie".
struct SliderDialog {
    QDialog dialog;
    QSlider* slider;

    SliderDialog(const QString& title, const QString& caption, int maximum, int value, int minimum,
                 const QString& accept)
        : dialog(QApplication::activeWindow()) {
        dialog.setWindowTitle(title);
        auto* grid = new QGridLayout(&dialog);
        grid->addWidget(new QLabel(caption, &dialog), 0, 0, 1, 2);
        slider = new QSlider(Qt::Horizontal, &dialog);
        slider->setRange(minimum, std::max(minimum, maximum));
        slider->setTickInterval(1);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setSingleStep(1);
        slider->setValue(value);
        auto* label = new QLabel(QString::number(slider->value()), &dialog);
        QObject::connect(slider, &QSlider::valueChanged, label, qOverload<int>(&QLabel::setNum));
        grid->addWidget(slider, 1, 0);
        grid->addWidget(label, 1, 1);
        auto* buttons = new QDialogButtonBox(Qt::Horizontal, &dialog);
        buttons->setCenterButtons(true);
        buttons->addButton(accept, QDialogButtonBox::AcceptRole);
        buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        grid->addWidget(buttons, 2, 0, 1, 2);
        buttons->setFocus();
    }
};
} // namespace

IterationReview::IterationReview(EvolveMesh* mesh, EngineRun* run)
    : QObject(run), mesh(mesh), run(run) {}

QString IterationReview::frameFile(int iteration, const QString& suffix) {
    return EngineRun::workspaceDir() + "/BMesh" + QString("%1").arg(iteration, 3, 10, QChar('0')) +
           suffix;
}

void IterationReview::loadFrame(int iteration) {
    if (!mesh->scene())
        return;
    if (QFile::exists(frameFile(iteration, ".txt")))
        applyDesign(QString::fromUtf8(readFile(frameFile(iteration, ".txt"), QIODevice::Text)));
    if (QFile::exists(frameFile(iteration, ".vms")))
        ResultDisplay::loadStresses(mesh, readFile(frameFile(iteration, ".vms"), {}));
    if (QFile::exists(frameFile(iteration, ".ndp")))
        ResultDisplay::loadDisplacements(mesh, readFile(frameFile(iteration, ".ndp"), {}),
                                         mesh->areDisplacementsShown());
}

void IterationReview::applyDesign(const QString& text) {
    QString content = text;
    content.remove('\r');
    const QStringList lines = content.trimmed().split('\n', Qt::SkipEmptyParts);

    for (PlateItem* plate : mesh->plates())
        plate->switchOff(true);

    struct Element {
        int property;
        int nodes[4];
        bool nonDesign;
    };
    QList<Element> elements;
    QHash<int, Material> properties;
    for (const QString& line : lines) {
        if (line.startsWith("*quad4")) {
            const QStringList f = recordFields(line);
            if (f.size() < 7)
                continue;
            Element element{f[1].toInt(),
                            {f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt()},
                            f.size() > 7 && f[7].toInt() == 1};
            elements.append(element);
        } else if (line.startsWith("*property")) {
            const QStringList f = recordFields(line);
            if (f.size() < 4)
                continue;
            properties[int(f[0].toDouble())] =
                Material{f[1].toDouble(), f[2].toDouble(), f[3].toDouble()};
        }
    }

    QHash<int, MeshNode*> nodeOfNumber;
    QHash<int, MeshNode*> nodeOfId;
    for (MeshNode* node : mesh->nodes())
        nodeOfId[node->id] = node;
    for (auto it = mesh->nodeNumberOf().cbegin(); it != mesh->nodeNumberOf().cend(); ++it)
        nodeOfNumber[it.value()] = nodeOfId.value(it.key(), nullptr);

    const double softDensity = Materials::design().density / 1000;
    for (const Element& element : elements) {
        const auto property = properties.constFind(element.property);
        MeshNode* first = nodeOfNumber.value(
            *std::min_element(std::begin(element.nodes), std::end(element.nodes)), nullptr);
        if (property == properties.cend() || !first || !first->anchorPlate)
            continue;
        PlateItem* plate = first->anchorPlate;
        // The design flag keeps non-design plates non-design through the frames.
        plate->switchOn(element.nonDesign ? NonDesign : Design);
        plate->setStoredMaterial(
            MaterialRecord{property->youngsModulus, property->poissonsRatio, property->density});
        if (sameValue(property->density, softDensity))
            plate->setShownRemoved(true);
    }
}

void IterationReview::chooseIteration() {
    SliderDialog choose("Intermediate design", "<font size=\"3\"><b>Select an iteration</b></font>",
                        run->currentIteration(), run->lastIteration(), 0, "Show");
    if (choose.dialog.exec() != QDialog::Accepted)
        return;
    run->setLastIteration(choose.slider->value());
    loadFrame(run->lastIteration());
}

void IterationReview::runMovie(bool start) {
    if (start) {
        // At least one iteration per second: a speed of 0 would give an endless movie.
        SliderDialog speed("Run movie", "<font size=\"3\"><b>Set iterations/second</b></font>",
                           run->currentIteration(), 1, 1, "Run");
        if (speed.dialog.exec() != QDialog::Accepted) {
            emit mesh->movieStopped();
            return;
        }
        startMovie(speed.slider->value());
        return;
    }
    if (!movie)
        return;
    movie->disconnect(this);
    movie->stop();
    movie->setCurrentTime(0);
    showMovieBox("Movie stopped", "The movie has been stopped by the user.");
}

void IterationReview::startMovie(int iterationsPerSecond) {
    const int last = run->currentIteration();
    const int duration = std::max(1, last * 1000 / std::max(1, iterationsPerSecond));
    if (!movie) {
        movie = new QTimeLine(duration, this);
        movie->setEasingCurve(QEasingCurve::Linear);
    } else {
        movie->stop();
        movie->disconnect(this);
        movie->setDuration(duration);
    }
    connect(movie, &QTimeLine::frameChanged, this, &IterationReview::loadFrame);
    connect(movie, &QTimeLine::finished, this, &IterationReview::timeLineFinished);
    movie->setFrameRange(0, last);
    loadFrame(0);
    movie->start();
}

void IterationReview::timeLineFinished() {
    if (!mesh->scene() || !movie)
        return;
    movie->disconnect(this);
    movie->setCurrentTime(0);
    emit mesh->movieStopped();
    showMovieBox("Movie ended", "The movie has ended.");
}

void IterationReview::showMovieBox(const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::NoButton,
                                QApplication::activeWindow(),
                                Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box->setWindowModality(Qt::NonModal);
    run->setProgressBox(box);
    box->show();
}

void IterationReview::revert() {
    loadFrame(0);
}

HistoryPlot* IterationReview::plot() {
    return HistoryPlot::showWorkspaceHistory(run->currentIteration());
}
