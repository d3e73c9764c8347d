#include "platform/PictureBox.h"

#include <QApplication>
#include <QTest>

namespace {
constexpr platform::Rgb yellow = 0xFFFF00;
constexpr platform::Rgb white = 0xFFFFFF;

platform::Rgb pixelAt(const platform::PictureBox& box, QPointF p) {
    return box.image().pixel(int(p.x()), int(p.y())) & 0xFFFFFF;
}
} // namespace

class TestPictureBox : public QObject {
    Q_OBJECT
private slots:
    void a_line_lands_where_the_coordinate_system_puts_it();
    void the_picture_survives_repaints_and_hiding();
    void clear_erases_every_line();
    void resizing_redraws_the_lines_at_the_new_size();
    void a_degenerate_axis_puts_its_value_in_the_middle_data();
    void a_degenerate_axis_puts_its_value_in_the_middle();
    void huge_and_outside_coordinates_are_clipped();
    void ctrl_c_is_typed_as_character_3();
};

void TestPictureBox::a_line_lands_where_the_coordinate_system_puts_it() {
    platform::PictureBox box;
    box.resize(292, 188);
    box.setBackColor(white);
    box.setScale(1, 50, 100, -50);
    box.setDrawWidth(2);
    box.line(1, 0, 100, 0, yellow);
    // y = 0 is half-way down, whatever the x.
    const QPointF mid = box.toPixels(50, 0);
    QCOMPARE(mid.y(), 94.0);
    QCOMPARE(pixelAt(box, mid), yellow);
    QCOMPARE(pixelAt(box, box.toPixels(50, 25)), white);
    // A point a quarter down the range.
    box.line(1, 25, 100, 25, 0x0000FF);
    QCOMPARE(box.toPixels(1, 25).y(), 47.0);
    QCOMPARE(pixelAt(box, box.toPixels(70, 25)), platform::Rgb(0x0000FF));
}

void TestPictureBox::the_picture_survives_repaints_and_hiding() {
    platform::PictureBox box;
    box.resize(200, 100);
    box.setScale(0, 10, 10, 0);
    box.setDrawWidth(2);
    box.line(0, 5, 10, 5, yellow);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.repaint();
    box.hide();
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QImage shown = box.grab().toImage();
    QCOMPARE(shown.pixel(100, 50) & 0xFFFFFF, yellow);
    QCOMPARE(pixelAt(box, {100, 50}), yellow);
}

void TestPictureBox::clear_erases_every_line() {
    platform::PictureBox box;
    box.resize(100, 100);
    box.setBackColor(white);
    box.setScale(0, 1, 1, 0);
    box.line(0, 0.5, 1, 0.5, yellow);
    box.clear();
    QCOMPARE(pixelAt(box, {50, 50}), white);
    box.resize(120, 120); // nothing comes back on a redraw
    QCOMPARE(pixelAt(box, {60, 60}), white);
}

void TestPictureBox::resizing_redraws_the_lines_at_the_new_size() {
    platform::PictureBox box;
    box.resize(100, 100);
    box.setBackColor(white);
    box.setScale(0, 1, 1, 0);
    box.setDrawWidth(2);
    box.line(0, 0.25, 1, 0.25, yellow); // three quarters down
    box.resize(150, 140);
    QCOMPARE(box.image().size(), QSize(150, 140));
    QCOMPARE(pixelAt(box, {75, 105}), yellow);
    QCOMPARE(pixelAt(box, {75, 75}), white);
    // Back to the old size: the same picture as before.
    box.resize(100, 100);
    QCOMPARE(pixelAt(box, {50, 75}), yellow);
}

void TestPictureBox::a_degenerate_axis_puts_its_value_in_the_middle_data() {
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("on the value") << 0.0 << true;
    QTest::newRow("above") << 1.0 << false;
    QTest::newRow("below") << -1.0 << false;
}

void TestPictureBox::a_degenerate_axis_puts_its_value_in_the_middle() {
    QFETCH(double, y);
    QFETCH(bool, drawn);
    platform::PictureBox box;
    box.resize(100, 100);
    box.setBackColor(white);
    box.setScale(1, 0, 100, 0); // top and bottom both 0
    box.setDrawWidth(2);
    box.line(1, y, 100, y, yellow);
    QCOMPARE(pixelAt(box, {50, 50}) == yellow, drawn);
}

void TestPictureBox::huge_and_outside_coordinates_are_clipped() {
    platform::PictureBox box;
    box.resize(100, 100);
    box.setBackColor(white);
    box.setScale(0, 1, 1, 0);
    box.setDrawWidth(2);
    box.line(-3e38, 0.5, 3e38, 0.5, yellow);
    QCOMPARE(pixelAt(box, {1, 50}), yellow);
    QCOMPARE(pixelAt(box, {98, 50}), yellow);
    box.line(2, 2, 3, 3, 0x0000FF); // entirely outside
    box.line(0.5, -1e38, 0.5, 1e38, 0x00FF00);
    QCOMPARE(pixelAt(box, {50, 10}), platform::Rgb(0x00FF00));
}

void TestPictureBox::ctrl_c_is_typed_as_character_3() {
    platform::PictureBox box;
    QList<int> typed;
    connect(&box, &platform::PictureBox::KeyPress, [&](int k) { typed.append(k); });
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_A);
    QCOMPARE(typed, (QList<int>{3, 'a'}));
}

QTEST_MAIN(TestPictureBox)
#include "test_picturebox.moc"
