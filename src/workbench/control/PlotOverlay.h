#pragma once

#include <QEvent>
#include <QWidget>

namespace workbench {

// A layer over the plot area: it covers the area whatever its size and lets
// the mouse through, and what it paints never enters the area's kept and
// copied picture. What is drawn on it is for the eye only.
class PlotOverlay : public QWidget {
public:
    PlotOverlay(QWidget* plotArea, const QString& name) : QWidget(plotArea) {
        setObjectName(name);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(plotArea->rect());
        plotArea->installEventFilter(this);
        hide();
    }

protected:
    // Shows the layer, on top of the others, over the whole area.
    void showOver() {
        setGeometry(parentWidget()->rect());
        show();
        raise();
        update();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parentWidget() && event->type() == QEvent::Resize) {
            setGeometry(parentWidget()->rect());
        }
        return QWidget::eventFilter(watched, event);
    }
};

} // namespace workbench
