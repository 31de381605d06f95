#pragma once

class QUndoStack;

// The single undo stack of the whole application: every editing step is pushed here. It is
// created without a parent on first use and lives until the process ends.
QUndoStack* applicationUndoStack();
