#pragma once

#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/MousePointer.h"

#include <QList>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <deque>
#include <optional>

namespace fakes {

// Message boxes and file dialogs that answer from a script and remember what
// was shown. A dialog the test did not script fails the test (and answers No /
// OK / Cancel), so a stray dialog can never hang the run.
class FakeDialogs : public platform::Dialogs {
public:
    struct Shown {
        QString text;
        Buttons buttons;
        Icon icon;
        QString title;
    };

    void script(int answer) { answers_.push_back(answer); }
    int msgBox(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    // The save dialog answers with the scripted paths in turn, an empty one
    // for Cancel, and remembers the filters it was asked with.
    void scriptSaveName(const QString& path) { saveNames_.push_back(path); }
    QString saveFileName(const QString& caption, const QString& filter,
                         const QString& folder) override;
    // The open dialog answers with the scripted paths in turn, like the save one.
    void scriptOpenName(const QString& path) { openNames_.push_back(path); }
    QString openFileName(const QString& caption, const QString& filter,
                         const QString& folder) override;
    // The folder, text and number questions answer with the scripted
    // answers in turn: an empty folder or a text or number of none for
    // Cancel. The questions asked are kept with the message boxes' texts.
    void scriptFolderName(const QString& path) { folderNames_.push_back(path); }
    QString folderName(const QString& caption, const QString& folder) override;
    void scriptText(std::optional<QString> text) { texts_.push_back(std::move(text)); }
    std::optional<QString> askText(const QString& text, const QString& initial,
                                   int maxLength) override;
    void scriptNumber(std::optional<int> number) { numbers_.push_back(number); }
    std::optional<int> askNumber(const QString& text, int initial, int least, int most) override;
    const QStringList& questions() const { return questions_; }
    // The folder each file dialog, open or save, was asked to start in.
    const QStringList& folders() const { return folders_; }
    // The print dialog answers with the scripted choices in turn: print to
    // that PDF file, on that page or the one the printer was offered with,
    // or an empty path for Cancel. It remembers the page it was offered.
    void scriptPrintToFile(const QString& path, std::optional<QPageSize::PageSizeId> page = {}) {
        printers_.push_back({path, page});
    }
    bool choosePrinter(QPrinter& printer, const QString& caption) override;
    const QList<QPageSize::PageSizeId>& offeredPages() const { return offeredPages_; }

    const QList<Shown>& shown() const { return shown_; }
    const QStringList& saveFilters() const { return saveFilters_; }
    int pendingAnswers() const {
        return int(answers_.size() + saveNames_.size() + openNames_.size() + printers_.size() +
                   folderNames_.size() + texts_.size() + numbers_.size());
    }
    void reset();

private:
    std::deque<int> answers_;
    QList<Shown> shown_;
    std::deque<QString> saveNames_;
    std::deque<QString> openNames_;
    std::deque<QString> folderNames_;
    std::deque<std::optional<QString>> texts_;
    std::deque<std::optional<int>> numbers_;
    QStringList questions_;
    QStringList saveFilters_;
    QStringList folders_;
    struct PrintChoice {
        QString path;
        std::optional<QPageSize::PageSizeId> page;
    };
    std::deque<PrintChoice> printers_;
    QList<QPageSize::PageSizeId> offeredPages_;
};

class FakeMousePointer : public platform::MousePointer {
public:
    void setShape(Shape shape) override { shape_ = shape; }
    Shape shape() const override { return shape_; }

private:
    Shape shape_ = Shape::Default;
};

// Counts the passes and runs the real queue, so that widgets still repaint.
class FakeEventPump : public platform::EventPump {
public:
    void doEvents() override;
    void waitForEvents() override;
    int passes = 0;
    int waits = 0;
};

// Installs the three process-wide fakes for the lifetime of the object.
class FakePlatform {
public:
    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    FakeDialogs dialogs;
    FakeMousePointer pointer;
    FakeEventPump pump;
};

} // namespace fakes
