#pragma once

#include <QApplication>

namespace platform {

// The application object with the failure guard around every event it
// delivers. Each handler of the program runs inside the guard already; this is
// the net below them, for an exception that a handler of the toolkit's own or
// an unguarded one lets through, which would otherwise end the program.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace platform
