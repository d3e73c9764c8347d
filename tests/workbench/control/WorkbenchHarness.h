#pragma once

#include "fakes/FakeClipboard.h"
#include "fakes/FakePlatform.h"
#include "platform/FlexGrid.h"
#include "platform/PictureBox.h"
#include "platform/SwatchBox.h"
#include "workbench/control/wqzOptionPayoffs.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

// A workbench after its start-up, with fake dialogs, pointer, event pump and
// clipboard, and a numeric-values grid assigned as the main window does.
struct WorkbenchHarness {
    WorkbenchHarness()
        : fake(std::make_unique<fakes::FakePlatform>()),
          bench(std::make_unique<workbench::wqzOptionPayoffs>(clipboard)),
          values(std::make_unique<platform::FlexGrid>()) {
        values->setRows(2);
        values->setCols(2);
        values->setFixedRows(1);
        values->setFixedCols(1);
        bench->setGrddisplay(values.get());
    }

    template <typename W> W* child(const QString& name) const {
        W* w = bench->findChild<W*>(name);
        Q_ASSERT_X(w, "WorkbenchHarness", qPrintable(name));
        return w;
    }
    QLineEdit* box(int i) const { return child<QLineEdit>(QStringLiteral("Text1(%1)").arg(i)); }
    QLineEdit* underlyingBox() const {
        return child<QLineEdit>(QStringLiteral("txtUnderlyingQty"));
    }
    QLabel* lblOption() const { return child<QLabel>(QStringLiteral("lblOption")); }
    platform::PictureBox* pbox() const {
        return child<platform::PictureBox>(QStringLiteral("pbox"));
    }
    platform::FlexGrid* grid() const { return child<platform::FlexGrid>(QStringLiteral("Grid1")); }
    QComboBox* strategies() const { return child<QComboBox>(QStringLiteral("cmbStandard")); }
    QPushButton* button(const QString& name) const { return child<QPushButton>(name); }
    QString cell(int r, int c) const { return grid()->TextMatrix(r, c); }

    // As a student picks an entry of the strategy list.
    void choose(const QString& strategy) {
        QComboBox* list = strategies();
        const int index = list->findText(strategy);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    void chooseProfit() { child<QRadioButton>(QStringLiteral("plotType(1)"))->setChecked(true); }
    QPoint cellCentre(int row, int col) const {
        platform::FlexGrid* g = grid();
        return g->visualRect(g->model()->index(row, col)).center();
    }
    void clickCell(int row, int col, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, modifiers, cellCentre(row, col));
    }
    void doubleClickCell(int row, int col) {
        // A double click as the window system delivers it: a click, then the
        // second press as a double-click.
        clickCell(row, col);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(row, col));
    }
    void type(const QString& keys) { QTest::keyClicks(grid(), keys); }
    // The workbench on screen in the active window, so that clicks give the
    // keyboard focus as they do for a student.
    bool showActive() {
        bench->show();
        QApplication::setActiveWindow(bench.get());
        return QTest::qWaitForWindowActive(bench.get());
    }
    // Keys as the keyboard sends them: to whatever has the focus.
    void typeToFocus(const QString& keys) { QTest::keyClicks(QApplication::focusWidget(), keys); }
    void keyToFocus(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(grid(), k, modifiers);
    }
    platform::Rgb pixel(double x, double y) const {
        const QPointF p = pbox()->toPixels(x, y);
        return pbox()->image().pixel(int(p.x()), int(p.y())) & 0xFFFFFF;
    }

    fakes::FakeClipboard clipboard;
    std::unique_ptr<fakes::FakePlatform> fake;
    std::unique_ptr<workbench::wqzOptionPayoffs> bench;
    std::unique_ptr<platform::FlexGrid> values;
};
