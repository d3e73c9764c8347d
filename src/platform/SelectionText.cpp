#include "SelectionText.h"

namespace platform::selection {

std::vector<PlacedText> layText(QStringView text, int rows, int cols) {
    std::vector<PlacedText> placed;
    int row = 0;
    int col = 0;
    qsizetype start = 0;
    // One pass; stops once the text has left the rectangle at its bottom.
    for (qsizetype i = 0; i <= text.size() && row < rows; ++i) {
        const bool end = i == text.size();
        const QChar c = end ? QChar() : text[i];
        if (!end && c != u'\t' && c != u'\r') {
            continue;
        }
        if (col < cols) {
            placed.push_back({row, col, text.mid(start, i - start).toString()});
        }
        if (c == u'\r') {
            ++row;
            col = 0;
        } else {
            ++col;
        }
        start = i + 1;
    }
    return placed;
}

} // namespace platform::selection
