// The browser row: the address box, Back, Forward and Stop.
#include "frmLumo.h"

#include "PackDesk.h"

#include "Navigation.h"
#include "platform/Browser.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/Fonts.h"
#include "platform/MousePointer.h"
#include "services/Sites.h"
#include "workbench/control/wqzOptionPayoffs.h"
#include "workbench/model/Strategies.h"
#include "workbench/model/WorkbenchLink.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QUrl>

#include <algorithm>
#include <array>

namespace shell {

void frmLumo::cmbNavigate_Click() {
    // A link to a position typed and confirmed here is the student's own,
    // whatever page is shown; it never goes to the browser, where it would
    // count as the page's.
    // Once loaded the box names the page again; a link that could not be
    // followed stays, to be mended.
    if (workbench::links::isLink(cmbNavigate->currentText())) {
        if (followStudentLink(cmbNavigate->currentText())) {
            cmbNavigate->setEditText(browser_.LocationURL());
            cmbNavigate->lineEdit()->setCursorPosition(0);
        }
        return;
    }
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
    showPageAddress();
    showExerciseStates();
}

void frmLumo::showPageAddress() {
    // Links, Back, Forward and the menus move the browser as the box does;
    // the box follows them all. Its list grows only through the box itself.
    if (cmbNavigate->hasFocus() && cmbNavigate->lineEdit()->isModified()) {
        return;
    }
    cmbNavigate->setEditText(browser_.LocationURL());
    // A long address shows from its beginning, its site first.
    cmbNavigate->lineEdit()->setCursorPosition(0);
}

void frmLumo::Browser1_ProgramLink(const QString& address, bool mainFrame) {
    // Another site's page, or a frame a tutorial page holds, could otherwise
    // replace the student's position with one click, mark the student's
    // exercises as answered or read the answers out one by one.
    if (!mainFrame || !tutorialPageShown()) {
        refuseOtherPagesLink();
        return;
    }
    const workbench::links::Reading reading =
        workbench::links::read(QUrl(address), ucLumo->position().rowCount());
    if (reading.check && packs_->takes(reading.check->exercise)) {
        if (reading.check->reveal) {
            packs_->reveal(reading.check->exercise);
        } else {
            packs_->check(reading.check->exercise, reading.check->answer);
        }
        return;
    }
    if (reading.check) {
        if (!exerciseKnown(reading.check->exercise)) {
            return;
        }
        if (reading.check->reveal) {
            revealAnswer(reading.check->exercise);
        } else {
            checkExercise(reading.check->exercise, reading.check->answer);
        }
        return;
    }
    if (reading.startOver) {
        startOver();
        return;
    }
    if (!reading.load) {
        platform::dialogs().msgBox(
            QStringLiteral("The page's link to the workbench cannot be followed. ") +
                reading.problem,
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
        return;
    }
    if (!positionMayGo(QStringLiteral("loading the page's position"))) {
        return;
    }
    ucLumo->followLink(*reading.load);
}

bool frmLumo::tutorialPageShown() const {
    const QUrl page(browser_.LocationURL());
    const std::optional<services::sites::Site> site = services::sites::siteNamed(page.host());
    return site && (page.scheme() == u"http" || page.scheme() == u"https") &&
           page.path().startsWith(services::sites::modulesFolder(*site) +
                                  services::sites::tutorialFolder);
}

void frmLumo::refuseOtherPagesLink() {
    // A second soon after the last refusal closed, a link is the same click's
    // or a page's script firing them one after another.
    constexpr qint64 kQuietMs = 1000;
    if (refusing_ || (sinceRefusal_.isValid() && sinceRefusal_.elapsed() < kQuietMs)) {
        return;
    }
    refusing_ = true;
    const auto closed = qScopeGuard([this] {
        refusing_ = false;
        sinceRefusal_.start();
    });
    platform::dialogs().msgBox(
        QStringLiteral("The page's link to the workbench cannot be followed. Only the "
                       "tutorial's own pages can use the workbench."),
        platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
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
                           services::sites::tutorialFolder +
                           QStringLiteral("page%1.htm").arg(strategy->tutorialPage)));
    platform::eventPump().doEvents();
}

void frmLumo::pasteAddress() {
    // The line edit inserts a paste one character at a time, each its own
    // step to undo: a text as long as a link may be held the window for
    // seconds. The text goes in whole instead, cut to what the box takes.
    QLineEdit* edit = cmbNavigate->lineEdit();
    QString pasted = clipboard_.text();
    pasted.remove(u'\r');
    pasted.replace(u'\n', u' ');
    QString text = edit->text();
    const int at = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    text.remove(at, edit->hasSelectedText() ? int(edit->selectedText().size()) : 0);
    const qsizetype room = std::max<qsizetype>(edit->maxLength() - text.size(), 0);
    const bool cut = pasted.size() > room;
    pasted.truncate(room);
    text.insert(at, pasted);
    edit->setText(text);
    edit->setCursorPosition(at + int(pasted.size()));
    if (cut) {
        platform::dialogs().msgBox(
            QStringLiteral("The address box takes at most %1 characters, more than the longest "
                           "link to a position; the text pasted is longer, and only its first "
                           "%2 characters were taken.")
                .arg(workbench::links::longestLink)
                .arg(room),
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
    }
}

void frmLumo::zoomPage(int step) {
    // The steps browsers take, within what the page's engine draws.
    static constexpr std::array<int, 17> kSteps{25,  33,  50,  67,  75,  80,  90,  100, 110,
                                                125, 150, 175, 200, 250, 300, 400, 500};
    static_assert(kSteps.front() == kept::leastZoomPercent &&
                  kSteps.back() == kept::mostZoomPercent);
    const int now = kept_.pageZoomPercent;
    int next = 100;
    if (step > 0) {
        const auto* up = std::upper_bound(kSteps.begin(), kSteps.end(), now);
        next = up == kSteps.end() ? kSteps.back() : *up;
    } else if (step < 0) {
        const auto* down = std::lower_bound(kSteps.begin(), kSteps.end(), now);
        next = down == kSteps.begin() ? kSteps.front() : *(down - 1);
    }
    browser_.setZoom(next / 100.0);
    if (next != now) {
        kept_.pageZoomPercent = next;
        keep();
    }
}

void frmLumo::showAnalysis() {
    txtAnalysis->setPlainText(ucLumo->analysisText());
    platform::showDimmed(*txtAnalysis, ucLumo->analysisStale());
}

} // namespace shell
