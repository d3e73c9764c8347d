// Every control of a window as large as its screen, normal and large, on
// the screens a classroom has (a run for each): whole inside the window once
// its view scrolls to it, as Tab scrolls it, never cut sideways by a scroll
// bar, and over no other control. The page and the panels in tabs are each
// brought to the front in turn.
#include "ShellHarness.h"
#include "platform/PictureBox.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QDockWidget>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QTabBar>

namespace {

// The parts of a control (a spin box's line, a table's cells, a tab bar's
// buttons) are the control's.
bool partOfAnother(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p) ||
            qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QTabBar*>(p)) {
            return true;
        }
    }
    return false;
}

bool isControl(const QWidget* w) {
    if (w->objectName().startsWith(u"qt_") || partOfAnother(w)) {
        return false;
    }
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        return !label->text().isEmpty();
    }
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QSlider*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTabBar*>(w) ||
           qobject_cast<const platform::PictureBox*>(w) || w->objectName() == u"Browser1";
}

// The scroll area or dock a control is laid out in: within one, the others
// keep their places as it scrolls.
const QWidget* container(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (qobject_cast<const QScrollArea*>(p) || qobject_cast<const QDockWidget*>(p)) {
            return p;
        }
    }
    return w->window();
}

QRect within(const QWidget* w, const QWidget* ancestor) {
    return {w->mapTo(ancestor, QPoint()), w->size()};
}

// Where a control shows: a label's text, not the box it may leave empty.
QRect shownWithin(const QWidget* w, const QWidget* ancestor) {
    QRect shown = w->rect();
    if (const auto* label = qobject_cast<const QLabel*>(w); label && label->pixmap().isNull()) {
        const int flags = int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
        shown = label->fontMetrics()
                    .boundingRect(label->contentsRect(), flags, label->text())
                    .intersected(label->contentsRect());
    }
    return shown.translated(w->mapTo(ancestor, QPoint()));
}

// A panel or the page behind another's tab, or a tab bar the window keeps
// for later, is not in sight.
bool inSight(const QWidget* w) {
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if ((qobject_cast<const QDockWidget*>(p) || qobject_cast<const QTabBar*>(p)) &&
            p->visibleRegion().isEmpty()) {
            return false;
        }
    }
    return true;
}

// What is wrong with the controls in sight now.
QStringList faults(QWidget* window) {
    QStringList found;
    QList<QWidget*> controls;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isVisible() && isControl(w) && inSight(w)) {
            controls << w;
        }
    }
    const auto name = [](const QWidget* w) {
        return w->objectName().isEmpty()
                   ? QString::fromLatin1(w->metaObject()->className()) + u' ' + w->accessibleName()
                   : w->objectName();
    };
    for (QWidget* w : controls) {
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
            auto* view = qobject_cast<QScrollArea*>(p);
            if (!view) {
                continue;
            }
            // The whole control, where Tab would bring only a table's
            // current cell into sight.
            const QRect whole = within(w, view->widget());
            view->ensureVisible(whole.center().x(), whole.center().y(), whole.width() / 2 + 1,
                                whole.height() / 2 + 1);
            if (view->widget()->width() > view->viewport()->width()) {
                found << name(w) + QStringLiteral(" is cut sideways by ") + name(view);
            }
        }
        for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
            if (!p->rect().contains(within(w, p))) {
                found << name(w) + QStringLiteral(" reaches out of ") + name(p);
                break;
            }
        }
    }
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            QWidget* a = controls[i];
            QWidget* b = controls[j];
            const QWidget* in = container(a);
            if (in != container(b) || a->isAncestorOf(b) || b->isAncestorOf(a)) {
                continue;
            }
            if (shownWithin(a, in).intersects(shownWithin(b, in))) {
                found << name(a) + QStringLiteral(" overlaps ") + name(b);
            }
        }
    }
    return found;
}

} // namespace

class TestControlsInSight : public QObject {
    Q_OBJECT
private slots:
    void every_control_is_whole_and_over_no_other_data();
    void every_control_is_whole_and_over_no_other();
};

void TestControlsInSight::every_control_is_whole_and_over_no_other_data() {
    QTest::addColumn<bool>("large");
    QTest::newRow("normal") << false;
    QTest::newRow("large") << true;
}

void TestControlsInSight::every_control_is_whole_and_over_no_other() {
    QFETCH(bool, large);
    Shell s;
    s.window->Form_Load();
    s.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
    // As large as the screen holds it, as a window manager fits it.
    const QRect screen = s.window->screen()->availableGeometry();
    s.window->resize(screen.size() - (s.window->frameGeometry().size() - s.window->size()));
    s.window->move(screen.topLeft());
    if (large) {
        s.action("mnuOptionsLargeDisplay")->trigger();
    }
    QTest::qWait(200);
    QVERIFY(screen.contains(s.window->frameGeometry()));
    QStringList found;
    for (QDockWidget* dock : s.window->findChildren<QDockWidget*>()) {
        if (!dock->isVisibleTo(s.window.get()) && !dock->toggleViewAction()->isChecked()) {
            continue;
        }
        dock->raise();
        QTest::qWait(50);
        for (const QString& fault : faults(s.window.get())) {
            if (!found.contains(fault)) {
                found << fault;
            }
        }
    }
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u"\n")));
}

QTEST_MAIN(TestControlsInSight)
#include "test_controls_in_sight.moc"
