#pragma once

// A leg's own expiry: the days to expiry of one call or one put of a row,
// where it differs from the days to expiry the panel gives every other
// option. The grid keeps it after the quantity it belongs to ("-1.00 @60d":
// minus one, expiring in 60 days), so that the leg and its expiry travel
// together through typing, undo, a copy of cells, files and print, and the
// grid keeps the five columns a quote table fills.
#include "ExpiryInputs.h"
#include "PositionState.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace workbench::legexpiry {

// What follows a quantity to give its leg's days: "@60d", "@ 60", "@60 days";
// the mark alone gives the leg the panel's days again, and no quantity before
// it is 0, as every cell reads.
inline constexpr char16_t mark = u'@';

// A quantity cell read for its leg's days: none (the panel's days), whole
// days within the panel's limits, or a refusal in words when the cell names
// days it cannot take.
struct CellDays {
    int days = 0; // 0: the panel's days to expiry
    QString refusal;
};
CellDays daysOf(QStringView cell);

// Whether the text is wholly a quantity (or none) and its days as daysOf
// takes them: nothing of it is left unread.
bool wholeQuantity(QStringView cell);

// A quantity as the grid writes it, with the leg's days after it when the
// leg has its own.
QString quantityText(float quantity, int days);
// The days after a quantity: "@60d", or empty for none.
QString daysText(int days);

// The days to expiry of row r's call or put: its own, or the panel's.
inline int callDays(const PositionState& p, int r, int panelDays) {
    return p.callDays[std::size_t(r)] > 0 ? p.callDays[std::size_t(r)] : panelDays;
}
inline int putDays(const PositionState& p, int r, int panelDays) {
    return p.putDays[std::size_t(r)] > 0 ? p.putDays[std::size_t(r)] : panelDays;
}

// The first expiry among the legs held (rows taking part, quantity not 0):
// the days to it from today, or the panel's days when none is held.
int firstExpiry(const PositionState& position, int panelDays);

// The strikes of the legs held that expire at the first expiry, ascending,
// each once: where the value then bends.
std::vector<float> expiringStrikes(const PositionState& position, int panelDays);

// Whether the legs held expire on different days: a calendar or a diagonal,
// whose curve at the first expiry values the legs that live on.
bool staggered(const PositionState& position, int panelDays);

// Whether resolve would change anything: some leg held has days of its own
// other than the panel's.
bool resolves(const PositionState& position, int panelDays);

// The position and inputs as they are valued: every leg's days written out
// and the days to expiry today those to the first expiry, so that the days
// left, the dates, the event and the law all count to it. Unchanged where
// no leg has days of its own other than the panel's.
void resolve(PositionState& position, beforeexpiry::Inputs& inputs);

} // namespace workbench::legexpiry
