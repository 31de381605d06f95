#pragma once

#include <QString>

// The per-user directory in which the engine runs, and the engine copy installed there.
class Workspace {
public:
    // AppDataLocation + "/Workspace" (application "Strukta", organisation "Northfold").
    static QString directory();
    // Name of the engine program, both beside the workbench and in the workspace.
    static QString engineName();

    // Makes sure the workspace directory exists (a plain file in its place is removed) and
    // installs a fresh, executable copy of the engine from programDir into it. Returns false
    // with a reason in *error when the engine could not be installed.
    static bool prepare(const QString& programDir, QString* error);
};
