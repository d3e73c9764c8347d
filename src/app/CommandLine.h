#pragma once

#include <QString>
#include <QStringList>

namespace app {

// What the command line asks of this start. Site selection reads only
// whether there are arguments at all; these are what they say besides.
struct CommandLine {
    // --new-window: a window of its own even while another one runs.
    bool newWindow = false;
    // Position files, as absolute paths so that a window started in another
    // folder finds them, and workbench links, in the order given.
    QStringList toOpen;
};

inline const QString kNewWindow = QStringLiteral("--new-window");

// Arguments beginning with "-" other than the one above are passed over, as
// every argument was before files could be given; after "--" each is a file.
CommandLine readCommandLine(const QStringList& arguments);

} // namespace app
