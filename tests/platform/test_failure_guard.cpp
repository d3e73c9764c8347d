#include "fakes/FakePlatform.h"
#include "platform/FailureGuard.h"
#include "platform/GuardedApplication.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <new>
#include <stdexcept>

class TestFailureGuard : public QObject {
    Q_OBJECT
private slots:
    void an_unhandled_error_is_shown_and_the_program_carries_on();
    void the_message_uses_the_standard_text_of_the_code_data();
    void the_message_uses_the_standard_text_of_the_code();
    void the_pointer_is_the_arrow_after_an_unhandled_error();
    void guarded_slots_receive_the_signal_arguments();
    void an_event_handler_that_throws_is_shown_and_the_program_carries_on_data();
    void an_event_handler_that_throws_is_shown_and_the_program_carries_on();
};

namespace {

// A widget whose own handler of a click lets an exception through, as one of
// the toolkit's handlers or an unguarded one of ours might.
class Throwing : public QWidget {
public:
    explicit Throwing(bool library) : library_(library) {}
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override {
        if (++presses > 1) {
            return;
        }
        if (library_) {
            throw std::invalid_argument("strike (-10) must be non-negative");
        }
        throw platform::RunTimeError(platform::errc::Overflow);
    }

private:
    bool library_;
};

} // namespace

void TestFailureGuard::an_unhandled_error_is_shown_and_the_program_carries_on() {
    fakes::FakePlatform fake;
    fake.dialogs.script(platform::Dialogs::answerOk);
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, platform::guarded([&] {
        if (++clicks == 1) {
            throw platform::RunTimeError(platform::errc::Overflow);
        }
    }));
    button.click();
    button.click();
    QCOMPARE(clicks, 2);
    QCOMPARE(fake.dialogs.shown().size(), 1);
    const auto& box = fake.dialogs.shown().first();
    QCOMPARE(box.text, QStringLiteral("Run-time error '6':\n\nOverflow"));
    QCOMPARE(box.title, QStringLiteral("Quillmere"));
    QCOMPARE(box.icon, platform::Dialogs::Icon::Critical);
    QCOMPARE(box.buttons, platform::Dialogs::Buttons::Ok);
}

void TestFailureGuard::the_message_uses_the_standard_text_of_the_code_data() {
    QTest::addColumn<int>("thrown");
    QTest::addColumn<QString>("text");
    QTest::newRow("run-time error") << 0 << "Run-time error '381':\n\nInvalid property array index";
    // A library's own exception, such as the pricing library's.
    QTest::newRow("library's exception") << 1 << "Run-time error '51':\n\nInternal error";
    QTest::newRow("no memory") << 2 << "Run-time error '7':\n\nOut of memory";
}

void TestFailureGuard::the_message_uses_the_standard_text_of_the_code() {
    QFETCH(int, thrown);
    QFETCH(QString, text);
    fakes::FakePlatform fake;
    fake.dialogs.script(platform::Dialogs::answerOk);
    platform::runGuarded([thrown] {
        switch (thrown) {
        case 0:
            throw platform::RunTimeError(381, QStringLiteral("Row 9"));
        case 1:
            throw std::domain_error("strike (-10) must be non-negative");
        default:
            throw std::bad_alloc();
        }
    });
    QCOMPARE(fake.dialogs.shown().first().text, text);
}

void TestFailureGuard::the_pointer_is_the_arrow_after_an_unhandled_error() {
    fakes::FakePlatform fake;
    fake.dialogs.script(platform::Dialogs::answerOk);
    platform::runGuarded([] {
        platform::mousePointer().setShape(platform::MousePointer::Shape::Hourglass);
        throw platform::RunTimeError(platform::errc::FileNotFound);
    });
    QCOMPARE(fake.pointer.shape(), platform::MousePointer::Shape::Default);
}

void TestFailureGuard::guarded_slots_receive_the_signal_arguments() {
    fakes::FakePlatform fake;
    QObject sender;
    QString got;
    QObject::connect(&sender, &QObject::objectNameChanged,
                     platform::guarded([&](const QString& name) { got = name; }));
    sender.setObjectName(QStringLiteral("cmdPlot"));
    QCOMPARE(got, QStringLiteral("cmdPlot"));
    QVERIFY(fake.dialogs.shown().isEmpty());
}

void TestFailureGuard::an_event_handler_that_throws_is_shown_and_the_program_carries_on_data() {
    QTest::addColumn<bool>("library");
    QTest::addColumn<QString>("text");
    QTest::newRow("run-time error") << false << "Run-time error '6':\n\nOverflow";
    QTest::newRow("library's exception") << true << "Run-time error '51':\n\nInternal error";
}

void TestFailureGuard::an_event_handler_that_throws_is_shown_and_the_program_carries_on() {
    QFETCH(bool, library);
    QFETCH(QString, text);
    fakes::FakePlatform fake;
    fake.dialogs.script(platform::Dialogs::answerOk);
    Throwing widget(library);
    widget.resize(40, 40);
    QTest::mouseClick(&widget, Qt::LeftButton);
    QTest::mouseClick(&widget, Qt::LeftButton);
    QCOMPARE(widget.presses, 2);
    QCOMPARE(fake.dialogs.shown().size(), 1);
    QCOMPARE(fake.dialogs.shown().first().text, text);
}

// The application object of the program, with its net below every handler.
int main(int argc, char* argv[]) {
    platform::GuardedApplication application(argc, argv);
    TestFailureGuard test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_failure_guard.moc"
