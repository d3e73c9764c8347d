#include "Fonts.h"

#include <QPalette>
#include <QWidget>

namespace platform {

QFont uiFont(double pointSize, bool bold) {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

void showDimmed(QWidget& widget, bool dimmed) {
    // Undimmed, the text takes the window's colours again, whichever they
    // are by then.
    if (!dimmed) {
        widget.setPalette(QPalette());
        return;
    }
    QPalette look = widget.palette();
    const QPalette parent = widget.parentWidget() ? widget.parentWidget()->palette() : look;
    look.setColor(QPalette::Text, parent.color(QPalette::Disabled, QPalette::Text));
    widget.setPalette(look);
}

void showRefused(QWidget& widget, bool refused) {
    if (!refused) {
        widget.setPalette(QPalette());
        return;
    }
    QPalette look = widget.palette();
    look.setColor(QPalette::Base, QColor(0xF8, 0xD7, 0xDA));
    look.setColor(QPalette::Text, Qt::black);
    widget.setPalette(look);
}

} // namespace platform
