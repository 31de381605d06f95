#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class EngineRun;
class EvolveScene;
class QMainWindow;

// The batch mode of the workbench: "strukta --batch FILE.xml --analysis|--optimize
// [--picture OUT.png]". It loads the project into the real main window (shown on the offscreen
// platform) and triggers "Carry out FEA" or "Start TOPAX" exactly as a user would. Every modal
// box the run opens is answered as a user taking the defaults would (the parameters dialog is
// accepted as it opens, message boxes with Ok); their texts decide the outcome. One line per
// optimization iteration and the outcome go to standard output; a failure's reason goes to
// standard error.
class BatchRun : public QObject {
    Q_OBJECT
public:
    // What the command line asks for.
    struct Options {
        bool batch = false;    // --batch given
        QString project;       // the project file (batch or not)
        bool optimize = false; // --optimize rather than --analysis
        QString picture;       // --picture OUT.png, empty when not asked
        QString error;         // why the command line cannot be used, empty when it can
    };

    // True when the raw arguments ask for the batch mode (checked before the application object
    // exists, so that the offscreen platform can be chosen).
    static bool wanted(int argc, char** argv);

    // Reads the arguments after the program name.
    static Options parse(const QStringList& arguments);

    // Runs the batch job on the constructed main window; returns the process exit code.
    static int run(QMainWindow* window, const Options& options);

    // A message box shown during the run, as the batch answered it.
    struct Box {
        bool warning = false;
        QString title;
        QString text;
        QString details;
    };

private:
    BatchRun(QMainWindow* window, const Options& options);
    int exec();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void answer(QWidget* dialog);
    void printIterations(int upTo);
    int fail(const QString& reason);

    QMainWindow* window;
    Options options;
    EvolveScene* scene = nullptr;
    QPointer<EngineRun> engine;
    QList<Box> boxes;
    int printedIteration = 0;
    bool finished = false;
};
