#pragma once

#include "platform/Numbers.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cmath>

// The position grid's layout: its columns left to right, their headings in
// row 0, and how the numbers the program writes into it look.
namespace workbench::columns {

enum PositionColumn : int {
    CallQty = 0,
    CallPrice = 1,
    Strike = 2,
    PutQty = 3,
    PutPrice = 4,
};
inline constexpr int count = 5;

// What the grid holds, however it is filled (typing, paste, a link, a file):
// the most rows of options, and the longest text of a cell or a box, which
// holds a number as typed. A position file keeps no more than this.
inline constexpr int mostRows = 5000;
inline constexpr qsizetype longestText = 64;

inline const std::array<QString, count> headings = {
    QStringLiteral("Call Qty"), QStringLiteral("Call Price"), QStringLiteral("Strike"),
    QStringLiteral("Put Qty"), QStringLiteral("Put Price")};

// Quantities as a read or an inversion writes them back, in the grid and in
// the underlying's box.
inline constexpr QStringView quantityFormat = u"####0.00";
// Premiums as the grid starts with them and a read writes them back.
inline constexpr QStringView premiumFormat = u"####0.00";

// A strike as the grid starts with it and a read writes it back: a whole
// strike without decimals, any other with two.
inline QString strikeText(float strike) {
    const bool whole = std::trunc(double(strike)) == double(strike);
    return platform::numbers::format(strike, whole ? u"#####0" : u"####0.00");
}

} // namespace workbench::columns
