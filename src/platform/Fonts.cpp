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
    QPalette look = widget.palette();
    const QPalette parent = widget.parentWidget() ? widget.parentWidget()->palette() : look;
    look.setColor(QPalette::Text,
                  parent.color(dimmed ? QPalette::Disabled : QPalette::Active, QPalette::Text));
    widget.setPalette(look);
}

} // namespace platform
