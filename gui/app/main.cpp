#include "app/mainwindow.h"
#include "app/workspace.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Strukta");
    QApplication::setOrganizationName("Northfold");

    // Every start installs a fresh engine in the workspace, where the engine runs.
    QString error;
    const bool engineInstalled = Workspace::prepare(QCoreApplication::applicationDirPath(), &error);

    Strukta window;
    window.show();
    if (!engineInstalled)
        QMessageBox::warning(&window, QObject::tr("Strukta"),
                             QObject::tr("%1\nAnalyses and optimizations cannot run until the "
                                         "engine is in the workspace %2.")
                                 .arg(error, Workspace::directory()));
    return app.exec();
}
