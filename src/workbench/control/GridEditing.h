#pragma once

#include <QString>

namespace platform {
class Clipboard;
class FlexGrid;
} // namespace platform

// Editing a grid cell as a small line editor, and copying and pasting a grid's
// selection through the clipboard. Any grid can use them; the edit texts are
// the caller's and are changed in place.
namespace workbench::gridediting {

// The text being typed into a cell, and what Escape gives back.
struct CellEdit {
    QString buffer;
    QString restore;
};

// Typing goes on after the cell's current text.
void beginCellEdit(platform::FlexGrid& grid, QString& buffer);

// Delete without Shift, Ctrl or Alt empties every selected cell.
void handleCellKeyDown(platform::FlexGrid& grid, QString& buffer, int keyCode, int shift);

// Escape restores, Backspace drops a character, Enter commits, Ctrl+C and
// Ctrl+V copy and paste the selection, any other character is appended.
void handleCellKeyPress(platform::FlexGrid& grid, QString& buffer, QString& restore, int keyAscii,
                        platform::Clipboard& clipboard);

// The selection as tab/carriage-return text on the clipboard. A failure is
// reported and ends the copy.
void copyGridSelection(platform::FlexGrid& grid, platform::Clipboard& clipboard);

// The clipboard's text laid into the selection, line feeds made blanks and
// commas dropped. A failure is reported and the grid keeps its text.
void pasteGridSelection(platform::FlexGrid& grid, platform::Clipboard& clipboard);

} // namespace workbench::gridediting
