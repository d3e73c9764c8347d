#pragma once

#include <QString>

#include <optional>

class QPrinter;

namespace platform {

// The title of every message box of the program.
inline const QString kMessageTitle = QStringLiteral("Quillmere");

// Modal message boxes. Answers are the classic codes; Save and Discard answer
// as Yes and No do.
class Dialogs {
public:
    // YesNoDefaultNo: a question whose Enter keeps things as they are.
    enum class Buttons { Ok, OkCancel, YesNo, YesNoDefaultNo, YesNoCancel, SaveDiscardCancel };
    enum class Icon { None, Critical, Question, Exclamation, Information };
    static constexpr int answerOk = 1;
    static constexpr int answerCancel = 2;
    static constexpr int answerYes = 6;
    static constexpr int answerNo = 7;
    static constexpr int answerSave = answerYes;
    static constexpr int answerDiscard = answerNo;

    virtual ~Dialogs() = default;
    // Shows the box and waits for the answer.
    virtual int msgBox(const QString& text, Buttons buttons, Icon icon,
                       const QString& title = kMessageTitle) = 0;
    // Asks where to save a file. `filter` names the kinds of file offered, as
    // "PNG image (*.png);;SVG drawing (*.svg)"; a name typed without a suffix
    // gets the one of the kind chosen. The dialog opens in `folder`, or where
    // the toolkit chooses when it is empty. Returns the path, or an empty text
    // when the user cancels.
    virtual QString saveFileName(const QString& caption, const QString& filter,
                                 const QString& folder = QString()) = 0;
    // Asks which existing file to open, starting in `folder` as above; an
    // empty text when the user cancels.
    virtual QString openFileName(const QString& caption, const QString& filter,
                                 const QString& folder = QString()) = 0;
    // Asks for an existing folder, starting in `folder` as above; an empty
    // text when the user cancels.
    virtual QString folderName(const QString& caption, const QString& folder = QString()) = 0;
    // Asks for a line of text: `text` says what for, `initial` is typed
    // already, at most `maxLength` characters are taken. None on Cancel.
    virtual std::optional<QString> askText(const QString& text, const QString& initial,
                                           int maxLength) = 0;
    // Asks for a whole number from `least` to `most`; none on Cancel.
    virtual std::optional<int> askNumber(const QString& text, int initial, int least, int most) = 0;
    // Asks where and how to print, starting from the printer's settings:
    // true when the user chose to print, `printer` then set up as chosen (a
    // printer, or a PDF file and its page); false when the user cancels.
    virtual bool choosePrinter(QPrinter& printer, const QString& caption) = 0;
};

// The process-wide message boxes: installed by main(), replaced by a fake in
// tests. Using them before one is installed is a programming error.
Dialogs& dialogs();
void installDialogs(Dialogs* dialogs);

} // namespace platform
