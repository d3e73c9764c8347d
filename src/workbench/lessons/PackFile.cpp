// A pack's file: read field by field, each question held to problemOf, and
// written so that it reads back the same.
#include "Packs.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>

namespace workbench::packs {

namespace {

const QString kFormat = QStringLiteral("wqz-exercise-pack");

QString number(double value) {
    return QString::number(value, 'g', 12);
}

using lessons::Asks;

// Each question's field in the file.
const QString kId = QStringLiteral("id");
const QString kText = QStringLiteral("text");
const QString kSituation = QStringLiteral("situation");
const QString kAsksKey = QStringLiteral("asks");
const QString kPrice = QStringLiteral("price");
const QString kAtToday = QStringLiteral("atTodaysPrice");
const QString kTolerance = QStringLiteral("tolerance");
const QString kHint = QStringLiteral("hint");
const QString kVary = QStringLiteral("vary");

std::optional<Question> questionFrom(const QJsonObject& o, QString& problem) {
    Question q;
    const auto text = [&](const QString& field, QString& into) {
        const QJsonValue v = o.value(field);
        if (v.isUndefined()) {
            return true;
        }
        if (!v.isString()) {
            problem = QStringLiteral("its %1 is not a text.").arg(field);
            return false;
        }
        into = v.toString();
        return true;
    };
    if (!o.value(kId).isString() || !o.value(kSituation).isString() ||
        !o.value(kAsksKey).isString()) {
        problem = QStringLiteral("it lacks an id, a situation or what it asks.");
        return std::nullopt;
    }
    q.id = o.value(kId).toString();
    q.situation = o.value(kSituation).toString();
    const std::optional<Asks> asks = asksNamed(o.value(kAsksKey).toString());
    if (!asks) {
        problem = QStringLiteral("it asks for \"%1\", which the program does not judge.")
                      .arg(o.value(kAsksKey).toString().left(40));
        return std::nullopt;
    }
    q.asks = *asks;
    if (!text(kText, q.text) || !text(kHint, q.hint)) {
        return std::nullopt;
    }
    for (const auto& [field, into] : {std::pair{kPrice, &q.price}, {kTolerance, &q.tolerance}}) {
        const QJsonValue v = o.value(field);
        if (!v.isUndefined() && !v.isDouble()) {
            problem = QStringLiteral("its %1 is not a number.").arg(field);
            return std::nullopt;
        }
        *into = v.toDouble(*into);
    }
    if (const QJsonValue v = o.value(kAtToday); !v.isUndefined()) {
        if (!v.isBool()) {
            problem = QStringLiteral("its %1 is neither true nor false.").arg(kAtToday);
            return std::nullopt;
        }
        q.atTodaysPrice = v.toBool();
    }
    if (const QJsonValue v = o.value(kVary); !v.isUndefined()) {
        if (!v.isObject()) {
            problem = QStringLiteral("its vary is not a set of ranges.");
            return std::nullopt;
        }
        const QJsonObject vary = v.toObject();
        for (auto it = vary.begin(); it != vary.end(); ++it) {
            std::optional<Varied> which;
            for (Varied varied : everyVaried) {
                which = it.key() == key(varied) ? std::optional(varied) : which;
            }
            const QJsonArray ends = it.value().toArray();
            if (!which || !it.value().isArray() || ends.size() != 2 || !ends[0].isDouble() ||
                !ends[1].isDouble()) {
                problem = QStringLiteral("its range \"%1\" is not a known input with two numbers.")
                              .arg(it.key().left(40));
                return std::nullopt;
            }
            q.vary[std::size_t(*which)] = Range{ends[0].toDouble(), ends[1].toDouble()};
        }
    }
    return q;
}

} // namespace

Reading fromJson(const QByteArray& bytes) {
    const auto refuse = [](const QString& why) { return Reading{std::nullopt, why}; };
    if (bytes.size() > limits::largestFile) {
        return refuse(QStringLiteral("The file is larger than %1 KB; a pack is far smaller.")
                          .arg(limits::largestFile / 1024));
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    const QJsonObject o = doc.object();
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        o.value(QStringLiteral("format")).toString() != kFormat) {
        return refuse(QStringLiteral("It is not an exercise pack."));
    }
    const QJsonValue version = o.value(QStringLiteral("formatVersion"));
    const double v = version.toDouble(0);
    if (!version.isDouble() || v != std::floor(v) || v < 1) {
        return refuse(QStringLiteral("Its format version is not a whole number from 1."));
    }
    if (v > limits::formatVersion) {
        return refuse(QStringLiteral("It was made by a newer version of the program (pack format "
                                     "%1); this one reads format %2. Ask for a newer program.")
                          .arg(number(v))
                          .arg(limits::formatVersion));
    }
    Pack pack;
    static const QRegularExpression idForm(QStringLiteral("^[0-9a-f]{32}$"));
    pack.id = o.value(kId).toString();
    if (!idForm.match(pack.id).hasMatch()) {
        return refuse(QStringLiteral("Its id is not 32 hexadecimal digits."));
    }
    const double revision = o.value(QStringLiteral("revision")).toDouble(0);
    if (revision != std::floor(revision) || revision < 1 || revision > limits::highestRevision) {
        return refuse(QStringLiteral("Its revision is not a whole number from 1 to %1.")
                          .arg(limits::highestRevision));
    }
    pack.revision = int(revision);
    pack.title = o.value(QStringLiteral("title")).toString();
    pack.instructions = o.value(QStringLiteral("instructions")).toString();
    if (pack.title.trimmed().isEmpty() || pack.title.size() > limits::longestTitle ||
        holdsControl(pack.title, false)) {
        return refuse(QStringLiteral("Its title is empty, longer than %1 characters or holds "
                                     "control characters.")
                          .arg(limits::longestTitle));
    }
    if (pack.instructions.size() > limits::longestInstructions ||
        holdsControl(pack.instructions, true)) {
        return refuse(QStringLiteral("Its instructions are longer than %1 characters or hold "
                                     "control characters.")
                          .arg(limits::longestInstructions));
    }
    const QJsonValue list = o.value(QStringLiteral("questions"));
    if (!list.isArray() || list.toArray().size() > limits::mostQuestions) {
        return refuse(QStringLiteral("Its questions are not a list of at most %1.")
                          .arg(limits::mostQuestions));
    }
    const QJsonArray questions = list.toArray();
    for (qsizetype i = 0; i < questions.size(); ++i) {
        QString why;
        std::optional<Question> q = questionFrom(questions[i].toObject(), why);
        if (q && why.isEmpty()) {
            why = problemOf(*q);
        }
        for (const Question& earlier : pack.questions) {
            if (q && why.isEmpty() && earlier.id == q->id) {
                why = QStringLiteral("its id %1 is an earlier question's too.").arg(q->id);
            }
        }
        if (!why.isEmpty()) {
            const QString id = q ? QStringLiteral(" (%1)").arg(q->id) : QString();
            return refuse(QStringLiteral("Question %1%2: %3").arg(i + 1).arg(id, why));
        }
        pack.questions.push_back(std::move(*q));
    }
    return {std::move(pack), QString()};
}

QByteArray toJson(const Pack& pack) {
    QJsonArray questions;
    for (const Question& q : pack.questions) {
        QJsonObject o{{kId, q.id},
                      {kSituation, q.situation},
                      {kAsksKey, asksName(q.asks)},
                      {kTolerance, q.tolerance},
                      {kPrice, q.price},
                      {kAtToday, q.atTodaysPrice}};
        if (!q.text.isEmpty()) {
            o.insert(kText, q.text);
        }
        if (!q.hint.isEmpty()) {
            o.insert(kHint, q.hint);
        }
        QJsonObject vary;
        for (Varied varied : everyVaried) {
            if (const std::optional<Range>& r = q.vary[std::size_t(varied)]) {
                vary.insert(key(varied), QJsonArray{r->from, r->to});
            }
        }
        if (!vary.isEmpty()) {
            o.insert(kVary, vary);
        }
        questions.append(o);
    }
    const QJsonObject o{{QStringLiteral("format"), kFormat},
                        {QStringLiteral("formatVersion"), limits::formatVersion},
                        {kId, pack.id},
                        {QStringLiteral("revision"), pack.revision},
                        {QStringLiteral("title"), pack.title},
                        {QStringLiteral("instructions"), pack.instructions},
                        {QStringLiteral("questions"), questions}};
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

} // namespace workbench::packs
