#pragma once

#include <QFont>

class QWidget;

namespace platform {

// The program's face: a sans serif with the narrow metrics of the classic
// dialog font, so captions fit the designed control sizes.
QFont uiFont(double pointSize, bool bold = false);

// Text that describes something no longer current reads dimmed, as a
// disabled control's does, while staying selectable and scrollable.
void showDimmed(QWidget& widget, bool dimmed);

} // namespace platform
