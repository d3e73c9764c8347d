#include "CommandLine.h"

#include "platform/HandOverMessage.h"
#include "workbench/model/WorkbenchLink.h"

#include <QFileInfo>
#include <QUrl>

namespace app {

// Every link the program writes or reads can be given on the command line
// (the system passes no argument over 128 KB) and handed to the running
// window, with room for the message around it.
static_assert(workbench::links::longestLink < 128 * 1024);
static_assert(workbench::links::longestLink + 64 <= platform::handover::largestBody);

CommandLine readCommandLine(const QStringList& arguments) {
    CommandLine line;
    bool options = true;
    for (const QString& argument : arguments) {
        if (options && argument == u"--") {
            options = false;
        } else if (options && argument == kNewWindow) {
            line.newWindow = true;
        } else if (options && argument.startsWith(u'-')) {
            continue;
        } else if (workbench::links::isLink(argument)) {
            // As a pasted link is read: spaces and a line break about it
            // (a link copied from a message) are not part of it.
            line.toOpen << argument.trimmed();
        } else if (argument.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) {
            // Some file managers hand over a file's address rather than its
            // path.
            line.toOpen << QUrl(argument).toLocalFile();
        } else if (!argument.isEmpty()) {
            line.toOpen << QFileInfo(argument).absoluteFilePath();
        }
    }
    return line;
}

} // namespace app
