// The window's edges moved by a student's hand on a real X server: the
// workbench's column and the room below it dragged give the diagram their
// room, it still reads true at every pixel, exports as it did, and the next
// start lays the window out where it was left.
#include "ShellHarness.h"
#include "fakes/XdoTool.h"
#include "platform/PictureBox.h"
#include "workbench/control/DiagramExport.h"
#include "workbench/control/DiagramWindow.h"
#include "workbench/control/HoverReadout.h"
#include "workbench/control/LastPlot.h"

#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>

namespace {

using P = platform::controls::Property;

QImage exportedDiagram(Shell& s, const QString& path) {
    s.fake.dialogs.scriptSaveName(path);
    answerSizeDialog(QStringLiteral("800"), QStringLiteral("600"));
    s.action("mnuExportDiagram")->trigger();
    return QImage::fromData(contents(path), "PNG");
}

QPoint middleOf(const QWidget* w) {
    return w->mapToGlobal(w->rect().center());
}

// Whether the curve's colour is drawn within a pixel of where the point
// falls on the plot area as the student sees it.
bool drawnAt(platform::PictureBox* area, QPointF user, QRgb colour) {
    const QImage seen = area->grab().toImage();
    const QPoint at = area->toPixels(user.x(), user.y()).toPoint();
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if ((seen.pixel(at + QPoint(dx, dy)) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

class TestLayoutXvfb : public QObject {
    Q_OBJECT
private slots:
    void dragged_edges_give_the_diagram_room_and_it_reads_and_exports_the_same();
    void f11_shows_the_diagram_alone_on_the_whole_screen_and_esc_comes_back();
};

void TestLayoutXvfb::dragged_edges_give_the_diagram_room_and_it_reads_and_exports_the_same() {
    QTemporaryDir config;
    QTemporaryDir dir;
    QImage atDesignSize;
    double browserLeft = 0;
    QSize dragged;
    {
        Shell s({}, {}, config.path());
        s.window->Form_Load();
        s.window->move(0, 0);
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        auto* area = s.window->workbench()->findChild<platform::PictureBox*>("pbox");
        const QSize designed = area->size();
        atDesignSize = exportedDiagram(s, dir.filePath(QStringLiteral("design.png")));
        QVERIFY(!atDesignSize.isNull());

        s.window->resize(1260, 990);
        QTRY_VERIFY(area->width() > designed.width() && area->height() > designed.height());
        const QSize grown = area->size();
        QVERIFY(xdo::drag(middleOf(s.child<QWidget>("columnEdge")), {250, 0}));
        QTRY_COMPARE(area->width(), grown.width() + 250);
        QVERIFY(xdo::drag(middleOf(s.child<QWidget>("roomEdge")), {0, 150}));
        QTRY_COMPARE(area->height(), grown.height() + 150);
        dragged = area->size();
        browserLeft = s.get("Browser1", P::Left);

        // The naked call's curve at 70 pays 20, where the pointer reads it.
        const QRgb yellow = qRgb(255, 255, 0);
        QVERIFY(drawnAt(area, {70, 20}, yellow));
        QVERIFY(drawnAt(area, {30, 0}, yellow));
        QVERIFY(xdo::run(xdo::at(area->mapToGlobal(area->toPixels(70, 20).toPoint()))));
        const auto* hover = area->findChild<workbench::HoverReadout*>("hoverReadout");
        QTRY_COMPARE(hover->text(), QStringLiteral("Price 70.00   Payoff 20.00"));

        const QImage atDraggedSize = exportedDiagram(s, dir.filePath(QStringLiteral("big.png")));
        QVERIFY(s.fake.dialogs.shown().isEmpty());
        QCOMPARE(atDraggedSize, atDesignSize);
        s.window->close();
    }
    // The next start: the window as big, the edges where they were left.
    Shell again({}, {}, config.path());
    again.window->Form_Load();
    again.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(again.window.get()));
    auto* area = again.window->workbench()->findChild<platform::PictureBox*>("pbox");
    QTRY_COMPARE(area->size(), dragged);
    QCOMPARE(again.get("Browser1", P::Left), browserLeft);
    // A double-click puts the column's edge back where a first start has it.
    const QStringList twice{QStringLiteral("click"), QStringLiteral("--repeat"),
                            QStringLiteral("2"), QStringLiteral("1")};
    QVERIFY(xdo::run(xdo::at(middleOf(again.child<QWidget>("columnEdge"))) << twice));
    QTRY_VERIFY(again.get("Browser1", P::Left) < browserLeft - 250 * 15 + 30);
}

void TestLayoutXvfb::f11_shows_the_diagram_alone_on_the_whole_screen_and_esc_comes_back() {
    Shell s;
    s.window->Form_Load();
    s.window->move(0, 0);
    s.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
    auto* area = s.window->workbench()->findChild<platform::PictureBox*>("pbox");
    QVERIFY(xdo::run(xdo::at(middleOf(area)) << QStringLiteral("click") << QStringLiteral("1")));
    QTRY_COMPARE(QApplication::focusWidget(), area);
    QVERIFY(xdo::run({QStringLiteral("key"), QStringLiteral("F11")}));
    auto* alone = s.window->findChild<workbench::DiagramWindow*>("diagramOnly");
    QVERIFY(alone);
    QTRY_VERIFY(alone->isVisible());
    QTRY_COMPARE(alone->size(), s.window->screen()->geometry().size());
    QVERIFY(s.action("mnuDiagramOnly")->isChecked());

    // What it shows is the exports' drawing at its size, and follows the plot.
    const auto drawn = [&] {
        QImage own(alone->diagramSize(), QImage::Format_RGB32);
        QPainter p(&own);
        workbench::diagramexport::paint(p, own.size(), s.window->workbench()->lastPlot().diagram());
        return own;
    };
    const auto seen = [&] {
        return alone->grab(QRect(QPoint(), alone->diagramSize()))
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    QCOMPARE(seen(), drawn());
    const QImage before = seen();
    workbench::beforeexpiry::Inputs tenDays;
    tenDays.daysLeft = 10;
    s.window->workbench()->setBeforeExpiry(tenDays);
    s.window->workbench()->settle();
    QTRY_VERIFY(seen() != before);
    QCOMPARE(seen(), drawn());

    QVERIFY(xdo::run({QStringLiteral("key"), QStringLiteral("Escape")}));
    QTRY_VERIFY(!alone->isVisible());
    QVERIFY(!s.action("mnuDiagramOnly")->isChecked());
}

QTEST_MAIN(TestLayoutXvfb)
#include "test_layout_xvfb.moc"
