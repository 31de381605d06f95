#include "app/batchrun.h"
#include "app/mainwindow.h"
#include "app/workspace.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char* argv[]) {
    // The batch mode runs without a display.
    if (BatchRun::wanted(argc, argv))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Strukta");
    QApplication::setOrganizationName("Northfold");

    const BatchRun::Options options = BatchRun::parse(QCoreApplication::arguments().mid(1));
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "strukta: %s\n", qPrintable(options.error));
        return 1;
    }

    // Every start installs a fresh engine in the workspace, where the engine runs.
    QString error;
    const bool engineInstalled = Workspace::prepare(QCoreApplication::applicationDirPath(), &error);
    if (options.batch && !engineInstalled) {
        std::fprintf(stderr, "strukta: %s\n", qPrintable(error));
        return 1;
    }

    Strukta window;
    window.show();
    if (options.batch)
        return BatchRun::run(&window, options);
    if (!engineInstalled)
        QMessageBox::warning(&window, QObject::tr("Strukta"),
                             QObject::tr("%1\nAnalyses and optimizations cannot run until the "
                                         "engine is in the workspace %2.")
                                 .arg(error, Workspace::directory()));
    // A project named on the command line opens at start; one that cannot be read is reported
    // and the workbench starts empty.
    if (!options.project.isEmpty())
        window.openProject(options.project);
    return app.exec();
}
