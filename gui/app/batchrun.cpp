#include "app/batchrun.h"

#include "drawing/evolvescene.h"
#include "engine_link/enginerun.h"
#include "engine_link/esoparameters.h"
#include "mesh/evolvemesh.h"
#include "project/projectfile.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QMainWindow>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

void printLine(FILE* stream, const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

const char* const Usage =
    "usage: strukta [FILE.xml]\n"
    "       strukta --batch FILE.xml --analysis|--optimize [--picture OUT.png]";

} // namespace

bool BatchRun::wanted(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--batch") == 0)
            return true;
    }
    return false;
}

BatchRun::Options BatchRun::parse(const QStringList& arguments) {
    Options options;
    bool analysis = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--batch")) {
            options.batch = true;
        } else if (argument == QLatin1String("--analysis")) {
            analysis = true;
        } else if (argument == QLatin1String("--optimize")) {
            options.optimize = true;
        } else if (argument == QLatin1String("--picture")) {
            if (i + 1 >= arguments.size()) {
                options.error = QStringLiteral("--picture needs a file name");
                return options;
            }
            options.picture = arguments.at(++i);
        } else if (argument.startsWith(QLatin1String("--"))) {
            options.error = QStringLiteral("unknown option %1").arg(argument);
            return options;
        } else if (options.project.isEmpty()) {
            options.project = argument;
        } else {
            options.error = QStringLiteral("more than one project file: %1").arg(argument);
            return options;
        }
    }
    if (!options.batch) {
        if (analysis || options.optimize || !options.picture.isEmpty())
            options.error = QStringLiteral("--analysis, --optimize and --picture need --batch");
    } else if (options.project.isEmpty()) {
        options.error = QStringLiteral("--batch needs a project file");
    } else if (analysis == options.optimize) {
        options.error = QStringLiteral("--batch needs exactly one of --analysis and --optimize");
    }
    if (!options.error.isEmpty())
        options.error += QLatin1Char('\n') + QLatin1String(Usage);
    return options;
}

int BatchRun::run(QMainWindow* window, const Options& options) {
    BatchRun batch(window, options);
    return batch.exec();
}

BatchRun::BatchRun(QMainWindow* mainWindow, const Options& runOptions)
    : window(mainWindow), options(runOptions) {}

int BatchRun::fail(const QString& reason) {
    printLine(stderr, QStringLiteral("strukta: ") + reason);
    return 1;
}

bool BatchRun::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        // Only boxes that wait for an answer: the modeless progress boxes stay up while the
        // engine runs and are closed by the run itself.
        if (widget->isWindow() && widget->isModal())
            QTimer::singleShot(0, widget, [this, widget] { answer(widget); });
    }
    return QObject::eventFilter(watched, event);
}

void BatchRun::answer(QWidget* dialog) {
    if (!dialog->isVisible())
        return;
    if (auto* parameters = qobject_cast<ESOParameters*>(dialog)) {
        parameters->accept();
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        boxes.append(
            Box{box->icon() == QMessageBox::Warning || box->icon() == QMessageBox::Critical,
                box->windowTitle(), box->text(), box->detailedText()});
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        if (!ok)
            ok = box->escapeButton();
        if (ok)
            ok->click();
        else
            box->done(QMessageBox::Ok);
        return;
    }
    // Any other question (a file dialog, an input dialog) is one the batch cannot answer.
    boxes.append(Box{true,
                     dialog->windowTitle(),
                     QStringLiteral("the run asked a question the batch mode cannot answer"),
                     {}});
    if (auto* modal = qobject_cast<QDialog*>(dialog))
        modal->reject();
    else
        dialog->close();
}

void BatchRun::printIterations(int upTo) {
    // "Result.txt" holds one line per iteration: number, volume fraction, mean compliance.
    QFile file(EngineRun::workspaceDir() + QStringLiteral("/Result.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    static const QRegularExpression record(
        QStringLiteral("^\\s*(\\d+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s*$"));
    const QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = record.match(line);
        if (!match.hasMatch())
            continue;
        const int iteration = match.captured(1).toInt();
        if (iteration <= printedIteration || iteration > upTo)
            continue;
        printedIteration = iteration;
        printLine(stdout, QStringLiteral("iteration %1: volume fraction %2, mean compliance %3")
                              .arg(iteration)
                              .arg(match.captured(2), match.captured(3)));
    }
}

int BatchRun::exec() {
    scene = window->findChild<EvolveScene*>();
    if (!scene)
        return fail(QStringLiteral("the main window has no drawing scene"));

    QString error;
    QStringList warnings;
    if (!ProjectFile::open(scene, options.project, &error, &warnings))
        return fail(QStringLiteral("cannot read the project ") + error);
    for (const QString& warning : warnings)
        printLine(stderr, QStringLiteral("strukta: %1: %2").arg(options.project, warning));
    EvolveMesh* mesh = scene->meshItem();
    if (!mesh)
        return fail(QStringLiteral("the project %1 has no mesh to run").arg(options.project));

    QEventLoop loop;
    qApp->installEventFilter(this);

    const char* actionName = options.optimize ? "actionESO" : "actionFEA";
    auto* action = window->findChild<QAction*>(QLatin1String(actionName));
    if (!action)
        return fail(QStringLiteral("the main window has no %1").arg(QLatin1String(actionName)));
    printLine(stdout, QStringLiteral("%1 of %2")
                          .arg(options.optimize ? QStringLiteral("Optimization")
                                                : QStringLiteral("Analysis"),
                               options.project));
    // The trigger runs the dialog of "Start TOPAX" in its own loop and starts the engine; the
    // engine's end arrives later through the event loop, so following the run from here on
    // misses nothing.
    bool triggered = false;
    QTimer::singleShot(0, action, [this, action, mesh, &loop, &triggered] {
        action->trigger();
        triggered = true;
        engine = mesh->findChild<EngineRun*>();
        if (!engine)
            return;
        connect(engine, &EngineRun::iterationChanged, this, &BatchRun::printIterations);
        connect(engine, &EngineRun::runFinished, &loop, [this, &loop] {
            finished = true;
            loop.quit();
        });
    });
    // A run that never starts (the engine cannot be started, a refused dialog) must not be
    // waited for: once the trigger has returned and no engine runs, the batch stops waiting.
    QTimer idle;
    idle.setInterval(200);
    connect(&idle, &QTimer::timeout, &loop, [this, &loop, &triggered] {
        if (triggered && (!engine || (!engine->isRunning() && !engine->progressBox())))
            loop.quit();
    });
    idle.start();
    loop.exec();
    idle.stop();
    // Let the results reach the plates (colours, the last frame) before the picture is taken.
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);

    if (options.optimize && engine)
        printIterations(engine->currentIteration());

    for (const Box& box : boxes) {
        if (box.warning) {
            QString reason = box.title + QStringLiteral(": ") + box.text;
            if (!box.details.isEmpty())
                reason += QLatin1Char('\n') + box.details.trimmed();
            return fail(reason);
        }
    }
    if (!finished)
        return fail(QStringLiteral("the engine run did not start or ended without results"));

    if (options.optimize) {
        const auto outcome = std::find_if(boxes.cbegin(), boxes.cend(), [](const Box& box) {
            return box.title == QLatin1String("TOPAX Finished");
        });
        if (outcome == boxes.cend())
            return fail(QStringLiteral("the optimization ended without a report\n") +
                        QString::fromLocal8Bit(engine ? engine->standardError() : QByteArray()));
        printLine(stdout, outcome->text);
    } else {
        printLine(stdout, QStringLiteral("Analysis finished: displacements and stresses loaded"));
    }

    if (!options.picture.isEmpty()) {
        // As "Save picture" saves it (a suffix other than png or bmp becomes .png).
        const QString name = EvolveScene::imageFileName(options.picture);
        if (!scene->saveCanvasImage(options.picture))
            return fail(QStringLiteral("cannot write the picture %1").arg(name));
        printLine(stdout, QStringLiteral("Picture saved to %1").arg(name));
    }
    return 0;
}
