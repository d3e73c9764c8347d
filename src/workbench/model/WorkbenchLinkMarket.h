#pragma once

#include "WorkbenchLink.h"

#include <QString>
#include <QStringList>
#include <QUrlQuery>

#include <optional>

// The market a load link names, read apart from its position and rows.
namespace workbench::links::query {

// The keys a load may name besides its diagram and its strategy or position.
extern const QStringList keys;

// A number as a page writes it: digits with at most `decimals` after one
// full stop, a minus sign at most, from `least` to `most`; nothing else.
std::optional<double> decimal(const QString& text, int decimals, double least, double most);

// What the link sets of the market, or why it cannot, in words; only what
// it names is set.
QString readMarket(const QUrlQuery& query, Market& market);

} // namespace workbench::links::query
