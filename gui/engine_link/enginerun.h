#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <functional>

#include <QMessageBox>

// Runs the engine program "topax" as a child process in the workspace and follows it: the
// analysis run ("topax BMesh.txt") and the optimization run ("topax BMesh.txt
// Parameters.txt"), their progress boxes with Cancel / Stop, the 100 ms poll of
// "Iteration.txt", the completion messages and the error boxes. The engine's standard output
// and error are collected as they arrive, so a chatty engine never blocks.
//
// Everything that concerns the mesh (writing the model, showing results and frames) is left
// to the owner: it passes the model writer to the run calls and listens to the signals.
class EngineRun : public QObject {
    Q_OBJECT
public:
    explicit EngineRun(QObject* parent = nullptr);
    ~EngineRun() override;

    // The per-user workspace directory in which the engine runs.
    static QString workspaceDir();
    // The engine copy in the workspace that every run starts.
    static QString engineProgram();

    // Starts one analysis: ends a previous engine, calls writeModel (which writes
    // "BMesh.txt" in the workspace), starts the engine and shows the box with Cancel.
    void runAnalysis(const std::function<void()>& writeModel);

    // Starts an optimization. A new run deletes the workspace files of the previous one and
    // calls writeModel; otherwise the previous "BMesh.txt" stays. "Parameters.txt" is always
    // written from parametersText.
    void runOptimization(const QString& parametersText, bool newRun,
                         const std::function<void()>& writeModel);

    // Deletes "*.txt *.ndp *.vms *.bin *.log" in the workspace, keeping the engine itself.
    static void cleanWorkspace();

    bool isRunning() const;
    int currentIteration() const { return current; }
    int lastIteration() const { return last; }
    void setCurrentIteration(int iteration) { current = iteration; }
    void setLastIteration(int iteration) { last = iteration; }
    // The box shown while the engine runs or a movie has ended; null when none is shown.
    QMessageBox* progressBox() const { return box; }
    // Replaces the progress box (the old one is closed and deleted).
    void setProgressBox(QMessageBox* newBox);
    void closeProgressBox();

    QByteArray standardOutput() const { return outText; }
    QByteArray standardError() const { return errText; }

    // The modal warning box of engine failures, with the details and a "Save to File" button.
    static void showErrorBox(const QString& title, const QString& text, const QString& details);
    // Writes an error box's details to a file the user picks.
    static void saveDetailsToFile(QWidget* box, const QString& details);

    // The whole content of a binary result file of the workspace ("BMesh.ndp", "BMesh.vms").
    static QByteArray readResultFile(const QString& name);

    // Reads "Iteration.txt" of the workspace: the iteration as a number (0 when it is none);
    // raw receives the text as read. Returns false when the file does not exist.
    static bool readIterationFile(int& iteration, QString* raw = nullptr);

signals:
    // Analysis results as read from "BMesh.ndp" and "BMesh.vms".
    void displacementsRead(const QByteArray& bytes);
    void stressesRead(const QByteArray& bytes);
    // A new iteration has been completed by the running optimization.
    void iterationChanged(int iteration);
    // A run produced results that can be reviewed (the view toolbar may be shown).
    void resultsAvailable();
    // An analysis or optimization run has ended on its own (not cancelled).
    void runFinished();

public slots:
    void feaFinished();
    void esoFinished();
    void feaCanceled();
    void esoCanceled();
    void pollEsoIteration();
    void processError(QProcess::ProcessError error);

private:
    enum class Mode { Idle, Analysis, Optimization };

    void endPreviousRun();
    void startEngine(const QStringList& arguments);
    QMessageBox* makeProgressBox(const QString& title, const QString& text);

    QProcess* process;
    QTimer pollTimer;
    QPointer<QMessageBox> box;
    Mode mode = Mode::Idle;
    int current = 0;
    int last = 0;
    QByteArray outText;
    QByteArray errText;
};
