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
// A box whose text was refused, on a pale red ground in dark ink whatever
// the window's colours; else in the window's own colours, so that a change
// of them reaches it.
void showRefused(QWidget& widget, bool refused);

} // namespace platform
