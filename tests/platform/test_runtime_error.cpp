#include "platform/RunTimeError.h"

#include <QTest>

class TestRunTimeError : public QObject {
    Q_OBJECT
private slots:
    void every_code_the_program_raises_has_its_standard_text_data();
    void every_code_the_program_raises_has_its_standard_text();
    void an_unknown_code_gets_the_catch_all_text();
    void the_description_may_say_more_than_the_standard_text();
};

void TestRunTimeError::every_code_the_program_raises_has_its_standard_text_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("5") << 5 << "Invalid procedure call or argument";
    QTest::newRow("6") << 6 << "Overflow";
    QTest::newRow("7") << 7 << "Out of memory";
    QTest::newRow("9") << 9 << "Subscript out of range";
    QTest::newRow("11") << 11 << "Division by zero";
    QTest::newRow("13") << 13 << "Type mismatch";
    QTest::newRow("48") << 48 << "Error in loading DLL";
    QTest::newRow("53") << 53 << "File not found";
    QTest::newRow("91") << 91 << "Object variable or With block variable not set";
    QTest::newRow("380") << 380 << "Invalid property value";
    QTest::newRow("381") << 381 << "Invalid property array index";
    QTest::newRow("424") << 424 << "Object required";
    QTest::newRow("438") << 438 << "Object doesn't support this property or method";
    QTest::newRow("521") << 521 << "Can't open Clipboard";
}

void TestRunTimeError::every_code_the_program_raises_has_its_standard_text() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(platform::standardMessage(code), text);
    QCOMPARE(platform::RunTimeError(code).description(), text);
}

void TestRunTimeError::an_unknown_code_gets_the_catch_all_text() {
    QCOMPARE(platform::standardMessage(31999),
             QStringLiteral("Application-defined or object-defined error"));
    QCOMPARE(platform::standardMessage(-1),
             QStringLiteral("Application-defined or object-defined error"));
}

void TestRunTimeError::the_description_may_say_more_than_the_standard_text() {
    const platform::RunTimeError e(380, QStringLiteral("Invalid Row value"));
    QCOMPARE(e.code(), 380);
    QCOMPARE(e.description(), QStringLiteral("Invalid Row value"));
    QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Invalid Row value"));
}

QTEST_APPLESS_MAIN(TestRunTimeError)
#include "test_runtime_error.moc"
