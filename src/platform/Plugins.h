#pragma once

#include <QString>

namespace platform {

// The path of one of the program's own plugins, `fileName` (as
// "libwqzweb.so"): beside the program's executable, as in the build tree, or
// else in the plugins' folder where the program is installed with them.
QString programPlugin(const QString& fileName);

} // namespace platform
