#pragma once

#include "workbench/lessons/Packs.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QWidget;

namespace platform {
class Browser;
} // namespace platform

namespace workbench {
class wqzOptionPayoffs;
} // namespace workbench

namespace shell {

class ExerciseProgress;

// Exercise packs as the window holds them: the one pack open, which the
// instructor writes (New Pack, Add Question from Workbench, Edit Pack, Save
// Pack) and the student answers on the tutorial's pack page, with numbers
// drawn for the student's name; the student's answers kept per pack and
// name, exported as results; and an instructor's folder of results
// gathered, or the pack written out for a course's platform.
class PackDesk : public QObject {
    Q_OBJECT
public:
    PackDesk(QWidget* window, platform::Browser& browser, workbench::wqzOptionPayoffs& workbench,
             QObject* parent = nullptr);
    ~PackDesk() override;

    // The File menu's items for packs, added at its end.
    void addTo(QMenu* file);

    // The student's name or number kept from an earlier run; empty: asked
    // when a pack is first opened.
    void setStudent(const QString& student) { student_ = student; }
    const QString& student() const { return student_; }

    // Opens a pack file for answering, after asking the student's name if
    // none is kept, and shows its page; a file that is no pack the program
    // can honour is refused in words. False when nothing was opened.
    bool open(const QString& path);
    // Whether a pack changed since it was saved may be left `before` what
    // is about to happen; the instructor is offered to save it first.
    bool mayGo(const QString& before);

    // Whether an exercise id is one of the open pack's questions.
    bool takes(const QString& exercise) const;
    // Judges a page's answer, or shows the true one asked for, as the
    // lessons' exercises are.
    void check(const QString& exercise, const QString& answer);
    void reveal(const QString& exercise);
    // Whether the page shown is the pack page; what it shows, given to it.
    bool pageShown() const;
    void fillPage();

    // Waits up to `ms` for the answers to be written.
    void finishWriting(int ms);

    // The pack open, the file it came from or went to.
    const std::optional<workbench::packs::Pack>& pack() const { return pack_; }
    const QString& path() const { return path_; }

    // The program's own address of the pack page.
    static QString pageAddress();

signals:
    // The student gave a name or number to keep.
    void studentChosen(const QString& student);

public:
    // The window's file dialogs, which start where the student last went
    // and keep the folder chosen, and that folder.
    std::function<QString(const QString& caption, const QString& filter)> askOpenName;
    std::function<QString(const QString& caption, const QString& filter)> askSaveName;
    std::function<QString()> folder;

private:
    void newPack();
    void openChosen();
    bool save(bool asNew);
    void addQuestion();
    void editPack();
    void changeStudent();
    void exportResults();
    void gatherResults();
    void exportForCourse();

    // Asks the student's name until one is taken; false on Cancel.
    bool askStudent(const QString& why);
    // The answers kept for this pack and student, from their file.
    void useProgress();
    void showPage();
    void enableItems();
    // The pack's question of a page's exercise id, and its student's
    // numbers and question to the judge.
    const workbench::packs::Question* questionOf(const QString& exercise) const;
    workbench::lessons::Question posedFor(const workbench::packs::Question& q) const;

    QWidget* window_;
    platform::Browser& browser_;
    workbench::wqzOptionPayoffs& workbench_;
    std::optional<workbench::packs::Pack> pack_;
    // The pack as its file holds it, to tell whether it changed since.
    std::optional<workbench::packs::Pack> saved_;
    QString path_;
    QString student_;
    ExerciseProgress* progress_ = nullptr;
    bool toldNotKept_ = false;
    std::vector<QAction*> needPack_;
};

} // namespace shell
