#include "KeyCodes.h"

namespace platform::keys {

namespace {

// Keys that mean the same whether or not they are on the keypad.
int plainKeyCode(int key) {
    switch (key) {
    case Qt::Key_Backspace:
        return vkBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return vkTab;
    case Qt::Key_Clear:
        return vkClear;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return vkReturn;
    case Qt::Key_Shift:
        return vkShift;
    case Qt::Key_Control:
        return vkControl;
    case Qt::Key_Alt:
        return vkAlt;
    case Qt::Key_Pause:
        return vkPause;
    case Qt::Key_CapsLock:
        return vkCapsLock;
    case Qt::Key_Escape:
        return vkEscape;
    case Qt::Key_Space:
        return vkSpace;
    case Qt::Key_PageUp:
        return vkPageUp;
    case Qt::Key_PageDown:
        return vkPageDown;
    case Qt::Key_End:
        return vkEnd;
    case Qt::Key_Home:
        return vkHome;
    case Qt::Key_Left:
        return vkLeft;
    case Qt::Key_Up:
        return vkUp;
    case Qt::Key_Right:
        return vkRight;
    case Qt::Key_Down:
        return vkDown;
    case Qt::Key_Print:
        return vkPrint;
    case Qt::Key_Insert:
        return vkInsert;
    case Qt::Key_Delete:
        return vkDelete;
    case Qt::Key_Help:
        return vkHelp;
    case Qt::Key_Meta:
        return vkMeta;
    case Qt::Key_Menu:
        return vkMenu;
    case Qt::Key_NumLock:
        return vkNumLock;
    case Qt::Key_ScrollLock:
        return vkScrollLock;
    default:
        return 0;
    }
}

// What Shift+digit types on a US layout, back to its digit key.
int shiftedDigitKeyCode(int key) {
    switch (key) {
    case Qt::Key_ParenRight:
        return vk0;
    case Qt::Key_Exclam:
        return vk0 + 1;
    case Qt::Key_At:
        return vk0 + 2;
    case Qt::Key_NumberSign:
        return vk0 + 3;
    case Qt::Key_Dollar:
        return vk0 + 4;
    case Qt::Key_Percent:
        return vk0 + 5;
    case Qt::Key_AsciiCircum:
        return vk0 + 6;
    case Qt::Key_Ampersand:
        return vk0 + 7;
    case Qt::Key_Asterisk:
        return vk0 + 8;
    case Qt::Key_ParenLeft:
        return vk0 + 9;
    default:
        return 0;
    }
}

// The punctuation keys, shifted or not.
int punctuationKeyCode(int key) {
    switch (key) {
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return vkSemicolon;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return vkEquals;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return vkComma;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return vkMinus;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        return vkPeriod;
    case Qt::Key_Slash:
    case Qt::Key_Question:
        return vkSlash;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return vkBackquote;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return vkBracketLeft;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return vkBackslash;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return vkBracketRight;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return vkQuote;
    default:
        return 0;
    }
}

// The keypad's operators have codes of their own.
int keypadOperatorKeyCode(int key) {
    switch (key) {
    case Qt::Key_Asterisk:
        return vkMultiply;
    case Qt::Key_Plus:
        return vkAdd;
    case Qt::Key_Minus:
        return vkSubtract;
    case Qt::Key_Period:
        return vkDecimal;
    case Qt::Key_Slash:
        return vkDivide;
    default:
        return 0;
    }
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
    if (const int code = keypad ? keypadOperatorKeyCode(key) : 0) {
        return code;
    }
    if (const int code = plainKeyCode(key)) {
        return code;
    }
    if (const int code = shiftedDigitKeyCode(key)) {
        return code;
    }
    return punctuationKeyCode(key);
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
