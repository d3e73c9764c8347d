// Who answers a pack, and the texts a pack's fields may hold: apart from
// the rest of the packs, so that the settings, which keep the name, need
// nothing of the judge.
#include "Packs.h"

namespace workbench::packs {

QString studentProblem(const QString& student) {
    if (studentKey(student).isEmpty()) {
        return QStringLiteral("Type your name or your student number.");
    }
    if (student.trimmed().size() > limits::longestStudent || holdsControl(student, false)) {
        return QStringLiteral("A name or number takes at most %1 characters, with no control "
                              "characters.")
            .arg(limits::longestStudent);
    }
    return QString();
}

bool holdsControl(const QString& text, bool lineBreaks) {
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control && !(lineBreaks && (c == u'\n' || c == u'\t'))) {
            return true;
        }
    }
    return false;
}

QString studentKey(const QString& student) {
    return student.simplified().toCaseFolded();
}

} // namespace workbench::packs
