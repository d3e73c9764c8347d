#include "ValuesExport.h"

#include "platform/FlexGrid.h"

#include <QStringList>

namespace workbench::valuesexport {

namespace {

// The captions' column, "Numeric" over "Values"; the values follow it.
constexpr int kFirstValueCol = 1;

} // namespace

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
        !text.contains(u'\n')) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csv(const platform::FlexGrid& grid, const QList<Column>& more) {
    // Every plot heads the underlying's column; before the first one the
    // grid is as the window made it, without values.
    if (grid.Rows() < 2 || grid.Cols() <= kFirstValueCol + 1 ||
        grid.TextMatrix(0, kFirstValueCol).isEmpty()) {
        return QString();
    }
    QString text;
    for (int r = 0; r < grid.Rows(); ++r) {
        QStringList fields;
        for (int c = kFirstValueCol; c < grid.Cols(); ++c) {
            fields << csvField(grid.TextMatrix(r, c));
        }
        for (const Column& column : more) {
            fields << csvField(r == 0 ? column.header : column.values.value(r - 1));
        }
        text += fields.join(u',') + QStringLiteral("\r\n");
    }
    return text;
}

} // namespace workbench::valuesexport
