#pragma once

#include <QList>
#include <QString>

// The classic key codes, and the one translation from Qt's keys into them. The
// controls raise their key events in these codes and the program reads them by
// these names, so no number for a key is written anywhere else.
namespace platform::keys {

// Virtual key codes: the physical key that went down, whatever it types.
inline constexpr int vkBackspace = 8;
inline constexpr int vkTab = 9;
inline constexpr int vkClear = 12;
inline constexpr int vkReturn = 13;
inline constexpr int vkShift = 16;
inline constexpr int vkControl = 17;
inline constexpr int vkAlt = 18;
inline constexpr int vkPause = 19;
inline constexpr int vkCapsLock = 20;
inline constexpr int vkEscape = 27;
inline constexpr int vkSpace = 32;
inline constexpr int vkPageUp = 33;
inline constexpr int vkPageDown = 34;
inline constexpr int vkEnd = 35;
inline constexpr int vkHome = 36;
inline constexpr int vkLeft = 37;
inline constexpr int vkUp = 38;
inline constexpr int vkRight = 39;
inline constexpr int vkDown = 40;
inline constexpr int vkPrint = 44;
inline constexpr int vkInsert = 45;
inline constexpr int vkDelete = 46;
inline constexpr int vkHelp = 47;
inline constexpr int vk0 = 48; // to 57 for 9
inline constexpr int vkA = 65; // to 90 for Z, shifted or not
inline constexpr int vkMeta = 91;
inline constexpr int vkMenu = 93;
inline constexpr int vkNumpad0 = 96; // to 105 for 9
inline constexpr int vkMultiply = 106;
inline constexpr int vkAdd = 107;
inline constexpr int vkSubtract = 109;
inline constexpr int vkDecimal = 110;
inline constexpr int vkDivide = 111;
inline constexpr int vkF1 = 112; // to 135 for F24
inline constexpr int vkNumLock = 144;
inline constexpr int vkScrollLock = 145;
// The punctuation keys, named after what they type unshifted on a US layout.
inline constexpr int vkSemicolon = 186;
inline constexpr int vkEquals = 187;
inline constexpr int vkComma = 188;
inline constexpr int vkMinus = 189;
inline constexpr int vkPeriod = 190;
inline constexpr int vkSlash = 191;
inline constexpr int vkBackquote = 192;
inline constexpr int vkBracketLeft = 219;
inline constexpr int vkBackslash = 220;
inline constexpr int vkBracketRight = 221;
inline constexpr int vkQuote = 222;

// The bits of the shift state.
inline constexpr int shiftMask = 1;
inline constexpr int ctrlMask = 2;
inline constexpr int altMask = 4;

// Character codes that are not a character of the text: Ctrl+A to Ctrl+Z type
// 1 to 26, and three keys type a control code of their own.
inline constexpr int charCtrlA = 1;
inline constexpr int charCopy = 3; // Ctrl+C
inline constexpr int charBackspace = 8;
inline constexpr int charEnter = 13;
inline constexpr int charPaste = 22;  // Ctrl+V
inline constexpr int charEscape = 27; // also Ctrl+[
inline constexpr int charCtrlBackslash = 28;
inline constexpr int charCtrlBracketRight = 29;

// The virtual key code of a Qt key, 0 for a key that has none. Shifted
// punctuation gives the code of its key on a US layout.
int virtualKeyCode(int key, Qt::KeyboardModifiers modifiers);

// Shift, Ctrl and Alt or-ed together; a modifier key counts while it goes down.
int shiftState(int key, Qt::KeyboardModifiers modifiers);

// The character codes a key press types, given the text the platform attached
// to it: Enter, Escape and Backspace type their codes, Ctrl+letter its control
// code, anything else the printable characters of the text. Alt alone, Tab and
// navigation keys type nothing.
QList<int> characterCodes(int key, Qt::KeyboardModifiers modifiers, const QString& text);

} // namespace platform::keys
