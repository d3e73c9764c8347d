#pragma once

#include "ExpiryInputs.h"
#include "PositionColumns.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// A position kept in a file: what the workbench shows, as text, so that a
// position opened again looks exactly as it did when saved.
//
// The file is JSON (UTF-8):
//   {
//     "format": "wqz-position", "version": 2,
//     "rows": [ {"callQty": "0", "callPrice": "16.00", "strike": "40",
//                "putQty": "0", "putPrice": "0.50"}, ... ],
//     "underlyingQty": "0",
//     "underlyingPrice": "63.20", "costPerOption": "0.65", "costPerUnit": "0.01",
//     "range": {"top": "54", "bottom": "-5", "from": "1", "to": "100"},
//     "diagram": "payoff" | "profit",
//     "curveColor": "#ffff00",
//     "beforeExpiry": {"daysToExpiry": 30, "daysLeft": 0, "ratePercent": 5,
//                      "volatility": "implied" | "single", "volatilityPercent": 30,
//                      "dividendPercent": 1.5, "exercise": "european" | "american"}
//   }
// Every member is required except "beforeExpiry". Today's price is a number
// above 0 and the costs numbers of 0 or above, each a text as its box shows
// it. Percentages are kept to the hundredth.
// Version 1 had no price, costs, "dividendPercent" or "exercise": such a file
// reads as the price the workbench starts with, no costs, no dividend and
// European exercise, and none of those members is looked for in it. Versions
// 1 and 2 had no "volatilityShiftPoints", "eventDays" or
// "volatilityAfterPercent": such a file reads with no shift and no event.
// Version 4 adds, on a row whose call or put has days to expiry of its own,
// "callDays" or "putDays": whole days within the panel's limits, kept apart
// from the quantity the grid writes them after ("1.00 @60d"). A later
// version of the program raises "version" when it writes something this one
// cannot read.
namespace workbench::document {

inline constexpr int formatVersion = 4;
// A larger file is not one of ours. It is room for whatever the grid can hold
// as the writer writes it: at most columns::mostRows rows of five cells of
// columns::longestText characters, each character at worst six bytes (a
// control character's escape), indented, take under 11 MB; a file of ordinary
// numbers takes a few hundred KB. The writer refuses to write a larger one.
inline constexpr qint64 largestFile = 12 * 1024 * 1024;
// The limit as messages give it.
inline QString largestFileInWords() {
    return QStringLiteral("%1 MB").arg(largestFile / (1024 * 1024));
}

using Row = std::array<QString, columns::count>;

struct Document {
    QList<Row> rows;
    QString underlyingQty;
    // Today's price and the trading costs as their boxes show them; a file
    // of version 1 reads as the price the workbench starts with and no costs.
    QString underlyingPrice = QStringLiteral("50");
    QString costPerOption = QStringLiteral("0");
    QString costPerUnit = QStringLiteral("0");
    // The range boxes: the value axis's top and bottom, the prices from and to.
    std::array<QString, 4> range;
    bool profit = false;
    quint32 curveColor = 0; // 0xRRGGBB
    std::optional<beforeexpiry::Inputs> beforeExpiry;
    bool operator==(const Document&) const = default;
};

QByteArray toJson(const Document& document);

// The document in `bytes`, or why there is none, in words for the student.
// Everything is checked before anything is returned: each cell and box holds
// at most columns::longestText characters and a number that fits the
// workbench's numbers (row and field named when not), at most
// columns::mostRows rows, a price above 0 and costs of 0 or above, whole day
// counts, and the inputs before expiry within beforeexpiry::limits.
struct Reading {
    std::optional<Document> document;
    QString problem;
};
Reading fromJson(const QByteArray& bytes);

// The file for a document, or why it cannot be written, in words for the
// student: the same checks as reading, and the file's size. What is written
// reads back as the same document.
struct Writing {
    QByteArray bytes;
    QString problem;
};
Writing write(const Document& document);

} // namespace workbench::document
