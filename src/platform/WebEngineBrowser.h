#pragma once

#include "Browser.h"
#include "EngineView.h"

#include <QPointer>
#include <QString>

#include <memory>

namespace platform {

// The browser over Qt WebEngine. The engine lives in a plugin that takes a few
// hundred milliseconds to load and start, so it is loaded only when
// createView() is called (the main window does so once it is on screen); a
// navigation asked for before then is kept and started as soon as the view
// exists. When the plugin cannot be loaded the browser area says so, and a
// waiting navigation ends as a failed one does.
class WebEngineBrowser : public Browser {
    Q_OBJECT
public:
    // `enginePlugin` is the path of the engine's plugin library.
    explicit WebEngineBrowser(QString enginePlugin, QObject* parent = nullptr);
    ~WebEngineBrowser() override;

    void navigate(const QString& address) override;
    bool goBack() override;
    bool goForward() override;
    void stop() override;
    QString LocationURL() const override;
    QWidget* widget() override;
    void runScript(const QString& script) override;

    void createView();
    bool hasView() const { return view_ != nullptr; }
    // Why the engine could not be started; empty while all is well.
    const QString& engineError() const { return engineError_; }

    // Sets up the engine's process-wide switches; call before QApplication.
    static void prepareEngine();
    // Sends the host names of `rules` ("MAP host 127.0.0.1:port, ...") where
    // they say, ahead of any rules already among the engine's switches. Call
    // before createView(): the engine reads its switches once, at start.
    static void mapHostsFirst(const QByteArray& rules);
    // The engine's switches `flags` with `rules` put first among its host
    // resolver rules.
    static QByteArray withHostRulesFirst(const QByteArray& flags, const QByteArray& rules);
    // The plugin beside the program's executable, or else where the program
    // is installed with it.
    static QString defaultEnginePlugin();

protected:
    void applyZoom() override;

private:
    void engineFailed(const QString& why);

    QString enginePlugin_;
    QPointer<QWidget> host_;
    std::unique_ptr<EngineView> view_;
    QString pending_;
    QString engineError_;
    // The last address asked for while there is no engine to show it.
    QString unreachable_;
};

} // namespace platform
