#pragma once

#include "DiagramExport.h"
#include "workbench/model/PositionDocument.h"

#include <QByteArray>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

class QPainter;

namespace workbench {

class wqzOptionPayoffs;

// The workbench on one sheet of paper: a heading, the diagram on a light
// background with its legend, the position grid as a table, the analysis
// and, while their panel is shown, the inputs before expiry. Everything is
// drawn as lines and text, so that a PDF of it stays sharp and searchable.
namespace printedpage {

struct Sheet {
    // The strategy held ("Straddle") or "Custom position".
    QString title;
    // The kind of diagram, and the file the position came from if any.
    QString subtitle;
    diagramexport::Diagram diagram;
    // The position grid as it shows its texts, and which of its rows hold a
    // quantity of a call or a put.
    QList<document::Row> rows;
    QList<bool> held;
    // The underlying, today's price and the trading costs, as their boxes
    // show them.
    QString underlying;
    QStringList analysis;
    // Empty while the panel before expiry is closed.
    QStringList beforeExpiry;
};

// What the workbench shows now, for the sheet.
Sheet sheetOf(const wqzOptionPayoffs& bench);

// The inputs before expiry in words, one a line.
QStringList inputLines(const beforeexpiry::Inputs& inputs);

// Paints the sheet into the painter's device, filling its paint area (a
// printer's or a PDF writer's page within its margins, or a whole image).
// Text that does not fit at the largest type is set smaller, wrapped, and
// at the smallest a long table shows the rows held with a line that counts
// the rest: no line is ever cut.
void paint(QPainter& painter, const Sheet& sheet);

// The sheet as a one-page PDF on a page of that layout; empty when it could
// not be made.
QByteArray pdf(const Sheet& sheet, const QPageLayout& layout);

// The page a sheet is laid out on unless the student chooses another: the
// paper size of the system's locale, with margins of 15 mm.
QPageLayout defaultLayout(QPageSize::PageSizeId size);
QPageSize::PageSizeId localPaper();

} // namespace printedpage

} // namespace workbench
