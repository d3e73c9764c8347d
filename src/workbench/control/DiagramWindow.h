#pragma once

#include <QWidget>

namespace workbench {

class wqzOptionPayoffs;

// The diagram alone, in a window of its own and as big as that window: the
// same drawing the exports make (every curve since the last clear, the
// dashed and greek curves, the shading, marks and legend), in the screen's
// colours, with the analysis of the last plot beneath it in type that grows
// with the window, to be read from the back of a room. It follows every
// change of the last plot; Esc or F11 closes it.
class DiagramWindow : public QWidget {
    Q_OBJECT
public:
    explicit DiagramWindow(const wqzOptionPayoffs& bench, QWidget* parent = nullptr);

    // The part of the window the diagram takes; the analysis has the rest.
    QSize diagramSize() const;

signals:
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The analysis's type at the window's size.
    QFont analysisType() const;
    int analysisHeight() const;

    const wqzOptionPayoffs& bench_;
};

} // namespace workbench
