#pragma once

#include "platform/Browser.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace fakes {

// A browser that loads nothing. Tests see what was asked of it and decide
// when and how each navigation ends.
class FakeBrowser : public platform::Browser {
    Q_OBJECT
public:
    using platform::Browser::Browser;

    void navigate(const QString& address) override;
    bool goBack() override;
    bool goForward() override;
    void stop() override;
    QString LocationURL() const override { return location_; }
    QWidget* widget() override;
    void runScript(const QString& script) override { scripts << script; }

    // Ends the current navigation: the page is shown at finalAddress (a
    // redirect when it differs), with the progress events of a finished load.
    void finish(const QString& finalAddress = QString());
    // Ends it the other way the platform can: a download-complete event alone.
    void completeOnly();
    bool loading() const { return !pending_.isEmpty(); }

    QStringList navigations;
    QStringList scripts;
    int stops = 0;
    int backs = 0;
    int forwards = 0;

private:
    QStringList history_;
    int current_ = -1;
    QString pending_;
    QString location_;
    QPointer<QWidget> widget_;
};

} // namespace fakes
