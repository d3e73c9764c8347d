#pragma once

class QComboBox;

namespace platform {
class Browser;
}

namespace shell::navigation {

// Opens the address typed or picked in the address box and waits, with the
// hourglass, until the browser reports the page finished (or Stop or closing
// the window ends the wait). The page reached, after any redirect, is added
// to the box's list once and shown in the box.
void navigateAndWait(platform::Browser& browser, QComboBox& addressBox);

} // namespace shell::navigation
