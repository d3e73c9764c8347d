#include "GridEditing.h"

#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/FlexGrid.h"
#include "platform/KeyCodes.h"
#include "services/ReportError.h"
#include "workbench/model/ExchangeText.h"
#include "workbench/model/PositionColumns.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace workbench::gridediting {

namespace {

namespace keys = platform::keys;
using exchangetext::clearText;
using exchangetext::removeCommas;
using exchangetext::replaceLineFeeds;
using exchangetext::textToInteger;

// The exchange routines hand their failure on as a 16-bit code. A code that
// does not fit is reported as it is rather than lost.
void reportExchangeFailure(const platform::RunTimeError& error) {
    std::int32_t code = error.code();
    try {
        code = textToInteger(QString::number(error.code()));
    } catch (const platform::RunTimeError&) {
    }
    services::errors::reportError(error, code);
}

} // namespace

void beginCellEdit(platform::FlexGrid& grid, QString& buffer) {
    buffer = grid.Text();
}

void handleCellKeyDown(platform::FlexGrid& grid, QString& buffer, int keyCode, int shift) {
    if (keyCode != keys::vkDelete || shift != 0) {
        return;
    }
    grid.setFillStyle(1);
    grid.setText(QString());
    clearText(buffer);
    grid.setFillStyle(0);
}

void handleCellKeyPress(platform::FlexGrid& grid, QString& buffer, QString& restore, int keyAscii,
                        platform::Clipboard& clipboard) {
    switch (keyAscii) {
    case keys::charEscape:
        grid.setText(restore);
        clearText(buffer);
        break;
    case keys::charBackspace:
        if (buffer.size() <= 1) {
            clearText(buffer);
        } else {
            buffer.chop(1);
        }
        grid.setText(buffer);
        break;
    case keys::charEnter:
        grid.setText(buffer);
        clearText(buffer);
        break;
    case keys::charCopy:
        copyGridSelection(grid, clipboard);
        break;
    case keys::charPaste:
        pasteGridSelection(grid, clipboard);
        break;
    default:
        // A cell holds no more than a file keeps; further keys are not taken.
        if (buffer.size() < columns::longestText) {
            buffer += QChar(char16_t(keyAscii));
            grid.setText(buffer);
        }
        break;
    }
}

void copyGridSelection(platform::FlexGrid& grid, platform::Clipboard& clipboard) {
    try {
        clipboard.clear();
        clipboard.setText(grid.Clip());
    } catch (const platform::RunTimeError& error) {
        reportExchangeFailure(error);
    }
}

void pasteGridSelection(platform::FlexGrid& grid, platform::Clipboard& clipboard) {
    try {
        QString text = clipboard.text();
        // More cells than the grid has, or a cell longer than one holds, is
        // refused before the text is split, in one pass over it.
        constexpr qsizetype mostCells = qsizetype(columns::mostRows + 1) * columns::count;
        qsizetype separators = 0;
        qsizetype run = 0;
        qsizetype longest = 0;
        for (const QChar c : std::as_const(text)) {
            if (c == u'\t' || c == u'\r') { // a line feed becomes a blank of its cell
                ++separators;
                run = 0;
            } else if (c != u',') { // commas are dropped below
                longest = std::max(longest, ++run);
            }
        }
        if (separators > mostCells) {
            platform::dialogs().msgBox(
                QStringLiteral("The clipboard holds more than the grid: it takes at most %1 rows "
                               "of %2 cells. Nothing was pasted.")
                    .arg(columns::mostRows + 1)
                    .arg(columns::count),
                platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
            return;
        }
        // None may be longer than a cell holds, and then none is pasted.
        if (longest > columns::longestText) {
            platform::dialogs().msgBox(
                QStringLiteral("A cell holds at most %1 characters; the clipboard's text is "
                               "longer. Nothing was pasted.")
                    .arg(columns::longestText),
                platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
            return;
        }
        replaceLineFeeds(text);
        removeCommas(text);
        grid.setClip(text);
    } catch (const platform::RunTimeError& error) {
        reportExchangeFailure(error);
    }
}

} // namespace workbench::gridediting
