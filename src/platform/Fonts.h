#pragma once

#include <QFont>

namespace platform {

// The program's face: a sans serif with the narrow metrics of the classic
// dialog font, so captions fit the designed control sizes.
QFont uiFont(double pointSize, bool bold = false);

} // namespace platform
