#pragma once

#include "platform/Dialogs.h"

#include <QString>

namespace shell {

// A reason told after a colon, whoever worded it (this window, the system,
// a file's reader), as a sentence of its own: capitalised, with its stop.
inline QString asSentence(QString reason) {
    if (!reason.isEmpty()) {
        reason[0] = reason[0].toUpper();
    }
    return reason.endsWith(u'.') ? reason : reason + u'.';
}

// A message the student only acknowledges.
inline void tell(const QString& text,
                 platform::Dialogs::Icon icon = platform::Dialogs::Icon::Exclamation) {
    platform::dialogs().msgBox(text, platform::Dialogs::Buttons::Ok, icon);
}

} // namespace shell
