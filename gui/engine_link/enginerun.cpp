#include "engine_link/enginerun.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace {
const char* const ModelFile = "BMesh.txt";
const char* const ParametersFile = "Parameters.txt";

QString workspaceFile(const QString& name) {
    return EngineRun::workspaceDir() + "/" + name;
}

QByteArray readWorkspaceFile(const QString& name) {
    QFile file(workspaceFile(name));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return file.readAll();
}

void writeWorkspaceFile(const QString& name, const QString& text) {
    QFile file(workspaceFile(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        file.write(text.toUtf8());
}
} // namespace

EngineRun::EngineRun(QObject* parent) : QObject(parent), process(new QProcess(this)) {
    connect(process, &QProcess::readyReadStandardOutput, this,
            [this] { outText += process->readAllStandardOutput(); });
    connect(process, &QProcess::readyReadStandardError, this,
            [this] { errText += process->readAllStandardError(); });
    connect(process, &QProcess::errorOccurred, this, &EngineRun::processError);
    connect(process, &QProcess::finished, this, [this] {
        outText += process->readAllStandardOutput();
        errText += process->readAllStandardError();
        const Mode finishedMode = mode;
        mode = Mode::Idle;
        if (finishedMode == Mode::Analysis)
            feaFinished();
        else if (finishedMode == Mode::Optimization)
            esoFinished();
    });
    pollTimer.setInterval(100);
    pollTimer.setSingleShot(false);
    connect(&pollTimer, &QTimer::timeout, this, &EngineRun::pollEsoIteration);
}

EngineRun::~EngineRun() {
    // A run must not outlive its mesh: the engine is ended, its files stay.
    mode = Mode::Idle;
    if (process->state() != QProcess::NotRunning) {
        process->kill();
        process->waitForFinished(30000);
    }
    delete box;
}

QString EngineRun::workspaceDir() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/Workspace";
}

QString EngineRun::engineProgram() {
    return workspaceFile("topax");
}

QByteArray EngineRun::readResultFile(const QString& name) {
    // Binary: a text-mode read would drop the carriage returns inside the doubles.
    QFile file(workspaceFile(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool EngineRun::isRunning() const {
    return process->state() != QProcess::NotRunning;
}

void EngineRun::cleanWorkspace() {
    QDir dir(workspaceDir());
    const QStringList patterns{"*.txt", "*.ndp", "*.vms", "*.bin", "*.log"};
    const QString engine = QFileInfo(engineProgram()).fileName();
    for (const QString& name : dir.entryList(patterns, QDir::Files | QDir::Hidden)) {
        if (name != engine)
            dir.remove(name);
    }
}

bool EngineRun::readIterationFile(int& iteration, QString* raw) {
    QFile file(workspaceFile("Iteration.txt"));
    if (!file.exists())
        return false;
    QString text;
    if (file.open(QIODevice::ReadOnly | QIODevice::Text))
        text = QString::fromUtf8(file.readAll());
    bool ok = false;
    iteration = text.simplified().toInt(&ok);
    if (!ok)
        iteration = 0;
    if (raw)
        *raw = text;
    return true;
}

void EngineRun::setProgressBox(QMessageBox* newBox) {
    closeProgressBox();
    box = newBox;
}

void EngineRun::closeProgressBox() {
    if (box) {
        box->close();
        box->deleteLater();
    }
    box = nullptr;
}

QMessageBox* EngineRun::makeProgressBox(const QString& title, const QString& text) {
    auto* progress = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::NoButton,
                                     QApplication::activeWindow(),
                                     Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    // A message box is application modal by default; this one must leave the window usable.
    progress->setWindowModality(Qt::NonModal);
    return progress;
}

void EngineRun::endPreviousRun() {
    pollTimer.stop();
    if (process->state() == QProcess::NotRunning) {
        closeProgressBox();
        return;
    }
    // The previous engine is ended before the new run starts; say so while it goes.
    mode = Mode::Idle;
    auto* ending = makeProgressBox("TOPAX running", "The previous TOPAX run is being ended...");
    setProgressBox(ending);
    ending->show();
    QCoreApplication::processEvents();
    process->kill();
    process->waitForFinished(30000);
    closeProgressBox();
}

void EngineRun::startEngine(const QStringList& arguments) {
    outText.clear();
    errText.clear();
    process->setWorkingDirectory(QDir(workspaceDir()).absolutePath());
    process->start(engineProgram(), arguments, QIODevice::ReadWrite);
}

void EngineRun::runAnalysis(const std::function<void()>& writeModel) {
    endPreviousRun();
    writeModel();
    mode = Mode::Analysis;
    startEngine({ModelFile});

    auto* progress = makeProgressBox("FEA started", "FEA is running. Please Wait...");
    QPushButton* cancel = progress->addButton(QMessageBox::Cancel);
    connect(cancel, &QPushButton::clicked, this, &EngineRun::feaCanceled);
    setProgressBox(progress);
    progress->show();
}

void EngineRun::runOptimization(const QString& parametersText, bool newRun,
                                const std::function<void()>& writeModel) {
    if (newRun)
        current = 0;
    endPreviousRun();
    if (newRun)
        cleanWorkspace();

    auto* progress = makeProgressBox("TOPAX running", "TOPAX is running. Please wait...");
    QPushButton* stop = progress->addButton("Stop", QMessageBox::RejectRole);
    connect(stop, &QPushButton::clicked, this, &EngineRun::esoCanceled);
    setProgressBox(progress);
    progress->show();
    QCoreApplication::processEvents();

    if (newRun)
        writeModel();
    writeWorkspaceFile(ParametersFile, parametersText);

    mode = Mode::Optimization;
    startEngine({ModelFile, ParametersFile});
    pollTimer.start();
}

void EngineRun::pollEsoIteration() {
    QString raw;
    if (readIterationFile(last, &raw) && last != current) {
        current = last;
        if (box)
            box->setText("Currently running iteration = " + raw);
        emit iterationChanged(current);
    }
}

void EngineRun::feaFinished() {
    if (!QFile::exists(workspaceFile("BMesh.ndp"))) {
        closeProgressBox();
        const QString output = QString::fromLocal8Bit(outText);
        const qsizetype from = output.indexOf("Please wait...");
        // The engine reports fatal errors on standard error, so that goes into the details too.
        showErrorBox("FEA Error", "Zezid could not produce output. An error occured.",
                     (from < 0 ? output : output.mid(from)) + QString::fromLocal8Bit(errText));
    } else {
        emit displacementsRead(readResultFile("BMesh.ndp"));
        if (!QFile::exists(workspaceFile("BMesh.vms"))) {
            closeProgressBox();
            showErrorBox("FEA Error", "Zezid Could not produce stresses.",
                         QString::fromLocal8Bit(errText));
        } else {
            emit stressesRead(readResultFile("BMesh.vms"));
        }
        emit resultsAvailable();
    }
    closeProgressBox();
    emit runFinished();
}

void EngineRun::esoFinished() {
    pollTimer.stop();
    closeProgressBox();
    const int exitCode = process->exitCode();
    const bool crashed = process->exitStatus() == QProcess::CrashExit;

    if (QFile::exists(workspaceFile("Report.txt"))) {
        const QString report = QString::fromUtf8(readWorkspaceFile("Report.txt")).toLower();
        int iteration = 0;
        if (readIterationFile(iteration)) {
            const bool unseen = iteration != current;
            current = iteration;
            last = iteration;
            // A short run may end between two polls: its last iteration is shown all the same.
            if (unseen)
                emit iterationChanged(current);
        }
        QWidget* parent = QApplication::activeWindow();
        if (report.contains("solution converged")) {
            QMessageBox::information(parent, "TOPAX Finished",
                                     "Optimization converged to a solution", QMessageBox::Ok);
            emit resultsAvailable();
        } else if (report.contains("maximum iteration")) {
            QMessageBox::information(parent, "TOPAX Finished",
                                     QString("Optimization reached the specified maximum "
                                             "iterations %1 before converging on a solution.")
                                         .arg(current),
                                     QMessageBox::Ok);
            emit resultsAvailable();
        } else if (report.contains("fea error")) {
            // The report has been lower-cased, so its "FEA error" is searched in lower case.
            showErrorBox("Strukta error",
                         "Strukta could not succeed. There were errors reported in Strukta",
                         "Strukta core engine reported:- \n" + QString::fromLocal8Bit(outText) +
                             QString::fromLocal8Bit(errText));
        }
    } else if (crashed || exitCode != 0) {
        // An engine that stopped on an error before writing its report must not look like a
        // run that simply ended: its own message is shown.
        showErrorBox("Strukta error",
                     "Strukta could not succeed. There were errors reported in Strukta",
                     "Strukta core engine reported:- \n" + QString::fromLocal8Bit(outText) +
                         QString::fromLocal8Bit(errText));
    }
    emit runFinished();
}

void EngineRun::feaCanceled() {
    if (mode == Mode::Analysis && process->state() != QProcess::NotRunning) {
        mode = Mode::Idle;
        process->close();
    }
    closeProgressBox();
}

void EngineRun::esoCanceled() {
    if (mode == Mode::Optimization && process->state() != QProcess::NotRunning) {
        mode = Mode::Idle;
        process->close();
    }
    pollTimer.stop();
    // Read after the engine has ended, so the counters match the last iteration it completed.
    int iteration = 0;
    if (readIterationFile(iteration)) {
        current = iteration;
        last = iteration;
    }
    closeProgressBox();
}

void EngineRun::processError(QProcess::ProcessError error) {
    // An engine that cannot be started would leave the progress box up for ever.
    if (error != QProcess::FailedToStart || mode == Mode::Idle)
        return;
    mode = Mode::Idle;
    pollTimer.stop();
    closeProgressBox();
    showErrorBox("Strukta error", "Strukta could not start the TOPAX engine.",
                 engineProgram() + ": " + process->errorString());
}

void EngineRun::showErrorBox(const QString& title, const QString& text, const QString& details) {
    QMessageBox errorBox(QMessageBox::Warning, title, text, QMessageBox::Ok,
                         QApplication::activeWindow(), Qt::Dialog);
    errorBox.setDetailedText(details);
    errorBox.setSizeGripEnabled(true);
    QPushButton* save = errorBox.addButton("Save to File", QMessageBox::ActionRole);
    errorBox.setEscapeButton(QMessageBox::Ok);
    // Saving keeps the box open: it is shown again until the user dismisses it.
    do {
        errorBox.exec();
        if (errorBox.clickedButton() == save)
            saveDetailsToFile(&errorBox, details);
    } while (errorBox.clickedButton() == save);
}

void EngineRun::saveDetailsToFile(QWidget* box, const QString& details) {
    const QString name = QFileDialog::getSaveFileName(box, "Save error to file");
    if (name.isEmpty())
        return;
    QFile file(name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text))
        file.write(details.toUtf8());
}
