#include "KeyCodes.h"

#include <span>

namespace platform::keys {

namespace {

struct KeyCode {
    int key;
    int code;
};

// The keys that are neither digits, letters nor function keys. Shifted
// punctuation stands for its key on a US layout: Shift+1 types '!', whose key
// is the 1.
constexpr KeyCode kKeyCodes[] = {
    {Qt::Key_Backspace, vkBackspace},
    {Qt::Key_Tab, vkTab},
    {Qt::Key_Backtab, vkTab},
    {Qt::Key_Clear, vkClear},
    {Qt::Key_Return, vkReturn},
    {Qt::Key_Enter, vkReturn},
    {Qt::Key_Shift, vkShift},
    {Qt::Key_Control, vkControl},
    {Qt::Key_Alt, vkAlt},
    {Qt::Key_Pause, vkPause},
    {Qt::Key_CapsLock, vkCapsLock},
    {Qt::Key_Escape, vkEscape},
    {Qt::Key_Space, vkSpace},
    {Qt::Key_PageUp, vkPageUp},
    {Qt::Key_PageDown, vkPageDown},
    {Qt::Key_End, vkEnd},
    {Qt::Key_Home, vkHome},
    {Qt::Key_Left, vkLeft},
    {Qt::Key_Up, vkUp},
    {Qt::Key_Right, vkRight},
    {Qt::Key_Down, vkDown},
    {Qt::Key_Print, vkPrint},
    {Qt::Key_Insert, vkInsert},
    {Qt::Key_Delete, vkDelete},
    {Qt::Key_Help, vkHelp},
    {Qt::Key_Meta, vkMeta},
    {Qt::Key_Menu, vkMenu},
    {Qt::Key_NumLock, vkNumLock},
    {Qt::Key_ScrollLock, vkScrollLock},
    {Qt::Key_ParenRight, vk0},
    {Qt::Key_Exclam, vk0 + 1},
    {Qt::Key_At, vk0 + 2},
    {Qt::Key_NumberSign, vk0 + 3},
    {Qt::Key_Dollar, vk0 + 4},
    {Qt::Key_Percent, vk0 + 5},
    {Qt::Key_AsciiCircum, vk0 + 6},
    {Qt::Key_Ampersand, vk0 + 7},
    {Qt::Key_Asterisk, vk0 + 8},
    {Qt::Key_ParenLeft, vk0 + 9},
    {Qt::Key_Semicolon, vkSemicolon},
    {Qt::Key_Colon, vkSemicolon},
    {Qt::Key_Equal, vkEquals},
    {Qt::Key_Plus, vkEquals},
    {Qt::Key_Comma, vkComma},
    {Qt::Key_Less, vkComma},
    {Qt::Key_Minus, vkMinus},
    {Qt::Key_Underscore, vkMinus},
    {Qt::Key_Period, vkPeriod},
    {Qt::Key_Greater, vkPeriod},
    {Qt::Key_Slash, vkSlash},
    {Qt::Key_Question, vkSlash},
    {Qt::Key_QuoteLeft, vkBackquote},
    {Qt::Key_AsciiTilde, vkBackquote},
    {Qt::Key_BracketLeft, vkBracketLeft},
    {Qt::Key_BraceLeft, vkBracketLeft},
    {Qt::Key_Backslash, vkBackslash},
    {Qt::Key_Bar, vkBackslash},
    {Qt::Key_BracketRight, vkBracketRight},
    {Qt::Key_BraceRight, vkBracketRight},
    {Qt::Key_Apostrophe, vkQuote},
    {Qt::Key_QuoteDbl, vkQuote},
};

// The keypad's operators have codes of their own.
constexpr KeyCode kKeypadKeyCodes[] = {
    {Qt::Key_Asterisk, vkMultiply}, {Qt::Key_Plus, vkAdd},     {Qt::Key_Minus, vkSubtract},
    {Qt::Key_Period, vkDecimal},    {Qt::Key_Slash, vkDivide},
};

int lookUp(std::span<const KeyCode> table, int key) {
    for (const KeyCode& entry : table) {
        if (entry.key == key) {
            return entry.code;
        }
    }
    return 0;
}

} // namespace

int virtualKeyCode(int key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return (keypad ? vkNumpad0 : vk0) + (key - Qt::Key_0);
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return vkA + (key - Qt::Key_A);
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return vkF1 + (key - Qt::Key_F1);
    }
    if (const int code = keypad ? lookUp(kKeypadKeyCodes, key) : 0) {
        return code;
    }
    return lookUp(kKeyCodes, key);
}

int shiftState(int key, Qt::KeyboardModifiers modifiers) {
    int shift = 0;
    if (modifiers & Qt::ShiftModifier || key == Qt::Key_Shift) {
        shift |= shiftMask;
    }
    if (modifiers & Qt::ControlModifier || key == Qt::Key_Control) {
        shift |= ctrlMask;
    }
    if (modifiers & Qt::AltModifier || key == Qt::Key_Alt) {
        shift |= altMask;
    }
    return shift;
}

QList<int> characterCodes(int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {charEnter};
    case Qt::Key_Escape:
        return {charEscape};
    case Qt::Key_Backspace:
        return {charBackspace};
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return {};
    default:
        break;
    }
    // Ctrl+letter is its control code whatever text the platform attached.
    if (ctrl && !alt) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z) {
            return {charCtrlA + (key - Qt::Key_A)};
        }
        if (key == Qt::Key_BracketLeft) {
            return {charEscape};
        }
        if (key == Qt::Key_Backslash) {
            return {charCtrlBackslash};
        }
        if (key == Qt::Key_BracketRight) {
            return {charCtrlBracketRight};
        }
        return {};
    }
    // Alt alone is for menu accelerators; Ctrl+Alt together is AltGr on some
    // systems and does type characters.
    if (alt && !ctrl) {
        return {};
    }
    // Control characters in the text (Delete attaches 127) are not typing.
    QList<int> codes;
    for (const char32_t ch : text.toUcs4()) {
        if (ch >= U' ' && ch != U'\x7f') {
            codes.append(static_cast<int>(ch));
        }
    }
    return codes;
}

} // namespace platform::keys
