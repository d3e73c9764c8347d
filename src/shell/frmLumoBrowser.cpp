// The browser row: the address box, Back, Forward and Stop.
#include "frmLumo.h"

#include "Navigation.h"
#include "platform/Browser.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/MousePointer.h"
#include "services/Sites.h"
#include "workbench/Strategies.h"
#include "workbench/WorkbenchLink.h"
#include "workbench/wqzOptionPayoffs.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QUrl>

namespace shell {

void frmLumo::cmbNavigate_Click() {
    navigation::navigateAndWait(browser_, *cmbNavigate);
    platform::eventPump().doEvents();
}

void frmLumo::cmdBotBack_Click() {
    // No earlier page is no failure worth telling.
    browser_.goBack();
    platform::eventPump().doEvents();
}

void frmLumo::cmdBotForward_Click() {
    browser_.goForward();
    platform::eventPump().doEvents();
}

void frmLumo::cmdStop_Click() {
    browser_.stop();
    browser_.setTag(QStringLiteral("alldone"));
    platform::mousePointer().setShape(platform::MousePointer::Shape::Default);
    platform::eventPump().doEvents();
}

void frmLumo::Browser1_ProgressChange(std::int32_t progress, std::int32_t) {
    if (progress == -1) {
        browser_.setTag(QStringLiteral("alldone"));
    }
}

void frmLumo::Browser1_DownloadComplete() {
    browser_.setTag(QStringLiteral("alldone"));
}

void frmLumo::Browser1_ProgramLink(const QString& address) {
    const workbench::links::Reading reading =
        workbench::links::read(QUrl(address), ucLumo->position().rowCount());
    if (!reading.load) {
        platform::dialogs().msgBox(
            QStringLiteral("The page's link to the workbench cannot be followed. ") +
                reading.problem,
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
        return;
    }
    ucLumo->followLink(*reading.load);
}

void frmLumo::offerReading() {
    const QString strategy = ucLumo->strategyHeld();
    lblReadAbout->setText(
        strategy.isEmpty()
            ? QString()
            : QStringLiteral("<a href=\"read\">Read about %1</a>").arg(strategy.toHtmlEscaped()));
    lblReadAbout->setAccessibleName(
        lblReadAbout->text().isEmpty() ? QString() : QStringLiteral("Read about ") + strategy);
    lblReadAbout->setVisible(!strategy.isEmpty() && !txtAnalysis->isHidden());
}

void frmLumo::lblReadAbout_Click() {
    const workbench::Strategy* strategy = workbench::findStrategy(ucLumo->strategyHeld());
    if (!strategy) {
        return;
    }
    using services::sites::Site;
    browser_.navigate(services::sites::siteAddress(
        Site::Modules, services::sites::modulesFolder(Site::Modules) +
                           QStringLiteral("wqzLumo/page%1.htm").arg(strategy->tutorialPage)));
    platform::eventPump().doEvents();
}

} // namespace shell
