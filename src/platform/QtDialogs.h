#pragma once

#include "Dialogs.h"

namespace platform {

// Message boxes and file dialogs of the toolkit, modal to the active window.
class QtDialogs : public Dialogs {
public:
    int msgBox(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    QString saveFileName(const QString& caption, const QString& filter,
                         const QString& folder) override;
    QString openFileName(const QString& caption, const QString& filter,
                         const QString& folder) override;
    QString folderName(const QString& caption, const QString& folder) override;
    std::optional<QString> askText(const QString& text, const QString& initial,
                                   int maxLength) override;
    std::optional<int> askNumber(const QString& text, int initial, int least, int most) override;
    bool choosePrinter(QPrinter& printer, const QString& caption) override;
};

} // namespace platform
