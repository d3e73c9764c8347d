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
#include <QStandardPaths>

namespace shell {

namespace packs = workbench::packs;
namespace lessons = workbench::lessons;

namespace {

const QString kExercisePrefix = QStringLiteral("pack-");
// Far more results than a class hands in; a folder holding more is not a
// class's.
constexpr int kMostResultFiles = 2000;

bool packExercise(const QString& id) {
    return id.startsWith(kExercisePrefix) && packs::isQuestionId(id.mid(kExercisePrefix.size()));
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
    browser_.runScript(pageScripts::answered(
        exercise, lessons::check(posed, answer), *progress_, answer,
        {q->hint.isEmpty() ? QStringLiteral("Set it up on the workbench and read the figure off "
                                            "the diagram or the read-out.")
                           : q->hint,
         posed.link, [&posed] { return lessons::trueAnswer(posed); }}));
}

void PackDesk::reveal(const QString& exercise) {
    const packs::Question* q = questionOf(exercise);
    if (!q || !progress_) {
        return;
    }
    browser_.runScript(pageScripts::shown(exercise, *progress_, lessons::trueAnswer(posedFor(*q))));
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
            {QStringLiteral("numbers"), packs::numbersText(numbers)},
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
        row.numbers = packs::numbersText(packs::draw(*pack_, q, student_));
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
    const QString path = askSaveName(QStringLiteral("Export Results"),
                                     QStringLiteral("Comma-separated values (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    const QString why =
        platform::writeWholeFile(path, workbench::packresults::csv(*pack_, student_, rows));
    if (!why.isEmpty()) {
        tell(QStringLiteral("The results could not be saved as %1: %2")
                 .arg(QFileInfo(path).fileName(), asSentence(why)));
    }
}

void PackDesk::gatherResults() {
    const QString from = platform::dialogs().folderName(QStringLiteral("Gather Results"), folder());
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
    const QString path =
        askSaveName(QStringLiteral("Export Pack for a Course"),
                    QStringLiteral("Moodle XML, with GIFT text beside it (*.xml)"));
    if (path.isEmpty()) {
        return;
    }
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
