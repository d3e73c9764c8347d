#pragma once

#include "PositionColumns.h"
#include "ExpiryInputs.h"

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
//     "format": "wqz-position", "version": 1,
//     "rows": [ {"callQty": "0", "callPrice": "16.00", "strike": "40",
//                "putQty": "0", "putPrice": "0.50"}, ... ],
//     "underlyingQty": "0",
//     "range": {"top": "54", "bottom": "-5", "from": "1", "to": "100"},
//     "diagram": "payoff" | "profit",
//     "curveColor": "#ffff00",
//     "beforeExpiry": {"daysToExpiry": 30, "daysLeft": 0, "ratePercent": 5,
//                      "volatility": "implied" | "single", "volatilityPercent": 30}
//   }
// Every member is required except "beforeExpiry". A later version of the
// program raises "version" when it writes something this one cannot read.
namespace workbench::document {

inline constexpr int formatVersion = 1;
// More than any position the grid can sensibly hold; a larger file is not one
// of ours.
inline constexpr qint64 largestFile = 1024 * 1024;

using Row = std::array<QString, columns::count>;

struct Document {
    QList<Row> rows;
    QString underlyingQty;
    // The range boxes: the value axis's top and bottom, the prices from and to.
    std::array<QString, 4> range;
    bool profit = false;
    quint32 curveColor = 0; // 0xRRGGBB
    std::optional<beforeexpiry::Inputs> beforeExpiry;
    bool operator==(const Document&) const = default;
};

QByteArray toJson(const Document& document);

// The document in `bytes`, or why there is none, in words for the student.
struct Reading {
    std::optional<Document> document;
    QString problem;
};
Reading fromJson(const QByteArray& bytes);

} // namespace workbench::document
