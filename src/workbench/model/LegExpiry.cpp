#include "LegExpiry.h"

#include "PositionColumns.h"
#include "platform/Numbers.h"

#include <QRegularExpression>

#include <algorithm>

namespace workbench::legexpiry {

namespace {

// The days after the mark: digits, and "d" or "days" after them if at all.
// Whatever the leading-number rule leaves of a quantity, blanks trimmed.
const QRegularExpression& daysPattern() {
    static const QRegularExpression pattern(QStringLiteral("^@\\s*(\\d{1,9})\\s*(d|days?)?$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

template <typename Each> void eachLegHeld(const PositionState& p, Each&& each) {
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (!p.takesPart[std::size_t(r)]) {
            continue;
        }
        if (p.callQty[r] != 0) {
            each(p.callDays[std::size_t(r)]);
        }
        if (p.putQty[r] != 0) {
            each(p.putDays[std::size_t(r)]);
        }
    }
}

} // namespace

CellDays daysOf(QStringView cell) {
    // Every cell of a pasted table is compared: most hold no days at all.
    if (!cell.contains(mark)) {
        return {};
    }
    const QString rest = platform::numbers::unreadRest(cell);
    // The mark alone gives the leg the panel's days again.
    if (!rest.startsWith(mark) || rest == QStringView(&mark, 1)) {
        return {};
    }
    const QRegularExpressionMatch m = daysPattern().match(rest);
    const qlonglong days = m.hasMatch() ? m.captured(1).toLongLong() : 0;
    namespace limits = beforeexpiry::limits;
    if (days < limits::minDaysToExpiry || days > limits::maxDaysToExpiry) {
        return {0, QStringLiteral("Not taken: a leg's days to expiry, after \"@\", take whole "
                                  "days from %1 to %2.")
                       .arg(limits::minDaysToExpiry)
                       .arg(limits::maxDaysToExpiry)};
    }
    return {int(days), QString()};
}

bool wholeQuantity(QStringView cell) {
    const QString rest = platform::numbers::unreadRest(cell);
    return rest.isEmpty() || (rest.startsWith(mark) && daysOf(cell).refusal.isEmpty());
}

QString daysText(int days) {
    return days > 0 ? QStringLiteral("@%1d").arg(days) : QString();
}

QString quantityText(float quantity, int days) {
    const QString q = platform::numbers::format(quantity, columns::quantityFormat);
    return days > 0 ? q + u' ' + daysText(days) : q;
}

int firstExpiry(const PositionState& p, int panelDays) {
    int first = 0;
    eachLegHeld(p, [&](int own) {
        const int days = own > 0 ? own : panelDays;
        first = first == 0 ? days : std::min(first, days);
    });
    return first == 0 ? panelDays : first;
}

std::vector<float> expiringStrikes(const PositionState& p, int panelDays) {
    const int first = firstExpiry(p, panelDays);
    std::vector<float> strikes;
    for (int r = 1; r <= p.rowCount(); ++r) {
        const bool call = p.callQty[r] != 0 && callDays(p, r, panelDays) == first;
        const bool put = p.putQty[r] != 0 && putDays(p, r, panelDays) == first;
        if (p.takesPart[std::size_t(r)] && p.strike[r] > 0 && (call || put)) {
            strikes.push_back(p.strike[r]);
        }
    }
    std::sort(strikes.begin(), strikes.end());
    strikes.erase(std::unique(strikes.begin(), strikes.end()), strikes.end());
    return strikes;
}

bool staggered(const PositionState& p, int panelDays) {
    int first = 0;
    bool apart = false;
    eachLegHeld(p, [&](int own) {
        const int days = own > 0 ? own : panelDays;
        apart = apart || (first != 0 && days != first);
        first = first == 0 ? days : first;
    });
    return apart;
}

bool resolves(const PositionState& p, int panelDays) {
    return firstExpiry(p, panelDays) != panelDays || staggered(p, panelDays);
}

void resolve(PositionState& p, beforeexpiry::Inputs& in) {
    if (!resolves(p, in.daysToday)) {
        return;
    }
    const int first = firstExpiry(p, in.daysToday);
    for (std::size_t r = 1; r < p.callDays.size(); ++r) {
        for (std::vector<int>* days : {&p.callDays, &p.putDays}) {
            int& d = (*days)[r];
            d = d > 0 ? d : in.daysToday;
        }
    }
    in.daysToday = first;
    in.daysLeft = std::min(in.daysLeft, first);
    for (int& d : in.moreDaysLeft) {
        d = std::min(d, first);
    }
}

} // namespace workbench::legexpiry
