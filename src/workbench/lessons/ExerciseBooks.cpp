#include "ExerciseBooks.h"

#include "Lessons.h"

namespace workbench::exerciseBooks {

namespace {

namespace exercises = workbench::exercises;
namespace lessons = workbench::lessons;

} // namespace

bool known(const QString& id) {
    return exercises::find(id) != nullptr || lessons::find(id) != nullptr;
}

exercises::Verdict check(const QString& id, const QString& typed) {
    if (const exercises::Exercise* e = exercises::find(id)) {
        return exercises::check(*e, typed);
    }
    if (const lessons::Exercise* e = lessons::find(id)) {
        return lessons::check(*e, typed);
    }
    return {exercises::Outcome::Unreadable, QStringLiteral("The tutorial has no such exercise.")};
}

QString hint(const QString& id) {
    if (const exercises::Exercise* e = exercises::find(id)) {
        return exercises::hint(*e);
    }
    const lessons::Exercise* e = lessons::find(id);
    return e && e->hint ? QString::fromUtf16(e->hint) : QString();
}

QString tryIt(const QString& id) {
    if (const exercises::Exercise* e = exercises::find(id)) {
        return exercises::tryIt(*e);
    }
    const lessons::Exercise* e = lessons::find(id);
    return e && e->link ? QString::fromUtf16(e->link) : QString();
}

QString trueAnswer(const QString& id) {
    if (const exercises::Exercise* e = exercises::find(id)) {
        return exercises::trueAnswer(*e);
    }
    const lessons::Exercise* e = lessons::find(id);
    return e ? lessons::trueAnswer(*e) : QString();
}

} // namespace workbench::exerciseBooks
