#include "BrowserStart.h"

#include "StartupTrace.h"
#include "offline/LoopbackSites.h"
#include "platform/Plugins.h"
#include "platform/WebEngineBrowser.h"

#include <QLibrary>
#include <QTimer>

namespace app {

namespace {

constexpr int kLatestStartMs = 1000;

} // namespace

BrowserStart::BrowserStart(platform::WebEngineBrowser& browser, QWidget* painted,
                           StartupTrace* trace)
    : browser_(browser), firstPaint_(painted, [this, trace] {
          if (trace) {
              trace->curvePainted();
          }
          start();
      }) {
    QTimer::singleShot(kLatestStartMs, this, [this] { start(); });
}

BrowserStart::~BrowserStart() = default;

void BrowserStart::start() {
    if (started_) {
        return;
    }
    started_ = true;
    QLibrary plugin(platform::programPlugin(QStringLiteral("libwqzsites.so")));
    // Kept loaded for the life of the process: the server's threads run its code.
    plugin.setLoadHints(QLibrary::PreventUnloadHint);
    const auto create = reinterpret_cast<offline::CreateLoopbackSites>(
        plugin.resolve(offline::kCreateLoopbackSitesSymbol));
    if (create) {
        sites_.reset(create());
    }
    if (sites_ && sites_->start()) {
        platform::WebEngineBrowser::mapHostsFirst(sites_->hostResolverRules().toLatin1());
    }
    browser_.createView();
}

} // namespace app
