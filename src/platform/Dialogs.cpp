#include "Dialogs.h"

#include <QtGlobal>

namespace platform {

namespace {
Dialogs* gDialogs = nullptr;
}

Dialogs& dialogs() {
    Q_ASSERT_X(gDialogs, "dialogs", "no message boxes installed");
    return *gDialogs;
}

void installDialogs(Dialogs* d) {
    gDialogs = d;
}

} // namespace platform
