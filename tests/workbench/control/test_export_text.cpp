#include "workbench/control/DiagramExport.h"
#include "workbench/control/ValuesExport.h"

#include <QTest>

namespace de = workbench::diagramexport;

class TestExportText : public QObject {
    Q_OBJECT
private slots:
    void axes_tick_at_round_steps_data();
    void axes_tick_at_round_steps();
    void a_field_is_quoted_only_when_it_must_be_data();
    void a_field_is_quoted_only_when_it_must_be();
};

void TestExportText::axes_tick_at_round_steps_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("most");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("prices 20 to 80")
        << 20.0 << 80.0 << 8 << QStringList{"20", "30", "40", "50", "60", "70", "80"};
    QTest::newRow("values top down, not on a step")
        << 61.3 << -23.9 << 6 << QStringList{"-20", "0", "20", "40", "60"};
    QTest::newRow("hundredths, zero without a sign")
        << -0.05 << 0.05 << 5 << QStringList{"-0.05", "0.00", "0.05"};
    QTest::newRow("an axis without extent") << 5.0 << 5.0 << 6 << QStringList{"5.00"};
}

void TestExportText::axes_tick_at_round_steps() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, most);
    QFETCH(QStringList, labels);
    const QList<double> ticks = de::ticks(from, to, most);
    QVERIFY(ticks.size() <= most);
    QStringList shown;
    for (const double t : ticks) {
        shown << de::tickLabel(t, ticks.size() > 1 ? ticks[1] - ticks[0] : 0);
    }
    QCOMPARE(shown, labels);
}

void TestExportText::a_field_is_quoted_only_when_it_must_be_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("a number") << "-12.5000"
                              << "-12.5000";
    QTest::newRow("a comma") << "Profit, net"
                             << "\"Profit, net\"";
    QTest::newRow("a quote doubled") << "the \"long\" leg"
                                     << "\"the \"\"long\"\" leg\"";
    QTest::newRow("a line break") << "two\nlines"
                                  << "\"two\nlines\"";
}

void TestExportText::a_field_is_quoted_only_when_it_must_be() {
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(workbench::valuesexport::csvField(text), field);
}

QTEST_APPLESS_MAIN(TestExportText)
#include "test_export_text.moc"
