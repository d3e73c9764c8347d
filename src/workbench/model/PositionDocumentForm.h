#pragma once

// What the position file's reader and writer share: its members' names, how
// a percentage is kept, and which version a document is written as.
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

// The oldest version that holds the document: without a what-if on
// volatility a file opens in the programs from before them as well.
inline int versionFor(const Document& d) {
    const bool whatIfs =
        d.beforeExpiry && (d.beforeExpiry->volatilityShift != 0 || d.beforeExpiry->eventDays > 0);
    return whatIfs ? formatVersion : 2;
}

} // namespace workbench::document::form
