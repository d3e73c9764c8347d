// The pack open: made, opened, written and saved, and the File menu's items
// for it.
#include "PackDesk.h"

#include "ExerciseProgress.h"
#include "PackEditor.h"
#include "PackQuestionDialog.h"
#include "Wording.h"
#include "platform/Browser.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/FailureGuard.h"
#include "platform/WholeFile.h"
#include "services/Sites.h"
#include "workbench/control/wqzOptionPayoffs.h"
#include "workbench/model/WorkbenchLink.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QUrl>

namespace shell {

namespace packs = workbench::packs;

namespace {

const QString kPackFiles = QStringLiteral("Exercise packs (*.wqzpack);;All files (*)");
const QString kPage = services::sites::tutorialFolder + QStringLiteral("pack.htm");

QAction* item(QMenu* menu, const char* name, const char* caption, const char* tip) {
    QAction* a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(QString::fromLatin1(name));
    a->setStatusTip(QString::fromLatin1(tip));
    return a;
}

} // namespace

PackDesk::PackDesk(QWidget* window, platform::Browser& browser,
                   workbench::wqzOptionPayoffs& workbench, QObject* parent)
    : QObject(parent), window_(window), browser_(browser), workbench_(workbench) {}

PackDesk::~PackDesk() = default;

QString PackDesk::pageAddress() {
    using services::sites::Site;
    return services::sites::siteAddress(Site::Modules,
                                        services::sites::modulesFolder(Site::Modules) + kPage);
}

void PackDesk::addTo(QMenu* file) {
    using platform::guarded;
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileSepPack"));
    QAction* make = item(file, "mnuNewPack", "New Pac&k...",
                         "Starts an exercise pack of questions of your own for students");
    QAction* open = item(file, "mnuOpenPack", "Ope&n Pack...",
                         "Opens an exercise pack and shows its questions with your own numbers");
    QAction* add = item(file, "mnuAddPackQuestion", "Add &Question from Workbench...",
                        "Adds a question on the position and inputs on the workbench now");
    QAction* edit = item(file, "mnuEditPack", "Ed&it Pack...",
                         "Changes the pack's title and instructions; reorders, edits and removes "
                         "its questions");
    QAction* save = item(file, "mnuSavePack", "Save Pack", "Keeps the pack in its file");
    QAction* saveAs = item(file, "mnuSavePackAs", "Save Pack As...", "Keeps the pack in a file");
    QAction* student = item(file, "mnuPackStudent", "Change Studen&t Name...",
                            "Answers the pack under another name or number, with its numbers");
    QAction* results = item(file, "mnuExportResults", "Export Resu&lts...",
                            "Saves your answers to the pack as comma-separated values to hand in");
    QAction* gather = item(file, "mnuGatherResults", "&Gather Results...",
                           "Reads a folder of students' results into one table");
    QAction* course = item(file, "mnuExportCourse", "Export Pack for a Co&urse...",
                           "Writes the pack's questions in variants as Moodle XML and GIFT");
    needPack_ = {add, edit, save, saveAs, results, course};
    connect(make, &QAction::triggered, this, guarded([this] { newPack(); }));
    connect(open, &QAction::triggered, this, guarded([this] { openChosen(); }));
    connect(add, &QAction::triggered, this, guarded([this] { addQuestion(); }));
    connect(edit, &QAction::triggered, this, guarded([this] { editPack(); }));
    connect(save, &QAction::triggered, this, guarded([this] { this->save(false); }));
    connect(saveAs, &QAction::triggered, this, guarded([this] { this->save(true); }));
    connect(student, &QAction::triggered, this, guarded([this] { changeStudent(); }));
    connect(results, &QAction::triggered, this, guarded([this] { exportResults(); }));
    connect(gather, &QAction::triggered, this, guarded([this] { gatherResults(); }));
    connect(course, &QAction::triggered, this, guarded([this] { exportForCourse(); }));
    enableItems();
}

void PackDesk::enableItems() {
    for (QAction* a : needPack_) {
        a->setEnabled(pack_.has_value());
    }
}

bool PackDesk::mayGo(const QString& before) {
    if (!pack_ || pack_ == saved_) {
        return true;
    }
    const int answer = platform::dialogs().msgBox(
        QStringLiteral("The exercise pack \"%1\" has changed since it was last saved. Save it "
                       "before %2?")
            .arg(pack_->title, before),
        platform::Dialogs::Buttons::SaveDiscardCancel, platform::Dialogs::Icon::Question);
    if (answer == platform::Dialogs::answerSave) {
        return save(false);
    }
    return answer == platform::Dialogs::answerDiscard;
}

void PackDesk::newPack() {
    if (!mayGo(QStringLiteral("starting a new one"))) {
        return;
    }
    const std::optional<QString> title =
        platform::dialogs().askText(QStringLiteral("The new exercise pack's title:"), QString(),
                                    int(packs::limits::longestTitle));
    if (!title) {
        return;
    }
    if (title->trimmed().isEmpty()) {
        tell(QStringLiteral("A pack needs a title; no pack was started."));
        return;
    }
    pack_ = packs::newPack(title->trimmed());
    saved_.reset();
    path_.clear();
    useProgress();
    enableItems();
    showPage();
}

void PackDesk::openChosen() {
    if (!mayGo(QStringLiteral("opening another"))) {
        return;
    }
    const QString path = askOpenName(QStringLiteral("Open Pack"), kPackFiles);
    if (!path.isEmpty()) {
        open(path);
    }
}

bool PackDesk::open(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const auto refuse = [&name](const QString& reason) {
        tell(QStringLiteral("%1 cannot be opened as an exercise pack: %2")
                 .arg(name, asSentence(reason)));
        return false;
    };
    if (!QFileInfo::exists(path)) {
        return refuse(QStringLiteral("there is no such file."));
    }
    const platform::FileBytes file = platform::readWholeFile(path, packs::limits::largestFile);
    if (!file.bytes) {
        return refuse(file.problem.isEmpty()
                          ? QStringLiteral("the file is larger than %1 KB; a pack is far smaller.")
                                .arg(packs::limits::largestFile / 1024)
                          : file.problem);
    }
    packs::Reading reading = packs::fromJson(*file.bytes);
    if (!reading.pack) {
        return refuse(reading.problem);
    }
    if (student_.isEmpty() &&
        !askStudent(QStringLiteral("Each student answers the pack with numbers of their own."))) {
        return false;
    }
    pack_ = std::move(reading.pack);
    saved_ = pack_;
    path_ = QFileInfo(path).absoluteFilePath();
    useProgress();
    enableItems();
    showPage();
    return true;
}

bool PackDesk::save(bool asNew) {
    if (!pack_) {
        return false;
    }
    QString path = path_;
    if (asNew || path.isEmpty()) {
        path = askSaveName(QStringLiteral("Save Pack As"), kPackFiles);
        if (path.isEmpty()) {
            return false;
        }
    }
    packs::Pack next = *pack_;
    // A revision names what the students were handed: each saved change is
    // a new one.
    if (saved_ && next != *saved_) {
        next.revision = std::min(next.revision + 1, packs::limits::highestRevision);
    }
    const QByteArray bytes = packs::toJson(next);
    // Written only as the reader takes it back, so that no pack the program
    // writes is one it refuses.
    const packs::Reading back = packs::fromJson(bytes);
    const QString why = !back.pack ? back.problem : platform::writeWholeFile(path, bytes);
    const QString name = QFileInfo(path).fileName();
    if (!why.isEmpty()) {
        tell(QStringLiteral("The pack could not be saved as %1: %2").arg(name, asSentence(why)));
        return false;
    }
    const bool sameRevision = next.revision == pack_->revision;
    pack_ = next;
    saved_ = next;
    path_ = QFileInfo(path).absoluteFilePath();
    if (!sameRevision) {
        showPage();
    }
    return true;
}

void PackDesk::addQuestion() {
    if (!pack_) {
        return;
    }
    if (int(pack_->questions.size()) >= packs::limits::mostQuestions) {
        tell(QStringLiteral("The pack holds %1 questions, the most a pack takes.")
                 .arg(packs::limits::mostQuestions));
        return;
    }
    namespace links = workbench::links;
    const links::Sharing sharing = links::shareOf(workbench_.document());
    const links::Writing writing =
        sharing.load ? links::write(*sharing.load) : links::Writing{QString(), sharing.problem};
    const QString cannot =
        QStringLiteral("The position on the workbench cannot be a pack's question. ");
    if (!writing.problem.isEmpty()) {
        tell(cannot + writing.problem);
        return;
    }
    if (writing.link.size() > packs::limits::longestSituation) {
        tell(cannot + QStringLiteral("It is too large: a question's position takes a few dozen "
                                     "rows at most."));
        return;
    }
    packs::Question start;
    start.id = packs::nextQuestionId(*pack_);
    start.situation = writing.link;
    start.price = sharing.load->market.price.value_or(50);
    if (const QString why = packs::problemOf(start); !why.isEmpty()) {
        tell(cannot + asSentence(why));
        return;
    }
    if (std::optional<packs::Question> q = askQuestion(window_, start, false)) {
        pack_->questions.push_back(std::move(*q));
        showPage();
    }
}

void PackDesk::editPack() {
    if (!pack_) {
        return;
    }
    const auto edit = [this](const packs::Question& q) { return askQuestion(window_, q, true); };
    if (std::optional<packs::Pack> edited = shell::editPack(window_, *pack_, edit)) {
        if (*edited != *pack_) {
            pack_ = std::move(edited);
            showPage();
        }
    }
}

void PackDesk::changeStudent() {
    if (askStudent(QString()) && pack_) {
        useProgress();
        showPage();
    }
}

bool PackDesk::askStudent(const QString& why) {
    QString typed = student_;
    for (;;) {
        const std::optional<QString> answer = platform::dialogs().askText(
            (why.isEmpty() ? QString() : why + u' ') +
                QStringLiteral("Your name or student number, as your instructor knows it:"),
            typed, int(packs::limits::longestStudent));
        if (!answer) {
            return false;
        }
        const QString problem = packs::studentProblem(*answer);
        if (problem.isEmpty()) {
            student_ = answer->simplified();
            emit studentChosen(student_);
            return true;
        }
        tell(problem);
        typed = *answer;
    }
}

void PackDesk::showPage() {
    if (!pack_) {
        return;
    }
    // An instructor making a pack sees it as a student would, with the
    // numbers of the name given.
    if (student_.isEmpty() &&
        !askStudent(QStringLiteral("The pack's page shows the numbers drawn for one name."))) {
        return;
    }
    if (pageShown()) {
        fillPage();
    } else {
        browser_.navigate(pageAddress());
        platform::eventPump().doEvents();
    }
}

bool PackDesk::pageShown() const {
    const QUrl shown(browser_.LocationURL());
    return shown.path().endsWith(u'/' + kPage) &&
           services::sites::siteNamed(shown.host()).has_value();
}

} // namespace shell
