#pragma once

#include "Dialogs.h"

namespace platform {

// Message boxes of the toolkit, modal to the active window.
class QtDialogs : public Dialogs {
public:
    int msgBox(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
};

} // namespace platform
