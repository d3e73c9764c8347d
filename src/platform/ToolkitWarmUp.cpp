#include "ToolkitWarmUp.h"

#include <QDBusConnection>
#include <QImageReader>

#include <fontconfig/fontconfig.h>

#include <thread>

namespace platform::warmup {

void beforeToolkit() {
    // fontconfig loads its default configuration once for the process; a
    // second caller, the toolkit, finds it loaded.
    std::thread([] { FcInit(); }).detach();
}

void afterToolkit() {
    std::thread([] { QDBusConnection::sessionBus(); }).detach();
    // The image plugins' list, read from the plugins' files; the menu bar's
    // overflow button reads its icon from an image file and waits for the
    // list there.
    std::thread([] { QImageReader::supportedImageFormats(); }).detach();
}

} // namespace platform::warmup
