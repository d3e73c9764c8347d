#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace platform {
class FlexGrid;
}

namespace workbench::valuesexport {

// The numeric values as the grid shows them, as comma-separated text in the
// common form (RFC 4180): the grid's header row, then a row a sample, every
// line ending in CR LF, a field quoted only when it holds a comma, a quote or
// a line break. The captions' column is left out. Empty while the grid holds
// no values, as before the first plot.
// Columns the grid does not show follow its own: a header and a value for
// each of its rows of values.
struct Column {
    QString header;
    QStringList values;
};
QString csv(const platform::FlexGrid& grid, const QList<Column>& more = {});

// One field as it stands in such a line.
QString csvField(const QString& text);

} // namespace workbench::valuesexport
