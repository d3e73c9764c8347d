// The web engine's plugin: the only code that links Qt WebEngine. The program
// loads it after its window is on screen (see EngineView.h).
#include "EngineView.h"

#include <QPointer>
#include <QUrl>
#include <QWebEngineHistory>
#include <QWebEngineView>

namespace {

class WebEngineView final : public platform::EngineView {
public:
    WebEngineView(QWidget* parent, Events events)
        : view_(new QWebEngineView(parent)), events_(std::move(events)) {
        QObject::connect(view_, &QWebEngineView::loadProgress, view_, [this](int progress) {
            if (events_.progress) {
                events_.progress(progress);
            }
        });
        // Every load ends with loadFinished, whether it succeeded, failed or
        // was stopped; that is the completion a waiting host relies on.
        QObject::connect(view_, &QWebEngineView::loadFinished, view_, [this](bool) {
            if (events_.finished) {
                events_.finished();
            }
        });
    }

    // The view belongs to its parent widget; it is gone already when the
    // parent went first.
    ~WebEngineView() override { delete view_.data(); }

    QWidget* widget() override { return view_; }

    void load(const QString& address) override {
        if (view_) {
            view_->setUrl(QUrl::fromUserInput(address));
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
        if (view_) {
            view_->stop();
        }
    }

    QString url() const override { return view_ ? view_->url().toString() : QString(); }

private:
    QPointer<QWebEngineView> view_;
    Events events_;
};

} // namespace

extern "C" Q_DECL_EXPORT platform::EngineView*
wqzCreateEngineView(QWidget* parent, platform::EngineView::Events events) {
    return new WebEngineView(parent, std::move(events));
}
