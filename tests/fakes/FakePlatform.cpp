#include "FakePlatform.h"

#include <algorithm>

#include <QCoreApplication>
#include <QPrinter>
#include <QTest>

namespace fakes {

int FakeDialogs::msgBox(const QString& text, Buttons buttons, Icon icon, const QString& title) {
    shown_.append({text, buttons, icon, title});
    if (answers_.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted message box: ") + text), __FILE__,
                     __LINE__);
        return buttons == Buttons::Ok ? answerOk : answerNo;
    }
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

QString FakeDialogs::saveFileName(const QString& caption, const QString& filter,
                                  const QString& folder) {
    saveFilters_.append(filter);
    folders_.append(folder);
    if (saveNames_.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted save dialog: ") + caption), __FILE__,
                     __LINE__);
        return QString();
    }
    const QString path = saveNames_.front();
    saveNames_.pop_front();
    return path;
}

QString FakeDialogs::openFileName(const QString& caption, const QString&, const QString& folder) {
    folders_.append(folder);
    if (openNames_.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted open dialog: ") + caption), __FILE__,
                     __LINE__);
        return QString();
    }
    const QString path = openNames_.front();
    openNames_.pop_front();
    return path;
}

QString FakeDialogs::folderName(const QString& caption, const QString& folder) {
    folders_.append(folder);
    if (folderNames_.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted folder dialog: ") + caption), __FILE__,
                     __LINE__);
        return QString();
    }
    const QString path = folderNames_.front();
    folderNames_.pop_front();
    return path;
}

std::optional<QString> FakeDialogs::askText(const QString& text, const QString&, int maxLength) {
    questions_.append(text);
    if (texts_.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted question: ") + text), __FILE__,
                     __LINE__);
        return std::nullopt;
    }
    std::optional<QString> answer = texts_.front();
    texts_.pop_front();
    // As the real box does, what is typed beyond the box's length is not taken.
    return answer ? std::optional(answer->left(maxLength)) : std::nullopt;
}

std::optional<int> FakeDialogs::askNumber(const QString& text, int, int least, int most) {
    questions_.append(text);
    if (numbers_.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted question: ") + text), __FILE__,
                     __LINE__);
        return std::nullopt;
    }
    const std::optional<int> answer = numbers_.front();
    numbers_.pop_front();
    return answer ? std::optional(std::clamp(*answer, least, most)) : std::nullopt;
}

bool FakeDialogs::choosePrinter(QPrinter& printer, const QString& caption) {
    offeredPages_.append(printer.pageLayout().pageSize().id());
    if (printers_.empty()) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted print dialog: ") + caption), __FILE__,
                     __LINE__);
        return false;
    }
    const PrintChoice choice = printers_.front();
    printers_.pop_front();
    if (choice.path.isEmpty()) {
        return false;
    }
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(choice.path);
    if (choice.page) {
        printer.setPageSize(QPageSize(*choice.page));
    }
    return true;
}

void FakeDialogs::reset() {
    answers_.clear();
    shown_.clear();
    saveNames_.clear();
    saveFilters_.clear();
    openNames_.clear();
    folderNames_.clear();
    texts_.clear();
    numbers_.clear();
    questions_.clear();
    folders_.clear();
    printers_.clear();
    offeredPages_.clear();
}

void FakeEventPump::doEvents() {
    ++passes;
    QCoreApplication::processEvents();
}

void FakeEventPump::waitForEvents() {
    ++waits;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
}

FakePlatform::FakePlatform() {
    platform::installDialogs(&dialogs);
    platform::installMousePointer(&pointer);
    platform::installEventPump(&pump);
}

FakePlatform::~FakePlatform() {
    platform::installDialogs(nullptr);
    platform::installMousePointer(nullptr);
    platform::installEventPump(nullptr);
}

} // namespace fakes
