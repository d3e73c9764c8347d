#pragma once

#include "PlotOverlay.h"

#include "platform/Palette.h"

#include <QList>
#include <QMargins>
#include <QString>

#include <functional>
#include <utility>

namespace workbench {

// The curves drawn since the plot area was last cleared, each with its colour
// and what it shows, in the plot area's top right corner. Like the pointer's
// read-out it lies over the area as a widget of its own and lets the mouse
// through, so the kept and copied picture is the curves alone.
class CurveLegend : public PlotOverlay {
public:
    struct Entry {
        platform::Rgb color;
        QString text;
    };

    // Beyond this many the oldest curves are summed up in one line, so the
    // legend never hides the diagram.
    static constexpr int shownEntries = 6;

    explicit CurveLegend(QWidget* plotArea);

    void add(platform::Rgb color, const QString& text);
    // The last curve valued before expiry at each date shown, listed below
    // the curves with a dashed sample of each line as the plot area draws
    // it; the i-th of `entries` is highlighted when it is `highlighted`. They
    // go with clear() too.
    void setBeforeExpiry(const QList<Entry>& entries, int highlighted);
    void clear();
    // The newest entry goes, as its curve does.
    void removeLast();
    // How far in from the area's top and right edges the legend keeps, asked
    // at every paint: the greek curve's axis stands there.
    void setInsets(std::function<QMargins()> insets) { insets_ = std::move(insets); }
    const QList<Entry>& entries() const { return entries_; }
    const QList<Entry>& beforeExpiry() const { return beforeExpiry_; }
    int highlighted() const { return highlighted_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<Entry> entries_;
    QList<Entry> beforeExpiry_;
    int highlighted_ = -1;
    std::function<QMargins()> insets_;
};

} // namespace workbench
