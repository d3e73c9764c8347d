// The plugin that hands the bundled pages' server to the program.
#include "LoopbackSites.h"
#include "SiteServer.h"

namespace {

class PluginSites : public offline::LoopbackSites {
public:
    bool start() override { return server_.start(); }
    QString hostResolverRules() const override { return server_.hostResolverRules(); }

private:
    offline::SiteServer server_;
};

} // namespace

extern "C" __attribute__((visibility("default"))) offline::LoopbackSites* wqzCreateLoopbackSites() {
    return new PluginSites;
}
