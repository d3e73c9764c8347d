#pragma once

#include "RunTimeError.h"

#include <QString>

#include <concepts>
#include <exception>
#include <functional>
#include <utility>

namespace platform {

// The text shown for a failure that no handler caught.
QString unhandledErrorText(const RunTimeError& error);

// Runs an event handler so that no failure crosses the event loop: a run-time
// error is shown in a critical message box, the pointer is set back to the
// arrow, and the program carries on with the next event. Any other exception
// (a library's) is shown as an internal error; none ends the program.
void runGuarded(const std::function<void()>& handler);

// Shows a failure that reached a handler as runGuarded() does.
void showUnhandled(const std::exception& failure);

// Wraps a slot for connect(): guarded([this] { cmdPlot_Click(); }).
template <typename F> auto guarded(F slot) {
    // The constraint lets connect() find how many of the signal's arguments
    // the slot takes.
    return [slot = std::move(slot)](
        auto&&... args) requires std::invocable<const F&, decltype(args)...> {
        runGuarded([&] { slot(std::forward<decltype(args)>(args)...); });
    };
}

} // namespace platform
