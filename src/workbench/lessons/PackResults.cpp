#include "PackResults.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>

namespace workbench::packresults {

namespace {

const QString kHeader = QStringLiteral("question,id,numbers,answer given,right,tries,answer shown");
constexpr int kFields = 7;
// Spreadsheets take a UTF-8 file for one in the system's old code page
// unless it starts with the byte order mark.
const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");
const QString kLineEnd = QStringLiteral("\r\n");

// What a spreadsheet would start a formula with. A tab and a carriage return
// count too: some spreadsheets drop them and read what follows.
bool formulaStart(QChar c) {
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

bool plainNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)$"));
    return number.match(text).hasMatch();
}

// The "'" that keeps a text from being taken for a formula goes in front of
// any "'" already there, so that the reader takes off exactly one: "'=x" is
// written "''=x" and read back as it was.
bool guarded(const QString& text) {
    qsizetype quotes = 0;
    while (quotes < text.size() && text[quotes] == u'\'') {
        ++quotes;
    }
    return quotes < text.size() && formulaStart(text[quotes]) && !plainNumber(text);
}

QString quoted(QString text) {
    if (guarded(text)) {
        text.prepend(u'\'');
    }
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
        text.contains(u'\r')) {
        text.replace(u'"', QStringLiteral("\"\""));
        return u'"' + text + u'"';
    }
    return text;
}

QString unguarded(QString text) {
    if (text.startsWith(u'\'') && guarded(text.mid(1))) {
        text.remove(0, 1);
    }
    return text;
}

QString record(const QStringList& fields) {
    QStringList out;
    for (const QString& field : fields) {
        out << quoted(field);
    }
    return out.join(u',') + kLineEnd;
}

QString yesNo(bool value) {
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QString count(qsizetype n, const QString& one, const QString& many) {
    return QString::number(n) + u' ' + (n == 1 ? one : many);
}

QString questions(qsizetype n) {
    return count(n, QStringLiteral("question"), QStringLiteral("questions"));
}

// Built by joining rather than by arg(), which would read a "%1" in a title
// as a place for the next number.
QString nameLine(const QString& title, const QString& id, int revision) {
    return QStringLiteral("Results of \"") + title + QStringLiteral("\" (pack ") + id +
           QStringLiteral(", revision ") + QString::number(revision) + u')';
}

// The records of an RFC 4180 text, each ended by a line break (CRLF as
// written, LF as some editors save it): a file cut short ends inside one.
struct Records {
    std::vector<QStringList> records;
    QString problem;
};

Records recordsOf(const QString& text) {
    Records r;
    QStringList fields;
    QString field;
    bool inQuotes = false;
    bool wasQuoted = false;
    const auto line = [&] { return QStringLiteral("Line %1").arg(r.records.size() + 1); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c != u'"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else {
                inQuotes = false;
            }
        } else if (c == u',' || c == u'\n' || (c == u'\r' && text.mid(i, 2) == kLineEnd)) {
            fields << field;
            field.clear();
            wasQuoted = false;
            if (c != u',') {
                i += c == u'\r';
                r.records.push_back(fields);
                fields.clear();
            }
        } else if (c == u'"' && field.isEmpty() && !wasQuoted) {
            inQuotes = wasQuoted = true;
        } else if (c == u'"' || wasQuoted || c == u'\r') {
            r.problem = line() + QStringLiteral(" has a quote or a character out of place.");
            return r;
        } else {
            field += c;
        }
    }
    if (inQuotes || !fields.isEmpty() || !field.isEmpty() || wasQuoted) {
        r.problem = line() + QStringLiteral(" is cut short: the file is not whole.");
    }
    return r;
}

std::optional<int> wholeNumber(const QString& text, int least, int most) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,7}$"));
    if (!digits.match(text).hasMatch()) {
        return std::nullopt;
    }
    const int value = text.toInt();
    return value >= least && value <= most ? std::optional(value) : std::nullopt;
}

std::optional<bool> yesOrNo(const QString& text) {
    if (text == u"yes" || text == u"no") {
        return text == u"yes";
    }
    return std::nullopt;
}

// Why the fields make no row, or empty.
QString rowProblem(const QStringList& fields, Row& row) {
    if (fields.size() != kFields) {
        return QStringLiteral("has %1 fields, not %2").arg(fields.size()).arg(kFields);
    }
    const std::optional<int> number = wholeNumber(fields[0], 1, packs::limits::mostQuestions);
    const std::optional<bool> right = yesOrNo(fields[4]);
    const std::optional<int> tries = wholeNumber(fields[5], 0, limits::mostTries);
    const std::optional<bool> shown = yesOrNo(fields[6]);
    row = {number.value_or(0),    unguarded(fields[1]), unguarded(fields[2]), unguarded(fields[3]),
           right.value_or(false), tries.value_or(0),    shown.value_or(false)};
    if (!number) {
        return QStringLiteral("has no question number from 1 to %1")
            .arg(packs::limits::mostQuestions);
    }
    if (row.questionId.isEmpty() || row.questionId.size() > limits::longestId) {
        return QStringLiteral("has no question id of 1 to %1 characters").arg(limits::longestId);
    }
    if (row.numbers.size() > limits::longestNumbers || row.answer.size() > limits::longestAnswer) {
        return QStringLiteral("has numbers or an answer longer than the program writes");
    }
    if (!right || !shown) {
        return QStringLiteral("has neither yes nor no for right or answer shown");
    }
    if (!tries) {
        return QStringLiteral("has no count of tries from 0 to %1").arg(limits::mostTries);
    }
    return QString();
}

} // namespace

QByteArray csv(const packs::Pack& pack, const QString& student, const std::vector<Row>& rows) {
    const std::size_t written = std::min(rows.size(), std::size_t(packs::limits::mostQuestions));
    QString text = record({nameLine(pack.title, pack.id, pack.revision) + QStringLiteral(" for ") +
                           student + QStringLiteral(": ") + questions(qsizetype(written))});
    text += kHeader + kLineEnd;
    for (std::size_t i = 0; i < written; ++i) {
        const Row& row = rows[i];
        text += record({QString::number(row.number), row.questionId.left(limits::longestId),
                        row.numbers.left(limits::longestNumbers),
                        row.answer.left(limits::longestAnswer), yesNo(row.right),
                        QString::number(std::clamp(row.tries, 0, limits::mostTries)),
                        yesNo(row.shown)});
    }
    return kBom + text.toUtf8();
}

ResultsReading read(const QByteArray& bytes) {
    ResultsReading reading;
    if (bytes.size() > largestResults) {
        reading.problem = QStringLiteral("The file is larger than %1 KB, more than any results.")
                              .arg(largestResults / 1024);
        return reading;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes.startsWith(kBom) ? bytes.mid(kBom.size()) : bytes);
    if (utf8.hasError()) {
        reading.problem = QStringLiteral("The file is not text in UTF-8.");
        return reading;
    }
    const Records r = recordsOf(text);
    if (!r.problem.isEmpty()) {
        reading.problem = r.problem;
        return reading;
    }
    static const QRegularExpression first(
        QStringLiteral("^Results of \"(.*)\" \\(pack ([0-9a-f]{32}), revision ([0-9]{1,7})\\) "
                       "for (.+): ([0-9]{1,3}) questions?$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch named = r.records.empty() || r.records[0].size() != 1
                                              ? QRegularExpressionMatch()
                                              : first.match(r.records[0][0]);
    if (!named.hasMatch()) {
        reading.problem =
            QStringLiteral("The first line does not name a pack and a student as results do.");
        return reading;
    }
    Results results;
    results.title = named.captured(1);
    results.packId = named.captured(2);
    results.revision = named.captured(3).toInt();
    results.student = named.captured(4);
    const int announced = named.captured(5).toInt();
    if (results.title.size() > packs::limits::longestTitle || results.revision < 1 ||
        results.revision > packs::limits::highestRevision ||
        !packs::studentProblem(results.student).isEmpty() ||
        announced > packs::limits::mostQuestions) {
        reading.problem = QStringLiteral("The first line names a pack or a student no pack has.");
        return reading;
    }
    if (r.records.size() < 2 || r.records[1].join(u',') != kHeader) {
        reading.problem = QStringLiteral("The second line is not the header: ") + kHeader + u'.';
        return reading;
    }
    if (r.records.size() - 2 != std::size_t(announced)) {
        reading.problem =
            QStringLiteral("The file holds %1 of its %2: it is not whole.")
                .arg(questions(qsizetype(r.records.size() - 2)), questions(announced));
        return reading;
    }
    QSet<QString> ids;
    QSet<int> numbers;
    for (std::size_t i = 2; i < r.records.size(); ++i) {
        Row row;
        QString problem = rowProblem(r.records[i], row);
        if (problem.isEmpty() && (ids.contains(row.questionId) || numbers.contains(row.number))) {
            problem = QStringLiteral("repeats an earlier line's question");
        }
        if (!problem.isEmpty()) {
            reading.problem = QStringLiteral("Line %1 %2.").arg(i + 1).arg(problem);
            return reading;
        }
        ids.insert(row.questionId);
        numbers.insert(row.number);
        results.rows.push_back(row);
    }
    reading.results = std::move(results);
    return reading;
}

namespace {

QString cell(const Row& row) {
    if (row.right) {
        return QStringLiteral("right");
    }
    if (row.shown) {
        return QStringLiteral("shown");
    }
    if (row.tries > 0) {
        return row.tries == 1 ? QStringLiteral("wrong (1 try)")
                              : QStringLiteral("wrong (%1 tries)").arg(row.tries);
    }
    return QString();
}

struct Kept {
    QString file;
    Results results;
};

} // namespace

Gathered gather(const std::vector<std::pair<QString, QByteArray>>& files) {
    Gathered g;
    std::vector<Kept> kept;
    QHash<QString, std::size_t> byStudent; // by packs::studentKey
    const auto refuse = [&](const QString& file, const QString& why) {
        g.refused << file + QStringLiteral(": ") + why;
    };
    for (const auto& [file, bytes] : files) {
        ResultsReading reading = read(bytes);
        if (!reading.results) {
            refuse(file, reading.problem);
            continue;
        }
        Results& results = *reading.results;
        if (!kept.empty() && results.packId != kept.front().results.packId) {
            refuse(file, QStringLiteral("results of another pack, \"%1\", not of \"%2\".")
                             .arg(results.title, kept.front().results.title));
            continue;
        }
        const QString key = packs::studentKey(results.student);
        const auto earlier = byStudent.constFind(key);
        if (earlier == byStudent.cend()) {
            byStudent.insert(key, kept.size());
            kept.push_back({file, std::move(results)});
            continue;
        }
        Kept& other = kept[*earlier];
        if (results.revision > other.results.revision) {
            refuse(other.file,
                   QStringLiteral("%1's results of revision %2 give way to those of "
                                  "revision %3 in %4.")
                       .arg(other.results.student, QString::number(other.results.revision),
                            QString::number(results.revision), file));
            other = {file, std::move(results)};
        } else {
            refuse(file, QStringLiteral("%1's results of revision %2 are in %3 already; "
                                        "%3 is kept.")
                             .arg(results.student, QString::number(results.revision), other.file));
        }
    }
    if (kept.empty()) {
        return g;
    }
    // The columns follow the newest revision's questions; a question only an
    // older revision asked keeps a column after them, so that no answer is lost.
    const Results* newest = &kept.front().results;
    for (const Kept& k : kept) {
        newest = k.results.revision > newest->revision ? &k.results : newest;
    }
    QStringList ids;
    for (const Row& row : newest->rows) {
        ids << row.questionId;
    }
    for (const Kept& k : kept) {
        for (const Row& row : k.results.rows) {
            if (!ids.contains(row.questionId)) {
                ids << row.questionId;
            }
        }
    }
    QString text = record(
        {nameLine(newest->title, newest->packId, newest->revision) + QStringLiteral(": ") +
         count(qsizetype(kept.size()), QStringLiteral("student"), QStringLiteral("students"))});
    std::stable_sort(kept.begin(), kept.end(), [](const Kept& a, const Kept& b) {
        const int c = QString::compare(a.results.student, b.results.student, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.results.student < b.results.student;
    });
    text += record(QStringList{QStringLiteral("student")} + ids +
                   QStringList{QStringLiteral("right"), QStringLiteral("revision")});
    for (const Kept& k : kept) {
        QStringList line{k.results.student};
        int right = 0;
        for (const QString& id : ids) {
            const auto row = std::find_if(k.results.rows.begin(), k.results.rows.end(),
                                          [&](const Row& r) { return r.questionId == id; });
            line << (row == k.results.rows.end() ? QString() : cell(*row));
            right += row != k.results.rows.end() && row->right;
        }
        line << QString::number(right) << QString::number(k.results.revision);
        text += record(line);
    }
    g.csv = kBom + text.toUtf8();
    g.files = int(kept.size());
    return g;
}

} // namespace workbench::packresults
