#include "display/wqzSetDisplay.h"
#include "platform/Fonts.h"
#include "platform/LineControl.h"
#include "platform/RunTimeError.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

// A container of the workbench's design size with a few controls.
struct Container {
    Container() {
        auto add = [&](platform::twips::Rect r) {
            auto* w = new QPushButton(&parent);
            w->setFont(platform::uiFont(6, true));
            platform::twips::setGeometry(w, r);
            controls.push_back(w);
        };
        add({240, 840, 885, 285});
        add({650, 0, 4375, 2820});
        add({30, 4200, 5025, 1605});
        line = new platform::LineControl(&parent);
        line->setEndPoints(0, 3180, 5040, 3180);
        line->setFont(platform::uiFont(6, true));
        controls.push_back(line);
        for (QObject* c : controls) {
            saved.push_back(c == line ? platform::twips::Rect{0, 3180, 5040, 3180}
                                      : platform::twips::geometry(static_cast<QWidget*>(c)));
        }
    }
    void registerAll(display::wqzSetDisplay& d) {
        const std::int16_t n = std::int16_t(controls.size());
        d.Initialize(5130, 5985, n);
        for (std::int16_t i = 0; i < n; ++i) {
            d.SetUpDisplay(i, controls[std::size_t(i)]);
        }
    }
    platform::twips::Rect now(std::size_t i) const {
        if (controls[i] == line) {
            return {line->X1(), line->Y1(), line->X2(), line->Y2()};
        }
        return platform::twips::geometry(static_cast<QWidget*>(controls[i]));
    }

    QWidget parent;
    std::vector<QObject*> controls;
    std::vector<platform::twips::Rect> saved;
    platform::LineControl* line = nullptr;
};

} // namespace

class TestSetDisplay : public QObject {
    Q_OBJECT
private slots:
    void the_large_presentation_follows_the_worked_numbers();
    void enlarging_twice_is_enlarging_once();
    void normal_after_large_restores_every_geometry_exactly();
    void reduce_sets_8_point_regular_without_a_previous_enlarge();
    void a_line_moves_its_end_points_and_keeps_its_font();
    void no_controls_still_returns_the_sizes();
    void a_height_of_400_makes_vertical_moves_impossible_and_they_are_skipped();
    void a_negative_count_fails();
    void an_unregistered_slot_is_skipped();
};

void TestSetDisplay::the_large_presentation_follows_the_worked_numbers() {
    Container c;
    display::wqzSetDisplay d;
    c.registerAll(d);
    std::int32_t w = 0, h = 0;
    d.EnlargeFont(w, h);
    QCOMPARE(w, 7695);
    QCOMPARE(h, 8379);
    const platform::twips::Rect r = c.now(0);
    QCOMPARE(r.top, 1200);   // 840 / (5585 / 7979)
    QCOMPARE(r.left, 359);   // 240 / single(2/3), a hair above two thirds
    QCOMPARE(r.width, 1327); // 885 / single(2/3)
    QCOMPARE(r.height, 407); // 285 / (5585 / 7979), floored
    auto* button = static_cast<QWidget*>(c.controls[0]);
    QCOMPARE(button->font().pointSize(), 12);
    QVERIFY(button->font().bold());
    QCOMPARE(button->font().family(), platform::uiFont(6).family());
}

void TestSetDisplay::enlarging_twice_is_enlarging_once() {
    Container c;
    display::wqzSetDisplay d;
    c.registerAll(d);
    std::int32_t w = 0, h = 0;
    d.EnlargeFont(w, h);
    std::vector<platform::twips::Rect> once;
    for (std::size_t i = 0; i < c.controls.size(); ++i) {
        once.push_back(c.now(i));
    }
    d.EnlargeFont(w, h);
    for (std::size_t i = 0; i < c.controls.size(); ++i) {
        QCOMPARE(c.now(i), once[i]);
    }
}

void TestSetDisplay::normal_after_large_restores_every_geometry_exactly() {
    Container c;
    display::wqzSetDisplay d;
    c.registerAll(d);
    std::int32_t w = 0, h = 0;
    d.EnlargeFont(w, h);
    d.ReduceFont(w, h);
    QCOMPARE(w, 5130);
    QCOMPARE(h, 5985);
    for (std::size_t i = 0; i < c.controls.size(); ++i) {
        QCOMPARE(c.now(i), c.saved[i]);
    }
}

void TestSetDisplay::reduce_sets_8_point_regular_without_a_previous_enlarge() {
    Container c;
    display::wqzSetDisplay d;
    c.registerAll(d);
    std::int32_t w = 1, h = 1;
    d.ReduceFont(w, h);
    auto* button = static_cast<QWidget*>(c.controls[0]);
    QCOMPARE(button->font().pointSize(), 8);
    QVERIFY(!button->font().bold());
    QCOMPARE(button->font().family(), platform::uiFont(6).family());
    QCOMPARE(c.now(0), c.saved[0]);
}

void TestSetDisplay::a_line_moves_its_end_points_and_keeps_its_font() {
    Container c;
    display::wqzSetDisplay d;
    c.registerAll(d);
    std::int32_t w = 0, h = 0;
    d.EnlargeFont(w, h);
    QCOMPARE(c.line->Y1(), 4543); // 3180 / (5585 / 7979)
    QCOMPARE(c.line->X2(), 7559); // 5040 / single(2/3)
    QCOMPARE(c.line->font().pointSize(), 6);
    d.ReduceFont(w, h);
    QCOMPARE(c.line->Y1(), 3180);
    QCOMPARE(c.line->X2(), 5040);
    QCOMPARE(c.line->font().pointSize(), 6);
    QVERIFY(c.line->font().bold());
}

void TestSetDisplay::no_controls_still_returns_the_sizes() {
    display::wqzSetDisplay d;
    d.Initialize(5130, 5985, 0);
    std::int32_t w = 0, h = 0;
    d.EnlargeFont(w, h);
    QCOMPARE(w, 7695);
    QCOMPARE(h, 8379);
    d.ReduceFont(w, h);
    QCOMPARE(w, 5130);
    QCOMPARE(h, 5985);
}

void TestSetDisplay::a_height_of_400_makes_vertical_moves_impossible_and_they_are_skipped() {
    // 286 x 1.4 rounds to 400: the vertical ratio cannot be computed.
    QWidget parent;
    auto* w = new QLabel(&parent);
    platform::twips::setGeometry(w, {300, 100, 600, 90});
    display::wqzSetDisplay d;
    d.Initialize(900, 286, 1);
    d.SetUpDisplay(0, w);
    std::int32_t xw = 0, xh = 0;
    d.EnlargeFont(xw, xh);
    QCOMPARE(xh, 400);
    const platform::twips::Rect r = platform::twips::geometry(w);
    QCOMPARE(r.top, 100);
    QCOMPARE(r.height, 90);
    QCOMPARE(r.left, 449); // horizontal moves still happen
    QCOMPARE(w->font().pointSize(), 12);
}

void TestSetDisplay::a_negative_count_fails() {
    display::wqzSetDisplay d;
    try {
        d.Initialize(100, 100, -1);
        QFAIL("no failure");
    } catch (const platform::RunTimeError& e) {
        QCOMPARE(e.code(), 9);
    }
}

void TestSetDisplay::an_unregistered_slot_is_skipped() {
    Container c;
    display::wqzSetDisplay d;
    d.Initialize(5130, 5985, 3);
    d.SetUpDisplay(0, c.controls[0]);
    d.SetUpDisplay(2, new QObject(&c.parent)); // no geometry, no font
    d.SetUpDisplay(7, c.controls[1]);          // outside the arrays
    std::int32_t w = 0, h = 0;
    d.EnlargeFont(w, h);
    QCOMPARE(c.now(0).top, 1200);
    QCOMPARE(c.now(1), c.saved[1]);
    d.ReduceFont(w, h);
    QCOMPARE(c.now(0), c.saved[0]);
}

QTEST_MAIN(TestSetDisplay)
#include "test_set_display.moc"
