#pragma once

#include "Browser.h"

#include <QPointer>
#include <QString>

#include <QWebEngineView>

namespace platform {

// The browser over Qt WebEngine. The engine takes a few hundred milliseconds
// to come up, so the view is created only when createView() is called (the
// main window does so once it is on screen); a navigation asked for before
// then is kept and started as soon as the view exists.
class WebEngineBrowser : public Browser {
    Q_OBJECT
public:
    explicit WebEngineBrowser(QObject* parent = nullptr);
    ~WebEngineBrowser() override;

    void navigate(const QString& address) override;
    bool goBack() override;
    bool goForward() override;
    void stop() override;
    QString LocationURL() const override;
    QWidget* widget() override;

    void createView();
    bool hasView() const { return view_ != nullptr; }

    // Sets up the engine's process-wide switches; call before QApplication.
    static void prepareEngine();

private:
    QPointer<QWidget> host_;
    QPointer<QWebEngineView> view_;
    QString pending_;
};

} // namespace platform
