#include "workspace.h"

#include "engine_link/enginerun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString Workspace::directory() {
    return EngineRun::workspaceDir();
}

QString Workspace::engineName() {
    return QFileInfo(EngineRun::engineProgram()).fileName();
}

bool Workspace::prepare(const QString& programDir, QString* error) {
    const QString dir = directory();
    const QFileInfo info(dir);
    if (info.exists() && !info.isDir())
        QFile::remove(dir);
    if (!QDir().mkpath(dir)) {
        *error = QObject::tr("The workspace directory %1 cannot be created.").arg(dir);
        return false;
    }

    const QString source = programDir + "/" + engineName();
    const QString target = dir + "/" + engineName();
    if (!QFileInfo(source).isFile()) {
        *error = QObject::tr("The engine %1 is missing.").arg(source);
        return false;
    }
    // Copy under a temporary name first, so a failed copy never leaves half an engine and a
    // second workbench starting at the same moment never runs one.
    const QString partial = target + ".partial";
    QFile::remove(partial);
    if (!QFile::copy(source, partial)) {
        *error = QObject::tr("The engine %1 cannot be copied to %2.").arg(source, dir);
        return false;
    }
    QFile::setPermissions(partial, QFile::permissions(partial) | QFile::ExeOwner |
                                       QFile::ReadOwner | QFile::ExeGroup | QFile::ExeOther);
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        *error = QObject::tr("The engine cannot be installed as %1.").arg(target);
        return false;
    }
    return true;
}
