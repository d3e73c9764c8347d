#pragma once

#include "workbench/model/PositionDocument.h"

#include <QList>
#include <QString>

#include <array>

namespace workbench {

// The position as the workbench's grid and boxes show it, with the range it
// is drawn in: what one step of undo gives back.
struct ShownPosition {
    QList<document::Row> rows;
    QString underlyingQty;
    std::array<QString, 4> range;
    // Today's price and the costs in force, as their boxes write them.
    std::array<QString, 3> market;
    // The same quantities, quotes and strikes, however their numbers are
    // written ("1" and "1.00").
    bool samePosition(const ShownPosition& other) const;
    bool operator==(const ShownPosition&) const = default;
};

// A document and its name, as an opening shows it and its undo gives back.
struct NamedDocument {
    document::Document document;
    QString name;
};

} // namespace workbench
