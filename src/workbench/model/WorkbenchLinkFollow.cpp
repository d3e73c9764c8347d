// What following a link's load does to the market, as the workbench and the
// lessons' judge both take it.
#include "WorkbenchLink.h"

#include <algorithm>

namespace workbench::links {

void applyPrice(const Market& market, PositionState& position) {
    // A page's numbers are worked out from the starting market: a price or
    // a cost an earlier page set must not carry over into this one's.
    position.underlyingPrice = market.price.value_or(startingPrice);
    position.costPerOption = market.costPerOption.value_or(0);
    position.costPerUnit = market.costPerUnit.value_or(0);
}

const Leg* holdLegs(const std::vector<Leg>& legs, PositionState& position) {
    const Leg* first = nullptr;
    for (const Leg& leg : legs) {
        if (leg.kind == Leg::Kind::Underlying) {
            position.underlyingQty = leg.quantity;
        } else if (leg.row >= 1 && leg.row <= position.rowCount()) {
            (leg.kind == Leg::Kind::Call ? position.callQty : position.putQty)[leg.row] =
                leg.quantity;
            first = first ? first : &leg;
        }
    }
    return first;
}

beforeexpiry::Inputs inputsAfter(const Market& market, beforeexpiry::Inputs in) {
    in.daysToday = market.daysToday.value_or(in.daysToday);
    in.daysLeft = std::min(market.daysLeft.value_or(in.daysLeft), in.daysToday);
    in.moreDaysLeft = market.moreDaysLeft.value_or(in.moreDaysLeft);
    // A date beyond the days to expiry in force has passed already.
    std::erase_if(in.moreDaysLeft, [&](int d) { return d > in.daysToday; });
    in.rate = market.rate.value_or(in.rate);
    in.dividendYield = market.dividendYield.value_or(in.dividendYield);
    in.american = market.american.value_or(in.american);
    // A link that names a volatility also says whether it is implied.
    in.volatility = market.volatility.value_or(in.volatility);
    in.implied = market.implied.value_or(in.implied);
    // What-ifs are the link's own: none named is none.
    const beforeexpiry::Inputs plain;
    in.volatilityShift = market.volatilityShift.value_or(plain.volatilityShift);
    in.eventDays = std::min(market.eventDays.value_or(plain.eventDays), in.daysToday);
    in.volatilityAfter = market.volatilityAfter.value_or(plain.volatilityAfter);
    return in;
}

} // namespace workbench::links
