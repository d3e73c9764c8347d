// The tutorial's exercises: answers judged, hints and true answers given,
// and the progress kept between runs and cleared on request.
#include "frmLumo.h"

#include "Wording.h"

#include "ExerciseProgress.h"
#include "PackDesk.h"
#include "PageScripts.h"
#include "platform/Browser.h"
#include "platform/Dialogs.h"
#include "platform/FailureGuard.h"
#include "workbench/lessons/ExerciseBooks.h"

namespace shell {

namespace exerciseBooks = workbench::exerciseBooks;

void frmLumo::createProgress() {
    progress_ = new ExerciseProgress(ExerciseProgress::defaultPath(), this);
    progress_->load(&exerciseBooks::known);
    connect(progress_, &ExerciseProgress::notKept, this, [this](const QString& reason) {
        platform::runGuarded([this, reason] { progressNotKept(reason); });
    });
}

void frmLumo::createPacks(QMenu* file) {
    packs_ = new PackDesk(this, browser_, *ucLumo, this);
    packs_->setStudent(kept_.student);
    packs_->askOpenName = [this](const QString& caption, const QString& filter) {
        return askOpenName(caption, filter);
    };
    packs_->askSaveName = [this](const QString& caption, const QString& filter) {
        return askSaveName(caption, filter);
    };
    packs_->folder = [this] { return kept_.folder; };
    connect(packs_, &PackDesk::studentChosen, this, [this](const QString& student) {
        kept_.student = student;
        keep();
    });
    packs_->addTo(file);
}

void frmLumo::progressNotKept(const QString& reason) {
    // Once a run: the student learns that closing loses the progress, and is
    // not interrupted at every answer after that.
    if (toldProgressNotKept_) {
        return;
    }
    toldProgressNotKept_ = true;
    platform::dialogs().msgBox(
        QStringLiteral("Your progress with the exercises cannot be kept for the next time the "
                       "program runs: %1 It is kept until the program closes.")
            .arg(asSentence(reason)),
        platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
}

bool frmLumo::exerciseKnown(const QString& exercise) {
    if (exerciseBooks::known(exercise)) {
        return true;
    }
    platform::dialogs().msgBox(
        QStringLiteral("The page's link to the workbench cannot be followed. The tutorial has no "
                       "exercise \"%1\".")
            .arg(exercise.left(40)),
        platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Exclamation);
    return false;
}

void frmLumo::checkExercise(const QString& exercise, const QString& answer) {
    browser_.runScript(pageScripts::answered(
        exercise, exerciseBooks::check(exercise, answer), *progress_, std::nullopt,
        {exerciseBooks::hint(exercise), exerciseBooks::tryIt(exercise),
         [&exercise] { return exerciseBooks::trueAnswer(exercise); }}));
}

void frmLumo::revealAnswer(const QString& exercise) {
    browser_.runScript(
        pageScripts::shown(exercise, *progress_, exerciseBooks::trueAnswer(exercise)));
}

void frmLumo::startOver() {
    const int answer = platform::dialogs().msgBox(
        QStringLiteral("Start the exercises over? What you have answered, and which answers "
                       "were shown, will be forgotten."),
        platform::Dialogs::Buttons::YesNoDefaultNo, platform::Dialogs::Icon::Question);
    if (answer != platform::Dialogs::answerYes) {
        return;
    }
    progress_->clear();
    showExerciseStates();
}

void frmLumo::showExerciseStates() {
    if (!tutorialPageShown()) {
        return;
    }
    if (packs_->pageShown()) {
        packs_->fillPage();
        return;
    }
    QJsonObject states;
    const ExerciseProgress::States& all = progress_->states();
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        states.insert(it.key(), ExerciseProgress::word(it->standing));
    }
    browser_.runScript(pageScripts::states(states));
}

} // namespace shell
