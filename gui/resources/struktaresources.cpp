#include "struktaresources.h"

#include <QtGlobal>

void initStruktaResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(strukta);
        return true;
    }();
    Q_UNUSED(registered);
}
