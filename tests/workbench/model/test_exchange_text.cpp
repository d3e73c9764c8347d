#include "platform/RunTimeError.h"
#include "platform/SelectionText.h"
#include "workbench/model/ExchangeText.h"

#include <QTest>

class TestExchangeText : public QObject {
    Q_OBJECT
private slots:
    void take_field_splits_the_worked_lines_data();
    void take_field_splits_the_worked_lines();
    void quote_lines_are_cut_only_at_carriage_return_line_feed();
    void line_feeds_become_blanks_one_for_one();
    void commas_are_dropped_and_a_long_text_with_one_fails();
    void text_to_integer_data();
    void text_to_integer();
    void selection_text_stays_inside_its_rectangle();
};

void TestExchangeText::take_field_splits_the_worked_lines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("three fields") << "16.00\t40\t0.50" << QStringList{"16.00", "40", "0.50"};
    QTest::newRow("adjacent tabs swallow an empty field")
        << "16.00\t\t40" << QStringList{"16.00", "40", ""};
    QTest::newRow("no tabs") << "16.00 40" << QStringList{"16.00 40", "", ""};
    QTest::newRow("carriage return line feed") << "1\r\n2" << QStringList{"1", "2", ""};
    QTest::newRow("lone carriage return") << "1\r2\t3" << QStringList{"1\r2", "3", ""};
    QTest::newRow("carriage return without a tab after it")
        << "1\t2\r3" << QStringList{"1", "2", "3"};
    QTest::newRow("trailing tab") << "5\t" << QStringList{"5", "", ""};
    QTest::newRow("empty") << "" << QStringList{"", "", ""};
}

void TestExchangeText::take_field_splits_the_worked_lines() {
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    for (const QString& expected : fields) {
        QCOMPARE(workbench::exchangetext::takeField(line), expected);
    }
    QVERIFY(line.isEmpty());
}

void TestExchangeText::quote_lines_are_cut_only_at_carriage_return_line_feed() {
    QCOMPARE(workbench::exchangetext::splitQuoteLines(QStringLiteral("a\r\nb\r\n")),
             (QStringList{"a", "b", ""}));
    QCOMPARE(workbench::exchangetext::splitQuoteLines(QStringLiteral("a\rb\nc")),
             QStringList{"a\rb\nc"});
    QVERIFY(workbench::exchangetext::splitQuoteLines(QString()).isEmpty());
}

void TestExchangeText::line_feeds_become_blanks_one_for_one() {
    QString text = QStringLiteral("5\r\n6\n\n");
    workbench::exchangetext::replaceLineFeeds(text);
    QCOMPARE(text, QStringLiteral("5\r 6  "));
}

void TestExchangeText::commas_are_dropped_and_a_long_text_with_one_fails() {
    QString text = QStringLiteral("1,250.50\t2,000");
    workbench::exchangetext::removeCommas(text);
    QCOMPARE(text, QStringLiteral("1250.50\t2000"));

    QString longWithout(40000, u'1');
    workbench::exchangetext::removeCommas(longWithout);
    QCOMPARE(longWithout.size(), 40000);

    QString exactly(32767, u'1');
    exactly[5] = u',';
    workbench::exchangetext::removeCommas(exactly);
    QCOMPARE(exactly.size(), 32766);

    QString longWith(32768, u'1');
    longWith[10] = u',';
    try {
        workbench::exchangetext::removeCommas(longWith);
        QFAIL("no failure");
    } catch (const platform::RunTimeError& e) {
        QCOMPARE(e.code(), 6);
    }
    QCOMPARE(longWith.size(), 32768);
}

void TestExchangeText::text_to_integer_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // 99999: overflow
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("number then letters") << "12abc" << 0;
    QTest::newRow("error code") << "521" << 521;
    QTest::newRow("negative") << "-5" << -5;
    QTest::newRow("blanks around") << " 7 " << 7;
    QTest::newRow("half to even") << "2.5" << 2;
    QTest::newRow("beyond 16 bits") << "40000" << 99999;
}

void TestExchangeText::text_to_integer() {
    QFETCH(QString, text);
    QFETCH(int, value);
    try {
        QCOMPARE(int(workbench::exchangetext::textToInteger(text)), value);
    } catch (const platform::RunTimeError& e) {
        QCOMPARE(value, 99999);
        QCOMPARE(e.code(), 6);
    }
}

void TestExchangeText::selection_text_stays_inside_its_rectangle() {
    const auto placed = platform::selection::layText(u"a\tb\tc\rd\te\rf", 2, 2);
    QCOMPARE(placed.size(), std::size_t(4));
    QCOMPARE(placed[0].text, QStringLiteral("a"));
    QCOMPARE(placed[1].text, QStringLiteral("b"));
    QCOMPARE(placed[2].row, 1);
    QCOMPARE(placed[2].text, QStringLiteral("d"));
    QCOMPARE(placed[3].text, QStringLiteral("e"));
    const auto one = platform::selection::layText(u"x\ty\rz", 1, 1);
    QCOMPARE(one.size(), std::size_t(1));
    QCOMPARE(one[0].text, QStringLiteral("x"));
    const auto lineFeed = platform::selection::layText(u"x\ny", 1, 1);
    QCOMPARE(lineFeed[0].text, QStringLiteral("x\ny"));
}

QTEST_APPLESS_MAIN(TestExchangeText)
#include "test_exchange_text.moc"
