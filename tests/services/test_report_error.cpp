#include "fakes/FakePlatform.h"
#include "services/ReportError.h"

#include <QCoreApplication>
#include <QTest>

class TestReportError : public QObject {
    Q_OBJECT
private slots:
    void the_general_message_names_the_support_address_and_the_standard_text_data();
    void the_general_message_names_the_support_address_and_the_standard_text();
    void the_text_comes_from_the_code_not_the_description();
    void the_pointer_is_the_arrow_afterwards_and_events_ran_once();
};

void TestReportError::the_general_message_names_the_support_address_and_the_standard_text_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("standard");
    QTest::newRow("overflow") << 6 << "Overflow";
    QTest::newRow("clipboard") << 521 << "Can't open Clipboard";
    QTest::newRow("invalid property") << 380 << "Invalid property value";
    QTest::newRow("unknown") << 30000 << "Application-defined or object-defined error";
}

void TestReportError::the_general_message_names_the_support_address_and_the_standard_text() {
    QFETCH(int, code);
    QFETCH(QString, standard);
    fakes::FakePlatform fake;
    fake.dialogs.script(platform::Dialogs::answerOk);
    services::errors::reportError(platform::RunTimeError(code));
    QCOMPARE(fake.dialogs.shown().size(), 1);
    const auto& box = fake.dialogs.shown().first();
    QCOMPARE(box.text,
             QStringLiteral("An error has occurred. If the program does not continue normally, "
                            "please report this error, and the circumstances surrounding it, to "
                            "support@quillmere.example.  The system error is: ") +
                 standard);
    QCOMPARE(box.title, QStringLiteral("Quillmere"));
    QCOMPARE(box.icon, platform::Dialogs::Icon::Critical);
    QCOMPARE(box.buttons, platform::Dialogs::Buttons::Ok);
}

void TestReportError::the_text_comes_from_the_code_not_the_description() {
    fakes::FakePlatform fake;
    fake.dialogs.script(platform::Dialogs::answerOk);
    // A component's own description says more; the report shows the standard
    // text of the code it was handed.
    services::errors::reportError(
        platform::RunTimeError(381, QStringLiteral("Subscript out of range: row 7")), 381);
    QVERIFY(fake.dialogs.shown().first().text.endsWith(
        QStringLiteral(".  The system error is: Invalid property array index")));
}

void TestReportError::the_pointer_is_the_arrow_afterwards_and_events_ran_once() {
    fakes::FakePlatform fake;
    fake.dialogs.script(platform::Dialogs::answerOk);
    fake.pointer.setShape(platform::MousePointer::Shape::Hourglass);
    services::errors::reportError(platform::RunTimeError(13));
    QCOMPARE(fake.pointer.shape(), platform::MousePointer::Shape::Default);
    QCOMPARE(fake.pump.passes, 1);
}

QTEST_GUILESS_MAIN(TestReportError)
#include "test_report_error.moc"
