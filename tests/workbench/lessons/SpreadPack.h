#pragma once

#include "workbench/lessons/Packs.h"

#include <QString>

// The situation the packs' tests ask about: a bull call spread 45/50 on rows
// of its own with 15 of its 30 days left, as Copy Link writes a position.
namespace spreadpack {

inline const QString link = QStringLiteral(
    "wqz-workbench:load?rows=45:6.2:0.85;50:2.7:2.3;55:0.9:5.4&position=c1:1,c2:-1"
    "&diagram=profit&price=50&days=30&rate=5&dividend=0&exercise=european&volatility=30"
    "&daysLeft=15&dates=none&range=35:65:-6:6");

// A question on it, asked at `price`, with today's price drawn from 45 to 55.
inline workbench::packs::Question question(const QString& id, workbench::lessons::Asks asks,
                                           double price = 52, double tolerance = 0.01) {
    workbench::packs::Question q;
    q.id = id;
    q.situation = link;
    q.asks = asks;
    q.price = price;
    q.tolerance = tolerance;
    q.vary[std::size_t(workbench::packs::Varied::Price)] = workbench::packs::Range{45, 55};
    return q;
}

} // namespace spreadpack
