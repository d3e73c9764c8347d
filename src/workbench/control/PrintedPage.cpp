// The printed page: laid out once in tenths of a point, then drawn on any
// device at its own resolution.
#include "PrintedPage.h"

#include "platform/Dialogs.h"
#include "platform/Fonts.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace workbench::printedpage {

namespace {

// The page's own unit: a tenth of a point. Type is given a size in these
// units, as pixels, so that measuring it needs no device and the same page
// lays out alike on paper, in a PDF and in an image.
constexpr double kUnitsPerInch = 720;

// Type sizes in points tried from the largest down, and the diagram's
// height as fractions of the largest it gets.
constexpr double kBodySizes[] = {9, 8.5, 8, 7.5, 7, 6.5, 6};
constexpr double kDiagramShares[] = {1.0, 0.82, 0.68};
// The lines of the analysis kept before rows of the grid are left out.
constexpr qsizetype kLeastAnalysis = 30;

QFont fontOf(double points, bool bold) {
    QFont f = platform::uiFont(8, bold);
    f.setPixelSize(std::max(1, int(std::lround(points * 10))));
    return f;
}

// The text in lines no wider than `width`, broken between words, and inside
// a word only when it is wider than a whole line.
QStringList wrap(const QString& text, const QFontMetricsF& fm, double width) {
    QStringList lines;
    QString line;
    const auto fits = [&](const QString& t) { return fm.horizontalAdvance(t) <= width; };
    for (const QString& word : text.split(u' ')) {
        const QString joined = line.isEmpty() ? word : line + u' ' + word;
        if (fits(joined)) {
            line = joined;
            continue;
        }
        if (!line.isEmpty()) {
            lines << line;
        }
        line = word;
        while (line.size() > 1 && !fits(line)) {
            qsizetype n = line.size() - 1;
            while (n > 1 && !fits(line.left(n))) {
                --n;
            }
            lines << line.left(n);
            line = line.mid(n);
        }
    }
    lines << line;
    return lines;
}

// One way of laying the page out: how large the type and the diagram are,
// which rows of the grid are shown, how many lines of the analysis, and the
// line that says what is left out.
struct Plan {
    double body = 9;
    double diagramHeight = 0;
    QList<int> rows;
    QString rowsNote;
    qsizetype analysisLines = 0;
    QString analysisNote;
};

// Lays the page out by the plan and returns its height; draws it as well
// when given a painter. Measuring alone stops as soon as the page overflows
// `room`, so a plan for thousands of rows costs no more than a page of them.
class Pass {
public:
    Pass(const Sheet& sheet, const Plan& plan, double width, double room, QPainter* painter)
        : sheet_(sheet), plan_(plan), width_(width), room_(room), p_(painter),
          body_(fontOf(plan.body, false)), bold_(fontOf(plan.body, true)), fm_(body_),
          gap_(fm_.height() * 0.7) {}

    double run() {
        lines(sheet_.title, fontOf(plan_.body * 1.6, true));
        lines(sheet_.subtitle, body_);
        y_ += gap_ * 0.5;
        if (p_) {
            p_->save();
            p_->translate(0, y_);
            diagramexport::paint(*p_, QSize(int(width_), int(plan_.diagramHeight)), sheet_.diagram);
            p_->restore();
        }
        y_ += plan_.diagramHeight;
        heading(QStringLiteral("Position"));
        table();
        if (!plan_.rowsNote.isEmpty()) {
            lines(plan_.rowsNote, body_);
        }
        lines(sheet_.underlying, body_);
        if (plan_.analysisLines > 0 || !plan_.analysisNote.isEmpty()) {
            heading(QStringLiteral("Analysis"));
            for (qsizetype i = 0; i < plan_.analysisLines && !over(); ++i) {
                lines(sheet_.analysis[i], body_);
            }
            if (!plan_.analysisNote.isEmpty()) {
                lines(plan_.analysisNote, body_);
            }
        }
        if (!sheet_.beforeExpiry.isEmpty()) {
            heading(QStringLiteral("Before expiry"));
            for (const QString& line : sheet_.beforeExpiry) {
                lines(line, body_);
            }
        }
        return y_;
    }

private:
    bool over() const { return !p_ && y_ > room_; }

    void lines(const QString& text, const QFont& font) {
        const QFontMetricsF fm(font);
        for (const QString& line : wrap(text, fm, width_)) {
            if (p_) {
                p_->setFont(font);
                p_->drawText(QPointF(0, y_ + fm.ascent()), line);
            }
            y_ += fm.height();
        }
    }

    void heading(const QString& text) {
        y_ += gap_;
        lines(text, fontOf(plan_.body * 1.15, true));
    }

    // The grid's columns at their natural widths when they fit across the
    // page; otherwise each a fifth of it, its cells wrapped.
    void table() {
        const double pad = fm_.height() * 0.3;
        const QFontMetricsF boldFm(bold_);
        std::array<double, columns::count> widths{};
        // No more rows than the page has lines for can be on it: the rest
        // need not be measured.
        const QList<int> rows = plan_.rows.mid(0, qsizetype(room_ / fm_.height()) + 1);
        for (int c = 0; c < columns::count; ++c) {
            widths[c] = boldFm.horizontalAdvance(columns::headings[c]);
            for (const int r : rows) {
                widths[c] = std::max(widths[c], boldFm.horizontalAdvance(sheet_.rows[r][c]));
            }
            widths[c] += 4 * pad;
        }
        double total = 0;
        for (const double w : widths) {
            total += w;
        }
        if (total > width_) {
            widths.fill(width_ / columns::count);
            total = width_;
        }
        row(columns::headings, widths, bold_, pad);
        if (p_) {
            p_->setPen(QPen(Qt::black, 3));
            p_->drawLine(QPointF(0, y_), QPointF(total, y_));
        }
        for (const int r : plan_.rows) {
            if (over()) {
                return;
            }
            row(sheet_.rows[r], widths, sheet_.held.value(r) ? bold_ : body_, pad);
        }
        if (p_) {
            p_->setPen(QPen(Qt::black, 3));
            p_->drawLine(QPointF(0, y_), QPointF(total, y_));
        }
        y_ += pad;
    }

    // A row of cells, each centred in its column, as tall as its tallest.
    void row(const document::Row& cells, const std::array<double, columns::count>& widths,
             const QFont& font, double pad) {
        const QFontMetricsF fm(font);
        std::array<QStringList, columns::count> wrapped;
        qsizetype most = 1;
        for (int c = 0; c < columns::count; ++c) {
            wrapped[c] = wrap(cells[c], fm, widths[c] - 2 * pad);
            most = std::max(most, wrapped[c].size());
        }
        if (p_) {
            p_->setFont(font);
            p_->setPen(Qt::black);
            double x = 0;
            for (int c = 0; c < columns::count; ++c) {
                double lineY = y_ + pad;
                for (const QString& text : wrapped[c]) {
                    const double left = x + (widths[c] - fm.horizontalAdvance(text)) / 2;
                    p_->drawText(QPointF(left, lineY + fm.ascent()), text);
                    lineY += fm.height();
                }
                x += widths[c];
            }
        }
        y_ += double(most) * fm.height() + 2 * pad;
    }

    const Sheet& sheet_;
    const Plan& plan_;
    const double width_;
    const double room_;
    QPainter* const p_;
    const QFont body_;
    const QFont bold_;
    const QFontMetricsF fm_;
    const double gap_;
    double y_ = 0;
};

bool fits(const Sheet& sheet, const Plan& plan, QSizeF page) {
    return Pass(sheet, plan, page.width(), page.height(), nullptr).run() <= page.height();
}

// The largest counts `n` from 0 to `most` for which the plan made with it
// fits, or nothing when not even 0 does.
template <typename Make>
std::optional<qsizetype> mostThatFit(qsizetype most, const Make& make, const Sheet& sheet,
                                     QSizeF page) {
    if (!fits(sheet, make(0), page)) {
        return std::nullopt;
    }
    qsizetype low = 0;
    qsizetype high = most;
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (fits(sheet, make(mid), page)) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    return low;
}

Plan planFor(const Sheet& sheet, QSizeF page) {
    QList<int> all;
    QList<int> held;
    for (int r = 0; r < int(sheet.rows.size()); ++r) {
        all << r;
        if (sheet.held.value(r)) {
            held << r;
        }
    }
    const double tallest = std::min(page.width() * 0.62, page.height() * 0.48);
    Plan plan;
    plan.analysisLines = sheet.analysis.size();
    const QString heldNote =
        held.isEmpty()
            ? QStringLiteral("None of the grid's %1 rows holds a call or a put.").arg(all.size())
            : QStringLiteral("Only the rows that hold a call or a put are shown: "
                             "%1 more rows hold none.")
                  .arg(all.size() - held.size());
    for (const bool allRows : {true, false}) {
        if (!allRows && held.size() == all.size()) {
            break;
        }
        plan.rows = allRows ? all : held;
        plan.rowsNote = allRows ? QString() : heldNote;
        for (const double body : kBodySizes) {
            for (const double share : kDiagramShares) {
                plan.body = body;
                plan.diagramHeight = tallest * share;
                if (fits(sheet, plan, page)) {
                    return plan;
                }
            }
        }
    }
    // At the smallest type the rows held and the analysis together do not
    // fit. The analysis gives way first, down to the lines that matter most
    // (the premiums, break-evens and extremes come first), then the rows.
    plan.body = kBodySizes[std::size(kBodySizes) - 1];
    plan.diagramHeight = tallest * kDiagramShares[std::size(kDiagramShares) - 1];
    const auto withAnalysis = [&](const Plan& base, qsizetype n) {
        Plan p = base;
        p.analysisLines = n;
        p.analysisNote = n < sheet.analysis.size()
                             ? QStringLiteral("%1 more lines of the analysis do not fit on the "
                                              "page: Edit > Copy Analysis copies them all.")
                                   .arg(sheet.analysis.size() - n)
                             : QString();
        return p;
    };
    const qsizetype leastAnalysis = std::min<qsizetype>(sheet.analysis.size(), kLeastAnalysis);
    const auto analysisFitting = [&](const Plan& base) {
        return mostThatFit(
            sheet.analysis.size(), [&](qsizetype n) { return withAnalysis(base, n); }, sheet, page);
    };
    for (const bool allRows : {true, false}) {
        plan.rows = allRows ? all : held;
        plan.rowsNote = allRows ? QString() : heldNote;
        if (const auto n = analysisFitting(plan); n && *n >= leastAnalysis) {
            return withAnalysis(plan, *n);
        }
    }
    plan = withAnalysis(plan, leastAnalysis);
    const QList<int>& kept = held.isEmpty() ? all : held;
    const auto withRows = [&](qsizetype n) {
        Plan p = plan;
        p.rows = kept.mid(0, n);
        p.rowsNote = QStringLiteral("%1 of the grid's %2 rows are shown: the rest do not fit "
                                    "on the page.")
                         .arg(n)
                         .arg(all.size());
        return p;
    };
    if (const auto n = mostThatFit(kept.size(), withRows, sheet, page)) {
        return withRows(*n);
    }
    plan = withRows(0);
    return withAnalysis(plan, analysisFitting(plan).value_or(0));
}

} // namespace

void paint(QPainter& painter, const Sheet& sheet) {
    const QPaintDevice* device = painter.device();
    const double sx = device->logicalDpiX() / kUnitsPerInch;
    const double sy = device->logicalDpiY() / kUnitsPerInch;
    const QSizeF page(device->width() / sx, device->height() / sy);
    const Plan plan = planFor(sheet, page);
    painter.save();
    painter.scale(sx, sy);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    Pass(sheet, plan, page.width(), page.height(), &painter).run();
    painter.restore();
}

QByteArray pdf(const Sheet& sheet, const QPageLayout& layout) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        if (!writer.setPageLayout(layout)) {
            return {};
        }
        writer.setResolution(1200);
        writer.setTitle(sheet.title);
        // The program, named as its messages name it.
        writer.setCreator(platform::kMessageTitle);
        QPainter painter;
        if (!painter.begin(&writer)) {
            return {};
        }
        paint(painter, sheet);
        if (!painter.end()) {
            return {};
        }
    }
    return bytes;
}

} // namespace workbench::printedpage
