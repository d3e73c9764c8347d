#pragma once

#include "KeptSettings.h"
#include "platform/Palette.h"

#include <QPalette>

namespace shell {

// The window's colours in each scheme. The plot area stays dark in each, so
// that its marks and read-out stay as they are, and every curve is drawn in
// an ink that reads on it.
namespace colourscheme {

// The window's palette in the scheme; `desktop` is the one the program
// started with, which the desktop chose.
QPalette palette(ColourScheme scheme, const QPalette& desktop);
// The plot area's colour in it: the slate the program has always had on a
// light desktop, darker on a dark one, black for high contrast.
platform::Rgb plotBackground(ColourScheme scheme, const QPalette& desktop);
// From now on the frames of boxes and the rings of option buttons are drawn
// in the text's colour wherever the window is black, as high contrast has it.
void outlineOnBlack();

} // namespace colourscheme

} // namespace shell
