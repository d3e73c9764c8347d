#pragma once

class QObject;

// Generic access to a control's geometry and font by property name, for code
// that handles every kind of control alike. Positions and sizes are in twips;
// a line control has end points instead of a rectangle and no font.
namespace platform::controls {

enum class Property { Left, Top, Width, Height, X1, Y1, X2, Y2, FontSize, FontBold };

bool isLine(const QObject* control);

// A property the control does not have raises RunTimeError 438; a value the
// control refuses (a negative size) raises 380.
double get(const QObject* control, Property property);
void set(QObject* control, Property property, double value);

} // namespace platform::controls
