// The printed page laid out on paper too small for all it holds, and drawn
// on an image.
#include "PdfText.h"
#include "workbench/control/PrintedPage.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

namespace page = workbench::printedpage;
using pdftext::checkOnePageOf;
using pdftext::flat;
using pdftext::text;

// A sheet of `rows` strikes from 1 up, held where `held` says, with a cell
// of `cell` in the first row and `analysis` lines of analysis.
page::Sheet sheetOf(int rows, const std::function<bool(int)>& held, const QString& cell,
                    int analysis) {
    page::Sheet s;
    s.title = QStringLiteral("Custom position");
    s.subtitle = QStringLiteral("Payoff diagram");
    s.diagram.scale = {1, 50, 100, -50};
    s.diagram.paper = true;
    s.diagram.curves << workbench::DrawnCurve{
        0xFF0000, {{1, 0}, {50, 0}, {100, 50}}, s.diagram.scale};
    s.diagram.legend << workbench::LegendEntry{0xFF0000,
                                               QStringLiteral("Custom position (payoff)")};
    for (int r = 0; r < rows; ++r) {
        const bool h = held(r);
        s.rows << workbench::document::Row{h ? QStringLiteral("1") : QStringLiteral("0"),
                                           QStringLiteral("1.25"), QString::number(r + 1),
                                           QStringLiteral("0"), QStringLiteral("0.75")};
        s.held << h;
    }
    if (!cell.isEmpty()) {
        s.rows[0][workbench::columns::CallPrice] = cell;
    }
    s.underlying = QStringLiteral("Underlying: quantity 0, price today 50");
    for (int i = 0; i < analysis; ++i) {
        s.analysis << QStringLiteral("Analysis line %1 of a long analysis").arg(i + 1);
    }
    s.beforeExpiry = page::inputLines({});
    return s;
}

} // namespace

class TestPrintedPage : public QObject {
    Q_OBJECT
private slots:
    void a_page_too_full_for_the_paper_shrinks_and_counts_what_it_leaves_out_data();
    void a_page_too_full_for_the_paper_shrinks_and_counts_what_it_leaves_out();
    void the_page_draws_on_an_image_as_on_paper();
};

void TestPrintedPage::a_page_too_full_for_the_paper_shrinks_and_counts_what_it_leaves_out_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("heldEvery"); // 0 for none
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("analysis");
    QTest::addColumn<QStringList>("says");
    QTest::addColumn<QStringList>("leavesOut");
    const QString rowsCut = QStringLiteral("rows are shown: the rest do not fit on the page.");
    const QString analysisCut = QStringLiteral("more lines of the analysis do not fit");
    QTest::newRow("twelve rows, all shown")
        << 12 << 0 << QString() << 8
        << QStringList{"Analysis line 8 of a long analysis", "Volatility: implied"}
        << QStringList{rowsCut, analysisCut, "rows hold none"};
    QTest::newRow("five thousand rows, three held")
        << 5000 << 2000 << QString() << 8
        << QStringList{"Only the rows that hold a call or a put are shown: 4997 more rows hold "
                       "none.",
                       "2001", "4001", "Analysis line 8 of"}
        << QStringList{rowsCut, analysisCut};
    QTest::newRow("five thousand rows, none held")
        << 5000 << 0 << QString() << 8
        << QStringList{"None of the grid's 5000 rows holds a call or a put."}
        << QStringList{rowsCut, analysisCut};
    QTest::newRow("five thousand rows, all held")
        << 5000 << 1 << QString() << 8
        << QStringList{"of the grid's 5000 rows are shown: the rest do not fit on the page.",
                       "Analysis line 8 of"}
        << QStringList{analysisCut};
    QTest::newRow("a cell of 64 letters")
        << 5 << 0 << QString(64, u'Z') << 8 << QStringList{"Days to expiry: 30"}
        << QStringList{rowsCut, analysisCut};
    // The rows stay whole while the analysis gives way.
    QTest::newRow("two hundred lines of analysis")
        << 5 << 0 << QString() << 200
        << QStringList{analysisCut, "Volatility: implied from the premiums", "0 1.25 5 0 0.75"}
        << QStringList{rowsCut, "None of the grid's"};
    // Both give way: the analysis keeps its first 30 lines.
    QTest::newRow("five thousand rows held and two hundred lines of analysis")
        << 5000 << 1 << QString() << 200
        << QStringList{"Analysis line 30 of", "170 more lines of the analysis", rowsCut,
                       "Volatility: implied from the premiums"}
        << QStringList{"Analysis line 31 of"};
}

void TestPrintedPage::a_page_too_full_for_the_paper_shrinks_and_counts_what_it_leaves_out() {
    QFETCH(int, rows);
    QFETCH(int, heldEvery);
    QFETCH(QString, cell);
    QFETCH(int, analysis);
    QFETCH(QStringList, says);
    QFETCH(QStringList, leavesOut);
    const page::Sheet sheet = sheetOf(
        rows, [=](int r) { return heldEvery > 0 && r % heldEvery == 0; }, cell, analysis);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.pdf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(page::pdf(sheet, page::defaultLayout(QPageSize::A4)));
    file.close();
    checkOnePageOf(path, QStringLiteral("A4"));
    const QString words = flat(text(path));
    // A table's row reads across in the page's layout.
    const QString rowsRead = flat(text(path, true));
    for (const QString& expected : says) {
        QVERIFY2(words.contains(expected) || rowsRead.contains(expected), qPrintable(expected));
    }
    for (const QString& unexpected : leavesOut) {
        QVERIFY2(!words.contains(unexpected), qPrintable(unexpected));
    }
    // A long cell is wrapped in its column, none of its digits lost.
    if (!cell.isEmpty()) {
        QCOMPARE(QString(words).remove(QRegularExpression(QStringLiteral("[^Z]"))).size(),
                 cell.size());
    }
}

void TestPrintedPage::the_page_draws_on_an_image_as_on_paper() {
    // An A4 page within its margins at 100 dots an inch: the curve in its
    // ink across the diagram at the top, text below it, white at the foot.
    const page::Sheet sheet = sheetOf(
        5, [](int r) { return r == 2; }, QString(), 6);
    QImage image(709, 1051, QImage::Format_RGB32);
    image.setDotsPerMeterX(3937);
    image.setDotsPerMeterY(3937);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        page::paint(p, sheet);
    }
    const auto count = [&](QRect region, const std::function<bool(QRgb)>& what) {
        int n = 0;
        for (int y = region.top(); y <= region.bottom(); ++y) {
            for (int x = region.left(); x <= region.right(); ++x) {
                n += what(image.pixel(x, y));
            }
        }
        return n;
    };
    const auto red = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; };
    const auto dark = [](QRgb c) { return qGray(c) < 80; };
    QVERIFY(count(QRect(0, 0, 709, 500), red) > 200);
    QCOMPARE(count(QRect(0, 560, 709, 491), red), 0);
    QVERIFY(count(QRect(0, 560, 709, 300), dark) > 500);
    QCOMPARE(count(QRect(0, 1030, 709, 21), dark), 0);
}

QTEST_MAIN(TestPrintedPage)
#include "test_printed_page.moc"
