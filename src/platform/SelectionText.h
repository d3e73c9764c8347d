#pragma once

#include <QString>
#include <QStringView>

#include <vector>

// The text form of a grid's selected rectangle: cells of a row separated by a
// tab, rows by a carriage return.
namespace platform::selection {

struct PlacedText {
    int row; // from the rectangle's top
    int col; // from the rectangle's left
    QString text;
};

// Where a text lands when laid into a rectangle of rows x cols from its
// top-left cell: a tab moves one cell right, a carriage return one row down
// to the left column. What falls outside the rectangle is dropped.
std::vector<PlacedText> layText(QStringView text, int rows, int cols);

} // namespace platform::selection
