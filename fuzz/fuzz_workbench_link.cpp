// Feeds arbitrary addresses to the reader of the tutorial pages' links, as if
// a page had sent them. A page is not trusted: whatever it sends, the reader
// answers with one load, one check or a reason, and what it lets through is no
// more than a link may ask for: a listed strategy, or legs on the grid's own
// rows with finite quantities and no cell named twice, in one of the two
// diagrams; or a known exercise with a short answer, which is then judged
// without failing. A load, written again in the link form, reads back the same.
//
// Input layout: one parameter byte, then the address.
//   byte 0  the grid's rows: its low five bits, times 313 when bit 7 is set
//           (up to 9703, for grids far beyond the five rows it starts with)
// The address is read as UTF-8, as the browser hands it over.

#include "Printable.h"
#include "workbench/lessons/Exercises.h"
#include "workbench/model/PayoffEvaluation.h"
#include "workbench/model/Strategies.h"
#include "workbench/model/WorkbenchLink.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace {

using fuzzing::printable;

namespace links = workbench::links;
using Kind = links::Leg::Kind;

[[noreturn]] void fail(int line, const char* condition, const QString& link, int rows,
                       const QString& detail) {
    std::fprintf(stderr, "fuzz_workbench_link.cpp:%d: broken: %s\n", line, condition);
    if (!detail.isEmpty()) {
        std::fprintf(stderr, "  %s\n", printable(detail.left(400)).c_str());
    }
    std::fprintf(stderr, "  on %d rows, link (%lld chars): %s\n", rows,
                 static_cast<long long>(link.size()), printable(link.left(600)).c_str());
    std::abort();
}

#define CHECK(condition, detail)                                                                   \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            fail(__LINE__, #condition, address, rows, detail);                                     \
        }                                                                                          \
    } while (false)

QString describe(const links::Leg& leg) {
    const QString kind = leg.kind == Kind::Underlying ? QStringLiteral("underlying")
                         : leg.kind == Kind::Call     ? QStringLiteral("call")
                                                      : QStringLiteral("put");
    return QStringLiteral("%1 row %2 qty %3").arg(kind).arg(leg.row).arg(leg.quantity, 0, 'g', 9);
}

// The shortest decimals (a page writes at most four) that read back as the
// quantity, or nothing when four are not enough.
std::optional<QString> quantityText(float quantity) {
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const QString text = QString::number(double(quantity), 'f', decimals);
        if (text.toFloat() == quantity) {
            return text;
        }
    }
    return std::nullopt;
}

bool sameLoad(const links::Load& a, const links::Load& b) {
    if (a.strategy != b.strategy || a.diagram != b.diagram || a.legs.size() != b.legs.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.legs.size(); ++i) {
        if (a.legs[i].kind != b.legs[i].kind || a.legs[i].row != b.legs[i].row ||
            a.legs[i].quantity != b.legs[i].quantity) {
            return false;
        }
    }
    return true;
}

void checkLink(const QString& address, int rows) {
    const QUrl link(address);
    const links::Reading reading = links::read(link, rows);
    const int answers = int(reading.load.has_value()) + int(reading.check.has_value());
    CHECK(answers <= 1, QString());
    CHECK((answers == 0) == !reading.problem.trimmed().isEmpty(), reading.problem);
    if (answers == 0) {
        return;
    }
    CHECK(link.scheme() == links::scheme, QString());
    const QUrlQuery query(link);

    if (reading.check) {
        const links::Check& check = *reading.check;
        CHECK(link.path() == u"check", link.path());
        // The link reader takes any id of an exercise's form; the window
        // looks it up in the strategy pages' and the lessons' books.
        static const QRegularExpression id(
            QRegularExpression::anchoredPattern(QStringLiteral("[a-z0-9]+(-[a-z0-9]+)*")));
        CHECK(check.exercise.size() <= links::longestExerciseId &&
                  id.match(check.exercise).hasMatch(),
              check.exercise);
        CHECK(check.answer.size() <= workbench::exercises::longestAnswer, check.answer);
        if (const workbench::exercises::Exercise* exercise =
                workbench::exercises::find(check.exercise)) {
            const workbench::exercises::Verdict verdict =
                workbench::exercises::check(*exercise, check.answer);
            CHECK(!verdict.message.isEmpty(), check.answer);
        }
        return;
    }

    const links::Load& load = *reading.load;
    CHECK(link.path() == u"load", link.path());
    const QString diagram = query.queryItemValue(QStringLiteral("diagram"), QUrl::FullyDecoded);
    CHECK((diagram == u"profit" && load.diagram == workbench::payoff::profitDiagram) ||
              (diagram == u"payoff" && load.diagram == workbench::payoff::payoffDiagram),
          diagram);

    // The what-ifs on volatility within the limits the panel's boxes take.
    namespace limits = workbench::beforeexpiry::limits;
    const links::Market& m = load.market;
    CHECK(!m.volatilityShift ||
              (std::abs(*m.volatilityShift * 100 - std::round(*m.volatilityShift * 100)) < 1e-9 &&
               *m.volatilityShift * 100 >= limits::minVolatilityShiftPoints &&
               *m.volatilityShift * 100 <= limits::maxVolatilityShiftPoints),
          QString::number(m.volatilityShift.value_or(0)));
    CHECK(!m.eventDays || (*m.eventDays >= limits::minEventDays &&
                           *m.eventDays <= m.daysToday.value_or(limits::maxDaysToExpiry)),
          QString::number(m.eventDays.value_or(0)));
    CHECK(!m.volatilityAfter || (*m.volatilityAfter >= limits::minVolatilityPercent / 100 &&
                                 *m.volatilityAfter <= limits::maxVolatilityPercent / 100),
          QString::number(m.volatilityAfter.value_or(0)));

    QString again = links::scheme + QStringLiteral(":load?");
    if (!load.strategy.isEmpty()) {
        CHECK(workbench::findStrategy(load.strategy) != nullptr, load.strategy);
        CHECK(load.legs.empty(), describe(load.legs.front()));
        CHECK(!query.hasQueryItem(QStringLiteral("position")), QString());
        again += QStringLiteral("strategy=") + QUrl::toPercentEncoding(load.strategy);
    } else {
        CHECK(!query.hasQueryItem(QStringLiteral("strategy")), QString());
        CHECK(load.legs.size() <= std::size_t(2 * rows + 1), QString::number(load.legs.size()));
        std::set<std::pair<Kind, int>> cells;
        QStringList written;
        for (const links::Leg& leg : load.legs) {
            CHECK(leg.kind == Kind::Underlying ? leg.row == 0 : leg.row >= 1 && leg.row <= rows,
                  describe(leg));
            CHECK(std::isfinite(leg.quantity), describe(leg));
            // The grid holds one quantity in each cell; a cell named twice,
            // however spelt, would leave the student guessing which one the
            // page meant.
            CHECK(cells.insert({leg.kind, leg.row}).second, describe(leg));
            const std::optional<QString> quantity = quantityText(leg.quantity);
            CHECK(quantity.has_value(), describe(leg));
            const QString name = leg.kind == Kind::Underlying ? QStringLiteral("u")
                                 : leg.kind == Kind::Call     ? QStringLiteral("c%1").arg(leg.row)
                                                              : QStringLiteral("p%1").arg(leg.row);
            written << name + u':' + *quantity;
        }
        again += QStringLiteral("position=") + written.join(u',');
    }
    again += QStringLiteral("&diagram=") + diagram;

    const links::Reading reread = links::read(QUrl(again), rows);
    CHECK(reread.load.has_value() && !reread.check.has_value(),
          again + QStringLiteral(" is refused: ") + reread.problem);
    CHECK(sameLoad(*reread.load, load), again);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int rows = (data[0] & 0x1f) * ((data[0] & 0x80) != 0 ? 313 : 1);
    checkLink(QString::fromUtf8(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1)),
              rows);
    return 0;
}
