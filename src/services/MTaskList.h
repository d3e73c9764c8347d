#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>

namespace platform {
class Browser;
class WindowList;
} // namespace platform

// The web addresses the program opens, and how it learns them at start-up.
//
// A school's launcher page starts the program with no arguments and carries
// the launch parameters in its window title: fields separated by ";" (or ","
// when there is no ";"), the first holding "wqz=" and the school code, the
// sixth naming the site the school's modules live on. Started any other way,
// the program keeps the addresses of the module site.
namespace services::MTaskList {

// The addresses chosen for this run. They are fixed once start-up has chosen
// them; the main window is given them and hands them on.
struct WebAddresses {
    // File > Home Page.
    QString strHomeURL;
    // Help > Help: the page on how to use the modules.
    QString strHelpURL;
    // Help > Module Specific Help: the module's first tutorial page on the
    // site chosen, or the module's contents where no site was chosen.
    QString strModuleURL;
    // The page shown at start-up: the module's first tutorial page on the
    // site chosen, or the welcome page where no site was chosen.
    QString strFirstPageURL;
    // The students' forum entry page.
    QString strForumURL;
    // Up to four characters from the launch title; empty when none was read.
    QString schoolCode;
};

// A snapshot of the desktop's top-level window titles, in the desktop's order.
class WindowTitles {
public:
    explicit WindowTitles(QStringList titles = {}) : titles_(std::move(titles)) {}
    // The title at a 1-based position; "Invalid" outside the snapshot.
    QString windowTitleAt(std::int32_t index) const;
    std::int32_t windowTitleCount() const { return std::int32_t(titles_.size()); }

private:
    QStringList titles_;
};

// The addresses for this run. `arguments` are the program's command-line
// arguments after its own name: when there are any the module site's defaults
// stay; when there are none the launch title is looked for in `windows`.
WebAddresses initWebAddresses(platform::WindowList& windows, const QStringList& arguments);

// The main site's addresses, changed by the first top-level window title
// holding "wqz=". Never waits for windows to appear: with no window listed
// the main site's addresses stay. The module page of a site chosen is still
// a folder here.
WebAddresses readLaunchParameters(platform::WindowList& windows);

// Chooses module, help and forum addresses by the site named in `siteText`
// (the launch title's sixth field) and points strHomeURL at the schools' page.
void setSiteAddresses(const QString& siteText, WebAddresses& addresses);

// Takes a snapshot of the desktop's top-level window titles.
WindowTitles listTopWindows(platform::WindowList& windows);

// Opens the students' forum, or explains that there is none.
void openStudentForum(platform::Browser& browser, const WebAddresses& addresses);
// Opens the page where an instructor sets up a forum, as far as the forum's
// site offers one; otherwise explains that there is none.
void openInstructorForumSetup(platform::Browser& browser, const WebAddresses& addresses);

} // namespace services::MTaskList
