// A position kept in a file and opened again, files that are not positions,
// and undoing changes to the position.
#include "WorkbenchHarness.h"
#include "workbench/model/PositionDocument.h"

#include <QUndoStack>

namespace {

namespace doc = workbench::document;

QStringList gridTexts(const WorkbenchHarness& h) {
    QStringList out;
    for (int r = 0; r < h.grid()->Rows(); ++r) {
        for (int c = 0; c < h.grid()->Cols(); ++c) {
            out << h.cell(r, c);
        }
    }
    return out;
}

QString twelveRows() {
    QString table;
    for (int k = 0; k < 12; ++k) {
        table += QStringLiteral("%1\t%2\t%3\r\n").arg(20 - k).arg(30 + 5 * k).arg(1.5 + k);
    }
    return table;
}

} // namespace

class TestPositionDocument : public QObject {
    Q_OBJECT
private slots:
    void a_saved_position_opens_as_it_was_shown_data();
    void a_saved_position_opens_as_it_was_shown();
    void a_file_that_is_no_position_says_what_is_wrong_data();
    void a_file_that_is_no_position_says_what_is_wrong();
    void the_most_the_grid_holds_is_written_and_read_back_data();
    void the_most_the_grid_holds_is_written_and_read_back();
    void undo_brings_back_each_change_and_plots_it();
    void undo_gives_back_exactly_what_a_command_took_data();
    void undo_gives_back_exactly_what_a_command_took();
};

void TestPositionDocument::a_saved_position_opens_as_it_was_shown_data() {
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<QString>("quotes");
    QTest::newRow("a strategy, profit") << "Call Butterfly Spread"
                                        << "";
    QTest::newRow("twelve pasted rows held") << "" << twelveRows();
}

void TestPositionDocument::a_saved_position_opens_as_it_was_shown() {
    QFETCH(QString, strategy);
    QFETCH(QString, quotes);
    WorkbenchHarness saved;
    saved.chooseProfit();
    if (!quotes.isEmpty()) {
        saved.bench->pasteData(quotes);
        saved.clickCell(4, 0);
        saved.type(QStringLiteral("2\r"));
        saved.clickCell(9, 3);
        saved.type(QStringLiteral("-1\r"));
        saved.fake->dialogs.script(platform::Dialogs::answerYes);
        QTest::mouseClick(saved.button(QStringLiteral("cmdPlot")), Qt::LeftButton);
    } else {
        saved.choose(strategy);
    }
    saved.bench->setPlotColor(0x0000FF);
    const QByteArray file = doc::toJson(saved.bench->document());

    WorkbenchHarness opened;
    const doc::Reading reading = doc::fromJson(file);
    QVERIFY2(reading.document, qPrintable(reading.problem));
    opened.bench->openDocument(*reading.document, QStringLiteral("saved.wqzpos"));
    QCOMPARE(gridTexts(opened), gridTexts(saved));
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(opened.box(i)->text(), saved.box(i)->text());
    }
    QCOMPARE(opened.underlyingBox()->text(), saved.underlyingBox()->text());
    QVERIFY(opened.child<QRadioButton>(QStringLiteral("plotType(1)"))->isChecked());
    // Drawn afresh in the saved colour: the plot area shows what it showed,
    // but the last curve alone.
    saved.bench->setPlotColor(0x0000FF);
    saved.child<QPushButton>(QStringLiteral("cmdClear"))->click();
    saved.bench->PlotIt(platform::vbFalse);
    QCOMPARE(opened.pbox()->image(), saved.pbox()->image());
}

void TestPositionDocument::a_file_that_is_no_position_says_what_is_wrong_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("problem");
    WorkbenchHarness h;
    const QByteArray good = doc::toJson(h.bench->document());
    QByteArray newer = good;
    newer.replace("\"version\": 2", "\"version\": 5");
    QByteArray badColour = good;
    badColour.replace("#", "");
    QTest::newRow("not JSON") << QByteArray("{\"format\": ") << "not a saved position";
    QTest::newRow("another JSON file") << QByteArray("{\"name\": \"x\"}") << "not a saved position";
    QTest::newRow("a newer version") << newer << "newer version of the program (format 5)";
    QTest::newRow("larger than the limit")
        << good + QByteArray(doc::largestFile, ' ') << "larger than 12 MB";
    QTest::newRow("a colour without #") << badColour << "\"curveColor\"";
    QTest::newRow("no rows") << QByteArray(good).replace("\"rows\"", "\"rowz\"") << "no rows";
}

void TestPositionDocument::a_file_that_is_no_position_says_what_is_wrong() {
    QFETCH(QByteArray, file);
    QFETCH(QString, problem);
    const doc::Reading reading = doc::fromJson(file);
    QVERIFY(!reading.document);
    QVERIFY2(reading.problem.contains(problem), qPrintable(reading.problem));
}

void TestPositionDocument::the_most_the_grid_holds_is_written_and_read_back_data() {
    QTest::addColumn<QChar>("character");
    // What JSON writes longest: a control character's six-byte escape.
    QTest::newRow("control characters") << QChar(1);
    QTest::newRow("characters of three bytes") << QChar(0x20AC);
    QTest::newRow("digits") << QChar(u'0');
}

void TestPositionDocument::the_most_the_grid_holds_is_written_and_read_back() {
    QFETCH(QChar, character);
    doc::Document most;
    doc::Row row;
    row.fill(QString(workbench::columns::longestText, character));
    for (int r = 0; r < workbench::columns::mostRows; ++r) {
        most.rows << row;
    }
    most.underlyingQty = row[0];
    most.range = {row[0], row[0], row[0], row[0]};
    const doc::Writing writing = doc::write(most);
    QVERIFY2(writing.problem.isEmpty(), qPrintable(writing.problem));
    const doc::Reading reading = doc::fromJson(writing.bytes);
    QVERIFY2(reading.document, qPrintable(reading.problem));
    QVERIFY(*reading.document == most);
}

void TestPositionDocument::undo_brings_back_each_change_and_plots_it() {
    WorkbenchHarness h;
    QUndoStack& changes = h.bench->undoStack();
    QVERIFY(!changes.canUndo()); // the start-up position is where undoing stops
    h.choose(QStringLiteral("Straddle"));
    const QStringList straddle = gridTexts(h);
    h.clickCell(1, 0);
    h.type(QStringLiteral("3\r"));
    QCOMPARE(h.cell(1, 0), QStringLiteral("3.00"));
    h.child<QPushButton>(QStringLiteral("cmdRestart"))->click();
    QCOMPARE(h.cell(3, 0), QString());
    QCOMPARE(changes.undoText(), QStringLiteral("Restart"));

    changes.undo(); // Restart, in the range Straddle chose: no question
    QCOMPARE(h.cell(1, 0), QStringLiteral("3.00"));
    QCOMPARE(h.bench->position().callQty[1], 3.0f);
    QCOMPARE(h.bench->plotValue()[100], float(3 * (99.01 - 40) + (99.01 - 50))); // the payoff
    changes.undo();                                                              // the typed 3
    QCOMPARE(gridTexts(h), straddle);
    changes.redo();
    QCOMPARE(h.cell(1, 0), QStringLiteral("3.00"));
    QVERIFY(h.fake->dialogs.shown().isEmpty()); // an undo never asks to re-scale
    // Nothing changed: nothing to record.
    h.fake->dialogs.script(platform::Dialogs::answerNo);
    QTest::mouseClick(h.button(QStringLiteral("cmdPlot")), Qt::LeftButton);
    QCOMPARE(changes.undoText(), QStringLiteral("Typing"));
}

void TestPositionDocument::undo_gives_back_exactly_what_a_command_took_data() {
    QTest::addColumn<QString>("typed"); // "box" into the underlying's box, "range" 20 to 80
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("undone"); // the box, then the price range's two boxes
    QTest::newRow("a paste after the underlying was typed")
        << "box"
        << "paste" << QStringList{"3", "1", "100"};
    QTest::newRow("a strategy after the range was typed")
        << "range"
        << "Straddle" << QStringList{"0.00", "20", "80"};
    QTest::newRow("the typed underlying itself") << "box"
                                                 << "" << QStringList{"0", "1", "100"};
}

void TestPositionDocument::undo_gives_back_exactly_what_a_command_took() {
    QFETCH(QString, typed);
    QFETCH(QString, command);
    QFETCH(QStringList, undone);
    WorkbenchHarness h;
    QVERIFY(h.showActive());
    QUndoStack& changes = h.bench->undoStack();
    if (typed == u"box") {
        QTest::mouseClick(h.underlyingBox(), Qt::LeftButton);
        h.keyToFocus(Qt::Key_A, Qt::ControlModifier);
        h.typeToFocus(QStringLiteral("3"));
    } else {
        for (const auto& [box, text] : {std::pair{2, "20"}, std::pair{3, "80"}}) {
            QTest::mouseClick(h.box(box), Qt::LeftButton);
            h.keyToFocus(Qt::Key_A, Qt::ControlModifier);
            h.typeToFocus(QString::fromLatin1(text));
        }
        QTest::mouseClick(h.button(QStringLiteral("cmdPlot")), Qt::LeftButton);
    }
    if (command == u"paste") {
        h.bench->pasteData(twelveRows());
    } else if (!command.isEmpty()) {
        h.choose(command);
    } else {
        h.keyToFocus(Qt::Key_Return);
    }
    changes.undo();
    QCOMPARE(
        QStringList({h.underlyingBox()->text(), h.box(2)->text(), h.box(3)->text()}).join(u' '),
        undone.join(u' '));
    QVERIFY(h.fake->dialogs.shown().isEmpty());
}

QTEST_MAIN(TestPositionDocument)
#include "test_position_document.moc"
