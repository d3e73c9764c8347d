#pragma once

// What the position file's reader and writer share: its members' names, how
// a percentage is kept, and which version a document is written as.
#include "LegExpiry.h"
#include "PositionColumns.h"
#include "PositionDocument.h"

#include <QString>

#include <array>
#include <cmath>

namespace workbench::document::form {

inline const QString kFormat = QStringLiteral("wqz-position");
inline const std::array<QString, columns::count> kColumnKeys = {
    QStringLiteral("callQty"), QStringLiteral("callPrice"), QStringLiteral("strike"),
    QStringLiteral("putQty"), QStringLiteral("putPrice")};
inline const std::array<QString, 4> kRangeKeys = {QStringLiteral("top"), QStringLiteral("bottom"),
                                                  QStringLiteral("from"), QStringLiteral("to")};

// Percentages are kept to the hundredth, as the panel shows them, so that a
// rate written as a percentage reads back as the very same rate.
inline double hundredths(double percent) {
    return std::round(percent * 100) / 100;
}

// The members of a row that keep its call's and its put's own days.
inline const QString kCallDays = QStringLiteral("callDays");
inline const QString kPutDays = QStringLiteral("putDays");

// Whether some leg of the document has days to expiry of its own.
inline bool legsApart(const Document& d) {
    for (const Row& row : d.rows) {
        if (legexpiry::daysOf(row[columns::CallQty]).days > 0 ||
            legexpiry::daysOf(row[columns::PutQty]).days > 0) {
            return true;
        }
    }
    return false;
}

// The oldest version that holds the document: without legs of their own
// expiries, or a what-if on volatility, a file opens in the programs from
// before them as well.
inline int versionFor(const Document& d) {
    if (legsApart(d)) {
        return 4;
    }
    const bool whatIfs =
        d.beforeExpiry && (d.beforeExpiry->volatilityShift != 0 || d.beforeExpiry->eventDays > 0);
    return whatIfs ? 3 : 2;
}

} // namespace workbench::document::form
