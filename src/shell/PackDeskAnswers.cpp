// The student's side of a pack: the page of questions with the student's
// own numbers, the answers judged and kept, and what leaves the program:
// the results handed in, a class's results gathered, and the questions for
// a course's platform.
#include "ExerciseProgress.h"
#include "PackDesk.h"
#include "PageScripts.h"
#include "Wording.h"
#include "platform/Browser.h"
#include "platform/Dialogs.h"
#include "platform/FailureGuard.h"
#include "platform/WholeFile.h"
#include "workbench/lessons/PackCourse.h"
#include "workbench/lessons/PackResults.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QStandardPaths>

namespace shell {

namespace packs = workbench::packs;
namespace lessons = workbench::lessons;

namespace {

const QString kExercisePrefix = QStringLiteral("pack-");
// Far more results than a class hands in; a folder holding more is not a
// class's.
constexpr int kMostResultFiles = 2000;

void tell(const QString& text,
          platform::Dialogs::Icon icon = platform::Dialogs::Icon::Exclamation) {
    platform::dialogs().msgBox(text, platform::Dialogs::Buttons::Ok, icon);
}

bool packExercise(const QString& id) {
    static const QRegularExpression form(QStringLiteral("^pack-q[1-9][0-9]{0,3}$"));
    return form.match(id).hasMatch();
}

} // namespace

void PackDesk::useProgress() {
    delete progress_;
    progress_ = nullptr;
    if (!pack_ || student_.isEmpty()) {
        return;
    }
    // A file of each pack and student, named by neither in the clear.
    const QByteArray key = (pack_->id + u'\n' + packs::studentKey(student_)).toUtf8();
    const QString name = QString::fromLatin1(
        QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(32));
    progress_ =
        new ExerciseProgress(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                                 QStringLiteral("/packs/%1.json").arg(name),
                             this);
    progress_->load(&packExercise);
    connect(progress_, &ExerciseProgress::notKept, this, [this](const QString& reason) {
        platform::runGuarded([this, reason] {
            if (!toldNotKept_) {
                toldNotKept_ = true;
                tell(QStringLiteral("Your answers to the pack cannot be kept for the next time the "
                                    "program runs: %1 They are kept until the program closes.")
                         .arg(asSentence(reason)));
            }
        });
    });
}

void PackDesk::finishWriting(int ms) {
    if (progress_) {
        progress_->finishWriting(ms);
    }
}

bool PackDesk::takes(const QString& exercise) const {
    return questionOf(exercise) != nullptr;
}

const packs::Question* PackDesk::questionOf(const QString& exercise) const {
    if (!pack_ || !exercise.startsWith(kExercisePrefix)) {
        return nullptr;
    }
    for (const packs::Question& q : pack_->questions) {
        if (exercise.mid(kExercisePrefix.size()) == q.id) {
            return &q;
        }
    }
    return nullptr;
}

lessons::Question PackDesk::posedFor(const packs::Question& q) const {
    return packs::posed(q, packs::draw(*pack_, q, student_));
}

void PackDesk::check(const QString& exercise, const QString& answer) {
    const packs::Question* q = questionOf(exercise);
    if (!q || !progress_) {
        return;
    }
    const lessons::Question posed = posedFor(*q);
    const workbench::exercises::Verdict verdict = lessons::check(posed, answer);
    using workbench::exercises::Outcome;
    QJsonObject help;
    if (verdict.outcome != Outcome::Unreadable) {
        const ExerciseProgress::State state =
            progress_->answered(exercise, verdict.outcome == Outcome::Right, answer);
        if (verdict.outcome == Outcome::Wrong) {
            help.insert(QStringLiteral("hint"),
                        q->hint.isEmpty()
                            ? QStringLiteral("Set it up on the workbench and read the figure off "
                                             "the diagram or the read-out.")
                            : q->hint);
            help.insert(QStringLiteral("tryIt"), posed.link);
            if (state.standing == ExerciseProgress::Standing::Shown) {
                const QString truth = lessons::trueAnswer(posed);
                help.insert(QStringLiteral("answer"),
                            truth.isEmpty()
                                ? QStringLiteral("The program finds no answer to this one.")
                                : QStringLiteral("The answer is %1.").arg(truth));
            }
        }
    }
    const QString outcome = verdict.outcome == Outcome::Right   ? QStringLiteral("right")
                            : verdict.outcome == Outcome::Wrong ? QStringLiteral("wrong")
                                                                : QStringLiteral("unreadable");
    browser_.runScript(pageScripts::verdict(QJsonArray{exercise, outcome, verdict.message, help}));
}

void PackDesk::reveal(const QString& exercise) {
    const packs::Question* q = questionOf(exercise);
    if (!q || !progress_) {
        return;
    }
    progress_->shown(exercise);
    const QString truth = lessons::trueAnswer(posedFor(*q));
    const QJsonObject help{
        {QStringLiteral("answer"), truth.isEmpty()
                                       ? QStringLiteral("The program finds no answer to this one.")
                                       : QStringLiteral("The answer is %1.").arg(truth)}};
    browser_.runScript(
        pageScripts::verdict(QJsonArray{exercise, QStringLiteral("shown"), QString(), help}));
}

void PackDesk::fillPage() {
    if (!pack_ || student_.isEmpty()) {
        return;
    }
    QJsonArray questions;
    int number = 0;
    for (const packs::Question& q : pack_->questions) {
        const packs::Numbers numbers = packs::draw(*pack_, q, student_);
        const lessons::Question posed = packs::posed(q, numbers);
        questions.append(QJsonObject{
            {QStringLiteral("exercise"), kExercisePrefix + q.id},
            {QStringLiteral("number"), ++number},
            {QStringLiteral("text"), q.text},
            {QStringLiteral("asked"), packs::asked(q, posed)},
            {QStringLiteral("numbers"), packs::numbersText(q, numbers)},
            {QStringLiteral("tryIt"), posed.link},
            {QStringLiteral("percent"), lessons::inPercent(q.asks)},
        });
    }
    const QJsonObject data{{QStringLiteral("title"), pack_->title},
                           {QStringLiteral("instructions"), pack_->instructions},
                           {QStringLiteral("student"), student_},
                           {QStringLiteral("revision"), pack_->revision},
                           {QStringLiteral("questions"), questions}};
    browser_.runScript(pageScripts::call("wqzPack.show", data));
    QJsonObject states;
    if (progress_) {
        const ExerciseProgress::States& all = progress_->states();
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            states.insert(it.key(), ExerciseProgress::word(it->standing));
        }
    }
    browser_.runScript(pageScripts::states(states));
}

void PackDesk::exportResults() {
    if (!pack_ || student_.isEmpty()) {
        return;
    }
    std::vector<workbench::packresults::Row> rows;
    int number = 0;
    for (const packs::Question& q : pack_->questions) {
        workbench::packresults::Row row;
        row.number = ++number;
        row.questionId = q.id;
        row.numbers = packs::numbersText(q, packs::draw(*pack_, q, student_));
        if (progress_) {
            const auto it = progress_->states().constFind(kExercisePrefix + q.id);
            if (it != progress_->states().cend()) {
                row.answer = it->lastAnswer;
                row.right = it->standing == ExerciseProgress::Standing::Right;
                row.shown = it->standing == ExerciseProgress::Standing::Shown;
                row.tries = it->tries;
            }
        }
        rows.push_back(row);
    }
    const QString path = platform::dialogs().saveFileName(
        QStringLiteral("Export Results"), QStringLiteral("Comma-separated values (*.csv)"),
        folder ? folder() : QString());
    if (path.isEmpty()) {
        return;
    }
    emit folderChosen(QFileInfo(path).absolutePath());
    const QString why =
        platform::writeWholeFile(path, workbench::packresults::csv(*pack_, student_, rows));
    if (!why.isEmpty()) {
        tell(QStringLiteral("The results could not be saved as %1: %2")
                 .arg(QFileInfo(path).fileName(), asSentence(why)));
    }
}

void PackDesk::gatherResults() {
    const QString from = platform::dialogs().folderName(QStringLiteral("Gather Results"),
                                                        folder ? folder() : QString());
    if (from.isEmpty()) {
        return;
    }
    const QFileInfoList entries = QDir(from).entryInfoList(
        {QStringLiteral("*.csv")}, QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    if (entries.size() > kMostResultFiles) {
        tell(
            QStringLiteral("The folder holds %1 files of results; at most %2 are gathered at once.")
                .arg(entries.size())
                .arg(kMostResultFiles));
        return;
    }
    std::vector<std::pair<QString, QByteArray>> files;
    QStringList unread;
    for (const QFileInfo& entry : entries) {
        // A pipe or a device named .csv is told and passed over, never waited on.
        const platform::FileBytes file =
            platform::readWholeFile(entry.filePath(), workbench::packresults::largestResults);
        if (file.bytes) {
            files.emplace_back(entry.fileName(), *file.bytes);
        } else {
            unread << entry.fileName() + QStringLiteral(": ") +
                          (file.problem.isEmpty() ? QStringLiteral("too large for results.")
                                                  : asSentence(file.problem));
        }
    }
    workbench::packresults::Gathered gathered = workbench::packresults::gather(files);
    unread << gathered.refused;
    if (gathered.files == 0) {
        tell(QStringLiteral("No results of a pack were found in %1.")
                 .arg(QDir::toNativeSeparators(from)) +
             (unread.isEmpty() ? QString() : u'\n' + unread.mid(0, 10).join(u'\n')));
        return;
    }
    const QString path =
        platform::dialogs().saveFileName(QStringLiteral("Save Gathered Results"),
                                         QStringLiteral("Comma-separated values (*.csv)"), from);
    if (path.isEmpty()) {
        return;
    }
    if (const QString why = platform::writeWholeFile(path, gathered.csv); !why.isEmpty()) {
        tell(QStringLiteral("The table could not be saved as %1: %2")
                 .arg(QFileInfo(path).fileName(), asSentence(why)));
        return;
    }
    QString said = QStringLiteral("The table holds the results of %1 %2.")
                       .arg(gathered.files)
                       .arg(gathered.files == 1 ? u"file" : u"files");
    if (!unread.isEmpty()) {
        said += QStringLiteral(" Not taken:\n") + unread.mid(0, 10).join(u'\n') +
                (unread.size() > 10 ? QStringLiteral("\n(and %1 more)").arg(unread.size() - 10)
                                    : QString());
    }
    tell(said, platform::Dialogs::Icon::Information);
}

void PackDesk::exportForCourse() {
    if (!pack_) {
        return;
    }
    if (pack_->questions.empty()) {
        tell(QStringLiteral("The pack has no questions to export yet."));
        return;
    }
    const std::optional<int> variants = platform::dialogs().askNumber(
        QStringLiteral("Variants of each question, each with numbers of its own:"), 5, 1,
        packs::limits::mostVariants);
    if (!variants) {
        return;
    }
    const QString path = platform::dialogs().saveFileName(
        QStringLiteral("Export Pack for a Course"),
        QStringLiteral("Moodle XML, with GIFT text beside it (*.xml)"),
        folder ? folder() : QString());
    if (path.isEmpty()) {
        return;
    }
    emit folderChosen(QFileInfo(path).absolutePath());
    const QString giftPath = QFileInfo(path).path() + u'/' + QFileInfo(path).completeBaseName() +
                             QStringLiteral(".gift");
    int leftOut = 0;
    // An American position takes a tenth of a second a variant: the window
    // keeps drawing, tells how far it got, and the instructor may stop it.
    QProgressDialog wait(QStringLiteral("Finding each variant's answer..."),
                         QStringLiteral("Cancel"), 0, 1, window_);
    wait.setWindowModality(Qt::WindowModal);
    wait.setMinimumDuration(400);
    const std::optional<std::vector<workbench::packcourse::Variant>> all =
        workbench::packcourse::variantsOf(*pack_, *variants, &leftOut,
                                          [&wait](int done, int total) {
                                              wait.setMaximum(total);
                                              wait.setValue(done);
                                              QCoreApplication::processEvents();
                                              return !wait.wasCanceled();
                                          });
    wait.reset();
    if (!all) {
        return;
    }
    const QByteArray xml = workbench::packcourse::moodleXml(*pack_, *all, *variants);
    const QByteArray gift = workbench::packcourse::gift(*pack_, *all, *variants).toUtf8();
    QString why = platform::writeWholeFile(path, xml);
    if (why.isEmpty()) {
        why = platform::writeWholeFile(giftPath, gift);
    }
    if (!why.isEmpty()) {
        tell(QStringLiteral("The pack could not be exported: %1").arg(asSentence(why)));
        return;
    }
    tell(QStringLiteral("%1 and %2 hold %3 variants of each of the pack's %4 questions.")
                 .arg(QFileInfo(path).fileName(), QFileInfo(giftPath).fileName())
                 .arg(*variants)
                 .arg(pack_->questions.size()) +
             (leftOut > 0 ? QStringLiteral(" %1 variants had no answer the program could find and "
                                           "were left out.")
                                .arg(leftOut)
                          : QString()),
         platform::Dialogs::Icon::Information);
}

} // namespace shell
