#pragma once

#include <QObject>
#include <QString>

#include <cstdint>

class QWidget;

namespace platform {

// The embedded web browser as the program uses it. Whatever renders the pages,
// every navigation, also one that is stopped, fails or is replaced by another,
// ends with DownloadComplete or a ProgressChange whose progress is -1: a host
// waiting for a page relies on that.
class Browser : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Browser() override = default;

    // Starts loading the address and returns at once.
    virtual void navigate(const QString& address) = 0;
    // One page back or forward in the history. Returns false when there is no
    // page in that direction (the caller may ignore it).
    virtual bool goBack() = 0;
    virtual bool goForward() = 0;
    virtual void stop() = 0;
    // The address of the page shown, after redirects.
    virtual QString LocationURL() const = 0;
    // The widget that shows the pages, for the host to place.
    virtual QWidget* widget() = 0;
    // Runs a script of the program's own in the page shown, which the page's
    // scripts can answer. Returns at once; nothing happens without a page.
    virtual void runScript(const QString& script) = 0;

    // How large the pages are drawn, 1 as designed; kept for pages to come.
    double zoom() const { return zoom_; }
    void setZoom(double factor) {
        zoom_ = factor;
        applyZoom();
    }

    // A string the host keeps for the control; empty at start.
    const QString& Tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }

signals:
    // progress of maximum; a progress of -1 means the download is complete.
    void ProgressChange(std::int32_t progress, std::int32_t maximum);
    void DownloadComplete();
    // A page followed a link to one of the program's own addresses
    // ("wqz-workbench:..."), in the page itself or in a frame inside it;
    // nothing was loaded.
    void ProgramLink(const QString& address, bool mainFrame = true);

protected:
    // Draws the pages at zoom() from now on.
    virtual void applyZoom() {}

private:
    QString tag_;
    double zoom_ = 1;
};

} // namespace platform
