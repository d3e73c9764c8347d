#pragma once

#include "ExerciseProgress.h"
#include "workbench/lessons/Exercises.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <optional>

// The scripts by which the program answers the tutorial's pages. The page
// hears the program through its functions, given JSON, which quotes whatever
// the texts hold, so none of them can end the script: a pack's texts come
// from a file anyone may have written.
namespace shell::pageScripts {

inline QString call(const char* function, const QJsonValue& argument, bool spread = false) {
    const QByteArray json = argument.isArray()
                                ? QJsonDocument(argument.toArray()).toJson(QJsonDocument::Compact)
                                : QJsonDocument(argument.toObject()).toJson(QJsonDocument::Compact);
    const QString name = QString::fromLatin1(function);
    const QString object = name.section(u'.', 0, 0);
    return spread
               ? QStringLiteral("window.%1 && %2.apply(null, %3);")
                     .arg(object, name, QString::fromUtf8(json))
               : QStringLiteral("window.%1 && %2(%3);").arg(object, name, QString::fromUtf8(json));
}

// wqzExercises.verdict(id, outcome, message, help).
inline QString verdict(const QJsonArray& arguments) {
    return call("wqzExercises.verdict", arguments, true);
}

// wqzExercises.show({id: standing}).
inline QString states(const QJsonObject& states) {
    return call("wqzExercises.show", states);
}

// The sentence that gives an exercise's true answer, or says there is none.
inline QString answerSentence(const QString& truth) {
    return truth.isEmpty() ? QStringLiteral("The program finds no answer to this one.")
                           : QStringLiteral("The answer is %1.").arg(truth);
}

// What a page is told after a wrong answer: what to look at, the link to
// the situation, and the true answer, asked for only once it is shown.
struct Help {
    QString hint;
    QString tryIt;
    std::function<QString()> truth;
};

// An exercise's answer judged: recorded in `progress` (with the answer as
// typed, when given), and the page told the verdict, with the help after a
// wrong answer and the true answer after the second.
inline QString answered(const QString& exercise, const workbench::exercises::Verdict& verdict,
                        ExerciseProgress& progress, const std::optional<QString>& typed,
                        const Help& given) {
    using workbench::exercises::Outcome;
    QJsonObject help;
    if (verdict.outcome != Outcome::Unreadable) {
        const ExerciseProgress::State state =
            progress.answered(exercise, verdict.outcome == Outcome::Right, typed);
        if (verdict.outcome == Outcome::Wrong) {
            help.insert(QStringLiteral("hint"), given.hint);
            help.insert(QStringLiteral("tryIt"), given.tryIt);
            // Shown after the second wrong answer, or again once shown.
            if (state.standing == ExerciseProgress::Standing::Shown) {
                help.insert(QStringLiteral("answer"), answerSentence(given.truth()));
            }
        }
    }
    const QString outcome = verdict.outcome == Outcome::Right   ? QStringLiteral("right")
                            : verdict.outcome == Outcome::Wrong ? QStringLiteral("wrong")
                                                                : QStringLiteral("unreadable");
    return pageScripts::verdict(QJsonArray{exercise, outcome, verdict.message, help});
}

// The true answer the student asked for: recorded, and the page told.
inline QString shown(const QString& exercise, ExerciseProgress& progress, const QString& truth) {
    progress.shown(exercise);
    const QJsonObject help{{QStringLiteral("answer"), answerSentence(truth)}};
    return pageScripts::verdict(QJsonArray{exercise, QStringLiteral("shown"), QString(), help});
}

} // namespace shell::pageScripts
