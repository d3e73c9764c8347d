// The swatch as a screen reader sees it: one of a set of colours, the chosen
// one checked, chosen by its action as by a click. Without this the toolkit
// calls it a bare frame, which screen readers take for a window.
#include "SwatchBox.h"

#include <QAccessibleWidget>

namespace platform {

namespace {

class SwatchAccessible : public QAccessibleWidget {
public:
    explicit SwatchAccessible(SwatchBox* box) : QAccessibleWidget(box, QAccessible::RadioButton) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = swatch()->hasBorder();
        return state;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == pressAction()) {
            emit swatch()->Click();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    SwatchBox* swatch() const { return static_cast<SwatchBox*>(widget()); }
};

QAccessibleInterface* swatchAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(SwatchBox::staticMetaObject.className()) &&
        object->isWidgetType()) {
        return new SwatchAccessible(static_cast<SwatchBox*>(object));
    }
    return nullptr;
}

} // namespace

void SwatchBox::describeToScreenReaders() {
    static const bool installed = [] {
        QAccessible::installFactory(swatchAccessible);
        return true;
    }();
    (void)installed;
}

void SwatchBox::announceChosen() {
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

} // namespace platform
