#include "BrowserStart.h"

#include "StartupTrace.h"
#include "offline/SiteServer.h"
#include "platform/WebEngineBrowser.h"

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
    if (sites_) {
        return;
    }
    sites_ = std::make_unique<offline::SiteServer>();
    if (sites_->start()) {
        platform::WebEngineBrowser::mapHostsFirst(sites_->hostResolverRules().toLatin1());
    }
    browser_.createView();
}

} // namespace app
