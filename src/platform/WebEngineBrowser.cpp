#include "WebEngineBrowser.h"

#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineView>
#include <QtGlobal>

#include <unistd.h>

namespace platform {

WebEngineBrowser::WebEngineBrowser(QObject* parent) : Browser(parent) {}

WebEngineBrowser::~WebEngineBrowser() = default;

void WebEngineBrowser::prepareEngine() {
    // Chromium refuses to run as root inside its sandbox. Only then is the
    // sandbox turned off; every other user keeps it.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
    // Without a GPU (a virtual display) the GPU process only slows failures
    // down; the pages need none of it.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--disable-gpu")) {
        flags += flags.isEmpty() ? "--disable-gpu" : " --disable-gpu";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }
}

QWidget* WebEngineBrowser::widget() {
    if (!host_) {
        host_ = new QWidget();
        host_->setObjectName(QStringLiteral("Browser1"));
        auto* layout = new QVBoxLayout(host_);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    return host_;
}

void WebEngineBrowser::createView() {
    if (view_) {
        return;
    }
    QWidget* host = widget();
    view_ = new QWebEngineView(host);
    host->layout()->addWidget(view_);
    connect(view_, &QWebEngineView::loadProgress, this,
            [this](int progress) { emit ProgressChange(progress, 100); });
    // Every load ends with loadFinished, whether it succeeded, failed or was
    // stopped; that is the completion a waiting host relies on.
    connect(view_, &QWebEngineView::loadFinished, this, [this](bool) {
        emit ProgressChange(-1, 100);
        emit DownloadComplete();
    });
    if (!pending_.isEmpty()) {
        const QString address = pending_;
        pending_.clear();
        navigate(address);
    }
}

void WebEngineBrowser::navigate(const QString& address) {
    if (!view_) {
        pending_ = address;
        return;
    }
    view_->setUrl(QUrl::fromUserInput(address));
}

bool WebEngineBrowser::goBack() {
    if (!view_ || !view_->history()->canGoBack()) {
        return false;
    }
    view_->back();
    return true;
}

bool WebEngineBrowser::goForward() {
    if (!view_ || !view_->history()->canGoForward()) {
        return false;
    }
    view_->forward();
    return true;
}

void WebEngineBrowser::stop() {
    if (!view_) {
        // A navigation that never started ends here, as a stopped one does.
        if (!pending_.isEmpty()) {
            pending_.clear();
            emit DownloadComplete();
        }
        return;
    }
    view_->stop();
}

QString WebEngineBrowser::LocationURL() const {
    return view_ ? view_->url().toString() : QString();
}

} // namespace platform
