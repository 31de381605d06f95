#include "undostack.h"

#include <QUndoStack>

QUndoStack* applicationUndoStack() {
    // Deliberately never deleted: commands may own items that must outlive every window.
    static QUndoStack* stack = new QUndoStack;
    return stack;
}
