// The instructor's pack as a whole: its title and instructions, and its
// questions put in order, edited or taken out.
#include "PackEditor.h"

#include "PackQuestionDialog.h"
#include "platform/FailureGuard.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <utility>

namespace shell {

namespace {

namespace packs = workbench::packs;
using Edit = std::function<std::optional<packs::Question>(const packs::Question&)>;

// Enough of the instructor's text to tell two questions of a kind apart.
constexpr qsizetype kWordsShown = 8;

QString entryText(int index, const packs::Question& q) {
    QString line = QStringLiteral("%1. %2 (%3)").arg(index + 1).arg(packs::asksWords(q.asks), q.id);
    const QStringList words = q.text.simplified().split(u' ', Qt::SkipEmptyParts);
    if (!words.isEmpty()) {
        line += QStringLiteral(": ") + QStringList(words.mid(0, kWordsShown)).join(u' ');
        if (words.size() > kWordsShown) {
            line += QChar(0x2026);
        }
    }
    return line;
}

QPushButton* sideButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter stays OK's wherever the focus is, as in the rest of the dialog.
    button->setAutoDefault(false);
    return button;
}

class PackEditorDialog : public QDialog {
public:
    PackEditorDialog(QWidget* parent, packs::Pack pack, Edit edit);
    packs::Pack pack() const;

private:
    void showQuestions(int current);
    void enableButtons();
    void move(int by);
    void removeCurrent();
    void editCurrent();
    void tryAccept();

    packs::Pack pack_;
    Edit edit_;
    QLineEdit* title_ = nullptr;
    QPlainTextEdit* instructions_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
    QPushButton* editButton_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLabel* problem_ = nullptr;
};

PackEditorDialog::PackEditorDialog(QWidget* parent, packs::Pack pack, Edit edit)
    : QDialog(parent), pack_(std::move(pack)), edit_(std::move(edit)) {
    setObjectName(QStringLiteral("dlgPackEditor"));
    setWindowTitle(QStringLiteral("Edit Pack"));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    column->addLayout(form);

    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("txtPackTitle"));
    title_->setMaxLength(int(packs::limits::longestTitle));
    title_->setText(pack_.title);
    title_->setAccessibleName(QStringLiteral("Title"));
    auto* titleLabel = new QLabel(QStringLiteral("&Title:"), this);
    titleLabel->setBuddy(title_);
    form->addRow(titleLabel, title_);

    instructions_ =
        new QPlainTextEdit(pack_.instructions.left(packs::limits::longestInstructions), this);
    instructions_->setObjectName(QStringLiteral("txtPackInstructions"));
    instructions_->setTabChangesFocus(true);
    instructions_->setAccessibleName(QStringLiteral("Instructions"));
    instructions_->setFixedHeight(instructions_->fontMetrics().lineSpacing() * 5 + 12);
    holdToLength(instructions_, packs::limits::longestInstructions);
    auto* instructionsLabel = new QLabel(QStringLiteral("&Instructions:"), this);
    instructionsLabel->setBuddy(instructions_);
    form->addRow(instructionsLabel, instructions_);

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("lstPackQuestions"));
    list_->setAccessibleName(QStringLiteral("Questions"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Wide enough to read a question's kind whole.
    list_->setMinimumWidth(list_->fontMetrics().averageCharWidth() * 64);
    auto* listLabel = new QLabel(QStringLiteral("&Questions:"), this);
    listLabel->setBuddy(list_);
    column->addWidget(listLabel);
    auto* row = new QHBoxLayout;
    column->addLayout(row);
    row->addWidget(list_, 1);
    auto* side = new QVBoxLayout;
    row->addLayout(side);
    up_ = sideButton(this, "cmdPackMoveUp", QStringLiteral("Move &Up"));
    down_ = sideButton(this, "cmdPackMoveDown", QStringLiteral("Move &Down"));
    editButton_ = sideButton(this, "cmdPackEdit", QStringLiteral("&Edit..."));
    remove_ = sideButton(this, "cmdPackRemove", QStringLiteral("&Remove"));
    for (QPushButton* button : {up_, down_, editButton_, remove_}) {
        side->addWidget(button);
    }
    side->addStretch();

    problem_ = addOkCancel(this, column, [this] { tryAccept(); });
    connect(up_, &QPushButton::clicked, this, platform::guarded([this] { move(-1); }));
    connect(down_, &QPushButton::clicked, this, platform::guarded([this] { move(1); }));
    connect(editButton_, &QPushButton::clicked, this, platform::guarded([this] { editCurrent(); }));
    connect(remove_, &QPushButton::clicked, this, platform::guarded([this] { removeCurrent(); }));
    connect(list_, &QListWidget::itemDoubleClicked, this,
            platform::guarded([this] { editCurrent(); }));
    connect(list_, &QListWidget::currentRowChanged, this, [this] { enableButtons(); });
    // The list's own keys: a shortcut takes Enter before the dialog does, so
    // that it edits the question rather than closing the dialog.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(key, list_);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this,
                platform::guarded([this] { editCurrent(); }));
    }
    auto* removal = new QShortcut(QKeySequence::Delete, list_);
    removal->setContext(Qt::WidgetShortcut);
    connect(removal, &QShortcut::activated, this, platform::guarded([this] { removeCurrent(); }));

    showQuestions(pack_.questions.empty() ? -1 : 0);
    title_->setFocus();
}

void PackEditorDialog::showQuestions(int current) {
    list_->clear();
    for (std::size_t i = 0; i < pack_.questions.size(); ++i) {
        list_->addItem(entryText(int(i), pack_.questions[i]));
    }
    list_->setCurrentRow(current);
    enableButtons();
}

void PackEditorDialog::enableButtons() {
    const int row = list_->currentRow();
    const int count = int(pack_.questions.size());
    up_->setEnabled(row > 0);
    down_->setEnabled(row >= 0 && row + 1 < count);
    editButton_->setEnabled(row >= 0);
    remove_->setEnabled(row >= 0);
}

void PackEditorDialog::move(int by) {
    const int row = list_->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= int(pack_.questions.size())) {
        return;
    }
    std::swap(pack_.questions[std::size_t(row)], pack_.questions[std::size_t(to)]);
    showQuestions(to);
}

void PackEditorDialog::removeCurrent() {
    const int row = list_->currentRow();
    if (row < 0) {
        return;
    }
    pack_.questions.erase(pack_.questions.begin() + row);
    // The question that took its place, or the new last one.
    showQuestions(std::min(row, int(pack_.questions.size()) - 1));
}

void PackEditorDialog::editCurrent() {
    const int row = list_->currentRow();
    if (row < 0 || !edit_) {
        return;
    }
    packs::Question& kept = pack_.questions[std::size_t(row)];
    std::optional<packs::Question> edited = edit_(kept);
    if (!edited) {
        return;
    }
    // The id stays the question's whatever its new form: a student's numbers
    // are drawn with it.
    edited->id = kept.id;
    kept = std::move(*edited);
    showQuestions(row);
}

void PackEditorDialog::tryAccept() {
    QString problem;
    if (title_->text().trimmed().isEmpty()) {
        problem = QStringLiteral("The pack needs a title: the students see it above the "
                                 "questions.");
    } else if (const packs::Reading back = packs::fromJson(packs::toJson(pack())); !back.pack) {
        // What the pack's reader would refuse is never written.
        problem = QStringLiteral("The pack cannot be kept as it is. ") + back.problem;
    }
    if (problem.isEmpty()) {
        accept();
        return;
    }
    problem_->setText(problem);
    problem_->show();
}

packs::Pack PackEditorDialog::pack() const {
    packs::Pack out = pack_;
    out.title = title_->text();
    out.instructions = instructions_->toPlainText();
    return out;
}

} // namespace

QLabel* addOkCancel(QDialog* dialog, QBoxLayout* column, const std::function<void()>& accept) {
    auto* problem = new QLabel(dialog);
    problem->setObjectName(QStringLiteral("lblPackProblem"));
    problem->setWordWrap(true);
    problem->setStyleSheet(QStringLiteral("color: #b00000"));
    problem->hide();
    column->addWidget(problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    column->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, platform::guarded(accept));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return problem;
}

std::optional<packs::Pack> editPack(QWidget* parent, const packs::Pack& pack, const Edit& edit) {
    PackEditorDialog dialog(parent, pack, edit);
    return dialog.exec() == QDialog::Accepted ? std::optional(dialog.pack()) : std::nullopt;
}

} // namespace shell
