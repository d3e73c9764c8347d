#pragma once

#include "platform/Browser.h"
#include "platform/WindowList.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// The web addresses the program opens, and how it learns them at start-up.
//
// A school's launcher page starts the program with no arguments and carries
// the launch parameters in its window title: fields separated by ";" (or ","
// when there is no ";"), the first holding "wqz=" and the school code, the
// sixth naming the site the school's modules live on. Started any other way,
// the program keeps the addresses of the module site.
namespace MTaskList {

// Process-wide addresses, set by initWebAddresses(). The main window appends
// the module page to strModuleURL once.
extern QString strHomeURL;
extern QString strHelpURL;
extern QString strModuleURL;
extern QString strForumURL;
// Up to four characters from the launch title; empty until one is read.
extern QString schoolCode;

// Sets the addresses for this run. `arguments` are the program's command-line
// arguments after its own name: when there are any the module site's defaults
// stay; when there are none the launch title is looked for in `windows`.
void initWebAddresses(platform::WindowList& windows, const QStringList& arguments);

// Sets the main site's addresses, then applies the first top-level window
// title holding "wqz=". Never waits for windows to appear: with no window
// listed the main site's addresses stay.
void readLaunchParameters(platform::WindowList& windows);

// Chooses module, help and forum addresses by the site named in `siteText`
// (the launch title's sixth field) and points strHomeURL at the schools' page.
void setSiteAddresses(const QString& siteText);

// Takes a snapshot of the desktop's top-level window titles.
void listTopWindows(platform::WindowList& windows);
// The title at a 1-based position of the last snapshot; "Invalid" outside it.
QString windowTitleAt(std::int32_t index);
std::int32_t windowTitleCount();

// Opens the students' forum, or explains that there is none.
void openStudentForum(platform::Browser& browser);
// Opens the page where an instructor sets up a forum, as far as the forum's
// site offers one; otherwise explains that there is none.
void openInstructorForumSetup(platform::Browser& browser);

} // namespace MTaskList
