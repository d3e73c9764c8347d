#pragma once

namespace platform::warmup {

// Work the toolkit would otherwise do on the user-interface thread while the
// window is being built, started early on threads of its own so that it is
// done, or well on its way, by the time the window asks for it. Neither call
// waits for the work, and doing it again later is harmless: the toolkit's own
// call finds it done, or waits for it.

// Before QApplication: loads the fonts' configuration and caches
// (fontconfig), which the first text laid out would otherwise wait for while
// QApplication connects to the display in the meantime.
void beforeToolkit();

// Once QApplication exists: opens the connection to the desktop's session
// bus, which the accessibility bridge asks for when the first label gets its
// text, and waits for there (without a session bus the library even tries to
// start one); and reads which image plugins there are, which the first icon
// read from a file waits for.
void afterToolkit();

} // namespace platform::warmup
