#include "platform/Numbers.h"
#include "platform/RunTimeError.h"

#include <QTest>

#include <cfloat>

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void leading_number_reads_what_a_student_types_data();
    void leading_number_reads_what_a_student_types();
    void leading_number_beyond_a_double_is_an_overflow_data();
    void leading_number_beyond_a_double_is_an_overflow();

    void formats_round_halves_away_from_zero_on_the_decimal_value_data();
    void formats_round_halves_away_from_zero_on_the_decimal_value();
    void doubles_format_like_floats();

    void single_conversion_overflows_instead_of_giving_infinity_data();
    void single_conversion_overflows_instead_of_giving_infinity();
    void integer_conversion_rounds_halves_to_even_and_checks_16_bits_data();
    void integer_conversion_rounds_halves_to_even_and_checks_16_bits();
    void long_conversion_checks_32_bits();

    void number_text_is_the_shortest_plain_text();
};

void TestNumbers::leading_number_reads_what_a_student_types_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("trailing letters") << "2.5x" << 2.5;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks only") << " \t\n" << 0.0;
    QTest::newRow("blank between digits") << "1 2" << 12.0;
    QTest::newRow("tab and line feed between digits") << "\t1\n2" << 12.0;
    QTest::newRow("blank after the sign") << "- 3" << -3.0;
    QTest::newRow("leading blanks and sign") << "  -3.5" << -3.5;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("two signs") << "--1" << 0.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("point last") << "5." << 5.0;
    QTest::newRow("comma stops") << "1,000" << 1.0;
    QTest::newRow("exponent E") << "1E3" << 1000.0;
    QTest::newRow("exponent d") << "1d2" << 100.0;
    QTest::newRow("negative exponent") << "25e-2" << 0.25;
    QTest::newRow("blanks inside the exponent") << "1 e - 2" << 0.01;
    QTest::newRow("exponent without digits") << "2e" << 2.0;
    QTest::newRow("exponent sign without digits") << "2e+" << 2.0;
    QTest::newRow("underflow reads as zero") << "1e-400" << 0.0;
    QTest::newRow("tiny behind many zeros is no overflow")
        << QStringLiteral("0.%1").arg(QString(400, u'0')) + "1e50" << 0.0;
    QTest::newRow("zero with a huge exponent") << "0.000e999" << 0.0;
    QTest::newRow("hexadecimal") << "&H1F" << 31.0;
    QTest::newRow("hexadecimal lower case") << "&hff" << 255.0;
    QTest::newRow("hexadecimal stops at non-digit") << "&H1G" << 1.0;
    QTest::newRow("octal") << "&O17" << 15.0;
    QTest::newRow("octal stops at 8") << "&o78" << 7.0;
    QTest::newRow("ampersand alone") << "&X1" << 0.0;
    QTest::newRow("quantity with two decimals") << "-1.00" << -1.0;
}

void TestNumbers::leading_number_reads_what_a_student_types() {
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(platform::numbers::leadingNumber(text), expected);
}

void TestNumbers::leading_number_beyond_a_double_is_an_overflow_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("huge exponent") << "1e400";
    QTest::newRow("many digits") << QString(400, u'9');
    QTest::newRow("negative huge") << "-5e999999999";
    QTest::newRow("hexadecimal beyond 32 bits") << "&H1FFFFFFFF";
}

void TestNumbers::leading_number_beyond_a_double_is_an_overflow() {
    QFETCH(QString, text);
    try {
        platform::numbers::leadingNumber(text);
        QFAIL("no overflow");
    } catch (const platform::RunTimeError& e) {
        QCOMPARE(e.code(), 6);
    }
}

void TestNumbers::formats_round_halves_away_from_zero_on_the_decimal_value_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole with two decimals") << 1.0f << "####0.00"
                                             << "1.00";
    QTest::newRow("premium") << 8.25f << "####0.00"
                             << "8.25";
    QTest::newRow("half below in binary") << 2.675f << "####0.00"
                                          << "2.68";
    QTest::newRow("half away from zero") << 0.005f << "####0.00"
                                         << "0.01";
    QTest::newRow("negative half away from zero") << -0.005f << "####0.00"
                                                  << "-0.01";
    QTest::newRow("rounds to zero without a sign") << -0.004f << "####0.00"
                                                   << "0.00";
    QTest::newRow("negative zero") << -0.0f << "####0.00"
                                   << "0.00";
    QTest::newRow("carry into a new digit") << 99.999f << "####0.00"
                                            << "100.00";
    QTest::newRow("no grouping") << 123456.79f << "#####0.00"
                                 << "123456.79";
    QTest::newRow("four decimals negative") << -10.5f << "#####0.0000"
                                            << "-10.5000";
    QTest::newRow("four decimals whole") << 50.0f << "#####0.0000"
                                         << "50.0000";
    QTest::newRow("small fraction") << 0.0001f << "#####0.0000"
                                    << "0.0001";
    QTest::newRow("whole half up") << 2.5f << "######0"
                                   << "3";
    QTest::newRow("whole negative half") << -2.5f << "#####0"
                                         << "-3";
    QTest::newRow("whole below half") << 0.4f << "######0"
                                      << "0";
    QTest::newRow("whole negative below half") << -0.4f << "######0"
                                               << "0";
    QTest::newRow("whole minus one") << -1.0f << "#####0"
                                     << "-1";
    QTest::newRow("beyond the hashes") << 12345678.0f << "######0"
                                       << "12345678";
    QTest::newRow("re-scaled bottom") << 99995.0f << "######0"
                                      << "99995";
    QTest::newRow("huge") << 1e30f << "####0.00"
                          << "1000000000000000000000000000000.00";
    QTest::newRow("tiny") << 1e-30f << "####0.00"
                          << "0.00";
    QTest::newRow("accumulated price") << 99.00996f << "#####0.0000"
                                       << "99.0100";
}

void TestNumbers::formats_round_halves_away_from_zero_on_the_decimal_value() {
    QFETCH(float, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(platform::numbers::format(value, pattern), expected);
}

void TestNumbers::doubles_format_like_floats() {
    QCOMPARE(platform::numbers::format(2.675, u"####0.00"), QStringLiteral("2.68"));
    QCOMPARE(platform::numbers::format(-10.5, u"#####0.0000"), QStringLiteral("-10.5000"));
    QCOMPARE(platform::numbers::format(0.5, u"######0"), QStringLiteral("1"));
}

void TestNumbers::single_conversion_overflows_instead_of_giving_infinity_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("overflows");
    QTest::newRow("largest float") << double(FLT_MAX) << false;
    QTest::newRow("rounds down to the largest float") << double(FLT_MAX) * (1 + 1e-9) << false;
    QTest::newRow("just beyond") << 3.5e38 << true;
    QTest::newRow("negative beyond") << -1e39 << true;
    QTest::newRow("tiny is zero, not an error") << 1e-50 << false;
    QTest::newRow("infinity") << double(INFINITY) << true;
}

void TestNumbers::single_conversion_overflows_instead_of_giving_infinity() {
    QFETCH(double, value);
    QFETCH(bool, overflows);
    try {
        const float f = platform::numbers::toSingle(value);
        QVERIFY(!overflows);
        QVERIFY(std::isfinite(f));
    } catch (const platform::RunTimeError& e) {
        QVERIFY(overflows);
        QCOMPARE(e.code(), 6);
        QCOMPARE(e.description(), QStringLiteral("Overflow"));
    }
}

void TestNumbers::integer_conversion_rounds_halves_to_even_and_checks_16_bits_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected"); // 99999 marks an overflow
    QTest::newRow("2.5 to even") << 2.5 << 2;
    QTest::newRow("3.5 to even") << 3.5 << 4;
    QTest::newRow("-2.5 to even") << -2.5 << -2;
    QTest::newRow("2.6 up") << 2.6 << 3;
    QTest::newRow("top") << 32767.4 << 32767;
    QTest::newRow("top half rounds out") << 32767.5 << 99999;
    QTest::newRow("bottom half rounds to even inside") << -32768.5 << -32768;
    QTest::newRow("below bottom") << -32769.0 << 99999;
    QTest::newRow("far out") << 1e10 << 99999;
}

void TestNumbers::integer_conversion_rounds_halves_to_even_and_checks_16_bits() {
    QFETCH(double, value);
    QFETCH(int, expected);
    try {
        const int got = platform::numbers::toInteger(value);
        QCOMPARE(got, expected);
    } catch (const platform::RunTimeError& e) {
        QCOMPARE(expected, 99999);
        QCOMPARE(e.code(), 6);
    }
}

void TestNumbers::long_conversion_checks_32_bits() {
    QCOMPARE(platform::numbers::toLong(7694.5), 7694);
    QCOMPARE(platform::numbers::toLong(8379.0), 8379);
    QCOMPARE(platform::numbers::toLong(-2147483648.4), std::int32_t(-2147483647 - 1));
    QVERIFY_THROWS_EXCEPTION(platform::RunTimeError, platform::numbers::toLong(2147483647.5));
}

void TestNumbers::number_text_is_the_shortest_plain_text() {
    QCOMPARE(platform::numbers::numberText(40.0f), QStringLiteral("40"));
    QCOMPARE(platform::numbers::numberText(12.5f), QStringLiteral("12.5"));
    QCOMPARE(platform::numbers::numberText(-3.0f), QStringLiteral("-3"));
    QCOMPARE(platform::numbers::numberText(1e20f), QStringLiteral("1E+20"));
}

QTEST_APPLESS_MAIN(TestNumbers)
#include "test_numbers.moc"
