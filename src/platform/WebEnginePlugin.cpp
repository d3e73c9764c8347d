// The web engine's plugin: the only code that links Qt WebEngine. The program
// loads it after its window is on screen (see EngineView.h).
#include "EngineView.h"

#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// Hands the program's own addresses to the program instead of loading them,
// so the page and the history stay as they are.
class Page final : public QWebEnginePage {
public:
    Page(std::function<void(const QString&, bool)> programLink, QObject* parent)
        : QWebEnginePage(parent), programLink_(std::move(programLink)) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool mainFrame) override {
        if (url.scheme() == QLatin1String(platform::kProgramScheme)) {
            if (programLink_) {
                programLink_(url.toString(QUrl::FullyEncoded), mainFrame);
            }
            return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, mainFrame);
    }

private:
    std::function<void(const QString&, bool)> programLink_;
};

class WebEngineView final : public platform::EngineView {
public:
    WebEngineView(QWidget* parent, Events events)
        : view_(new QWebEngineView(parent)), events_(std::move(events)) {
        view_->setPage(new Page(events_.programLink, view_));
        QObject::connect(view_, &QWebEngineView::loadProgress, view_, [this](int progress) {
            if (events_.progress) {
                events_.progress(progress);
            }
        });
        // Every load ends with loadFinished, whether it succeeded, failed or
        // was stopped; that is the completion a waiting host relies on.
        QObject::connect(view_, &QWebEngineView::loadStarted, view_, [this] { started(); });
        QObject::connect(view_, &QWebEngineView::loadFinished, view_, [this](bool) { finish(); });
        // Some addresses never start a load, so no loadFinished follows them:
        // a fragment of the page shown only moves the page and changes the
        // address, a script address runs in the page, and one the engine
        // turns down does nothing at all. Each of these ends here instead.
        QObject::connect(view_, &QWebEngineView::urlChanged, view_, [this] {
            // A new page's address changes before its load starts; only a
            // move inside the page shown ends here.
            if (awaitingStart_ && inPage_) {
                finish();
            }
        });
        settle_.setSingleShot(true);
        QObject::connect(&settle_, &QTimer::timeout, view_, [this] {
            if (awaitingStart_) {
                finish();
            }
        });
    }

    // The view belongs to its parent widget; it is gone already when the
    // parent went first.
    ~WebEngineView() override { delete view_.data(); }

    QWidget* widget() override { return view_; }

    void load(const QString& address) override {
        if (!view_) {
            return;
        }
        const QUrl url = QUrl::fromUserInput(address);
        const auto document = [](const QUrl& u) { return u.adjusted(QUrl::RemoveFragment); };
        inPage_ = url.hasFragment() && document(url) == document(view_->url());
        awaitingStart_ = true;
        view_->setUrl(url);
        if (!url.isValid() || url.scheme() == u"javascript") {
            // Nothing to wait for; the end is told once the caller is waiting.
            QMetaObject::invokeMethod(
                view_, [this] { finish(); }, Qt::QueuedConnection);
        } else {
            settle_.start(kSettleMs);
        }
    }

    bool back() override {
        if (!view_ || !view_->history()->canGoBack()) {
            return false;
        }
        view_->back();
        return true;
    }

    bool forward() override {
        if (!view_ || !view_->history()->canGoForward()) {
            return false;
        }
        view_->forward();
        return true;
    }

    void stop() override {
        awaitingStart_ = false;
        settle_.stop();
        if (view_) {
            view_->stop();
        }
    }

    QString url() const override { return view_ ? view_->url().toString() : QString(); }

    void setZoom(double factor) override {
        if (view_) {
            view_->setZoomFactor(factor);
        }
    }

    void runScript(const QString& script) override {
        if (view_) {
            view_->page()->runJavaScript(script);
        }
    }

private:
    // A load starts within a few milliseconds of being asked for; an address
    // that has started none by this time never will.
    static constexpr int kSettleMs = 2000;

    void started() {
        awaitingStart_ = false;
        settle_.stop();
    }

    void finish() {
        started();
        if (events_.finished) {
            events_.finished();
        }
    }

    QPointer<QWebEngineView> view_;
    Events events_;
    // Asked to load and no load has started yet.
    bool awaitingStart_ = false;
    // The address asked for is a fragment of the page shown.
    bool inPage_ = false;
    QTimer settle_;
};

} // namespace

extern "C" Q_DECL_EXPORT platform::EngineView*
wqzCreateEngineView(QWidget* parent, platform::EngineView::Events events) {
    return new WebEngineView(parent, std::move(events));
}
