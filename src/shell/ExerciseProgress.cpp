#include "ExerciseProgress.h"

#include "platform/WholeFile.h"
#include "workbench/lessons/Exercises.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <cmath>

namespace shell {

namespace {

const QString kExercises = QStringLiteral("exercises");
const QString kState = QStringLiteral("state");
const QString kWrong = QStringLiteral("wrongAnswers");
const QString kTries = QStringLiteral("tries");
const QString kAnswer = QStringLiteral("answer");
// A pack's answer is kept as the judge reads it, no longer.
constexpr qsizetype kLongestAnswer = workbench::exercises::longestAnswer;

std::optional<ExerciseProgress::State> stateFrom(const QJsonValue& value) {
    const QJsonObject o = value.toObject();
    const QJsonValue wrong = o.value(kWrong);
    const QJsonValue tries = o.value(kTries);
    const QJsonValue answer = o.value(kAnswer);
    const qsizetype extra = qsizetype(!tries.isUndefined()) + qsizetype(!answer.isUndefined());
    if (!value.isObject() || o.size() != 2 + extra || !wrong.isDouble() ||
        !(tries.isUndefined() || tries.isDouble()) ||
        !(answer.isUndefined() || answer.isString())) {
        return std::nullopt;
    }
    const double counted = tries.toDouble(0);
    if (!(counted >= 0 && counted <= ExerciseProgress::mostWrongAnswers) ||
        counted != std::floor(counted) || answer.toString().size() > kLongestAnswer) {
        return std::nullopt;
    }
    const double count = wrong.toDouble();
    if (!(count >= 0 && count <= ExerciseProgress::mostWrongAnswers) ||
        count != std::floor(count)) {
        return std::nullopt;
    }
    ExerciseProgress::State state;
    state.wrongAnswers = int(count);
    state.tries = int(counted);
    state.lastAnswer = answer.toString();
    const QString standing = o.value(kState).toString();
    if (standing == ExerciseProgress::word(ExerciseProgress::Standing::Right)) {
        state.standing = ExerciseProgress::Standing::Right;
    } else if (standing == ExerciseProgress::word(ExerciseProgress::Standing::Shown)) {
        state.standing = ExerciseProgress::Standing::Shown;
    } else if (standing != ExerciseProgress::word(ExerciseProgress::Standing::Tried) || count < 1) {
        // Tried is only ever written after a wrong answer.
        return std::nullopt;
    }
    return state;
}

} // namespace

ExerciseProgress::ExerciseProgress(QString path, QObject* parent)
    : QObject(parent), writer_(std::move(path)) {
    connect(&writer_, &platform::LatestFileWriter::failed, this, &ExerciseProgress::notKept);
}

QString ExerciseProgress::word(Standing standing) {
    switch (standing) {
    case Standing::Right:
        return QStringLiteral("right");
    case Standing::Shown:
        return QStringLiteral("shown");
    case Standing::Tried:
        break;
    }
    return QStringLiteral("wrong");
}

QString ExerciseProgress::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/exercise-progress.json");
}

void ExerciseProgress::load(bool (*known)(const QString&)) {
    const platform::FileBytes file = platform::readWholeFile(writer_.path(), largestFile);
    // Held in memory from here on: what is answered now is written over it.
    states_ = file.bytes ? fromJson(*file.bytes, known) : States();
}

ExerciseProgress::State ExerciseProgress::answered(const QString& id, bool right,
                                                   const std::optional<QString>& typed) {
    State& state = states_[id];
    if (typed) {
        state.tries = std::min(state.tries + 1, mostWrongAnswers);
        state.lastAnswer = typed->left(kLongestAnswer);
    }
    if (right) {
        if (state.standing == Standing::Tried) {
            state.standing = Standing::Right;
        }
    } else if (state.standing == Standing::Right) {
        // The latest answer is what the contents page tells: a right answer
        // given once is not right for ever. It is wrong for the first time
        // again, so the next wrong one shows the answer, as on a first try.
        state.standing = Standing::Tried;
        state.wrongAnswers = 1;
    } else {
        state.wrongAnswers = std::min(state.wrongAnswers + 1, mostWrongAnswers);
        if (state.standing == Standing::Tried && state.wrongAnswers >= wrongBeforeShown) {
            state.standing = Standing::Shown;
        }
    }
    const State now = state;
    keep();
    return now;
}

ExerciseProgress::State ExerciseProgress::shown(const QString& id) {
    State& state = states_[id];
    if (state.standing != Standing::Right) {
        state.standing = Standing::Shown;
    }
    const State now = state;
    keep();
    return now;
}

void ExerciseProgress::clear() {
    states_.clear();
    keep();
}

bool ExerciseProgress::finishWriting(int ms) {
    return writer_.finish(ms);
}

QByteArray ExerciseProgress::toJson(const States& states) {
    QJsonObject exercises;
    for (auto it = states.cbegin(); it != states.cend(); ++it) {
        QJsonObject entry{{kState, word(it->standing)},
                          {kWrong, std::min(it->wrongAnswers, mostWrongAnswers)}};
        if (it->tries > 0) {
            entry.insert(kTries, std::min(it->tries, mostWrongAnswers));
            entry.insert(kAnswer, it->lastAnswer.left(kLongestAnswer));
        }
        exercises.insert(it.key(), entry);
    }
    return QJsonDocument(QJsonObject{{kExercises, exercises}}).toJson(QJsonDocument::Indented);
}

ExerciseProgress::States ExerciseProgress::fromJson(const QByteArray& bytes,
                                                    bool (*known)(const QString&)) {
    if (bytes.size() > largestFile) {
        return {};
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    const QJsonValue exercises = document.object().value(kExercises);
    if (error.error != QJsonParseError::NoError || !exercises.isObject()) {
        return {};
    }
    States states;
    const QJsonObject all = exercises.toObject();
    for (auto it = all.begin(); it != all.end(); ++it) {
        const std::optional<State> state = stateFrom(it.value());
        if (state && (!known || known(it.key()))) {
            states.insert(it.key(), *state);
        }
    }
    return states;
}

void ExerciseProgress::keep() {
    writer_.write(toJson(states_));
}

} // namespace shell
