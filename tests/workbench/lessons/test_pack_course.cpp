// A pack's questions for a course platform: the Moodle XML is well-formed
// XML, and both forms, read back by parsers of this test's own, ask each
// variant's numbers with the judge's answer and the question's tolerance.
#include "SpreadPack.h"
#include "workbench/lessons/PackCourse.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTest>
#include <QXmlStreamReader>

#include <array>

namespace packs = workbench::packs;
namespace lessons = workbench::lessons;
namespace packcourse = workbench::packcourse;
using packs::Varied;

namespace {

const QString kMarks = QStringLiteral("A spread {bought} = ~ # : <b> & \"so\" \\ on\nits own line");
constexpr int kVariants = 5;

packs::Question question(const QString& id, lessons::Asks asks, double tolerance) {
    return spreadpack::question(id, asks, 52, tolerance);
}

packs::Pack pack() {
    packs::Pack p = packs::newPack(QStringLiteral("Week 3: spreads"));
    p.questions.push_back(question(QStringLiteral("q1"), lessons::Asks::Delta, 0.01));
    p.questions.push_back(question(QStringLiteral("q2"), lessons::Asks::ProfitAt, 0.01));
    p.questions.back().text = kMarks;
    p.questions.back().hint = QStringLiteral("The curve at {expiry}: #1");
    p.questions.push_back(question(QStringLiteral("q4"), lessons::Asks::ProbabilityOfProfit, 0.1));
    p.questions.back().vary[std::size_t(Varied::Volatility)] = packs::Range{20, 40};
    // A call bought alone has no greatest profit to ask for.
    p.questions.push_back(question(QStringLiteral("q5"), lessons::Asks::GreatestProfit, 0.01));
    p.questions.back().situation.replace(QStringLiteral("c1:1,c2:-1"), QStringLiteral("c1:1"));
    return p;
}

// Each numerical question as its name, text, answer and tolerance.
enum { Name, Text, Answer, Tolerance };
using Asked = std::array<QString, 4>;
const QStringList kMoodlePaths{QStringLiteral("name/text"), QStringLiteral("questiontext/text"),
                               QStringLiteral("answer/text"), QStringLiteral("answer/tolerance")};

std::vector<Asked> fromMoodle(const QByteArray& xml, QString* category) {
    std::vector<Asked> out;
    QXmlStreamReader r(xml);
    QStringList path;
    while (r.readNext() != QXmlStreamReader::Invalid && !r.atEnd()) {
        if (r.isStartElement()) {
            path << r.name().toString();
            if (path.size() == 2 && r.attributes().value(QStringLiteral("type")) == u"numerical") {
                out.emplace_back();
            }
        } else if (r.isEndElement()) {
            path.removeLast();
        } else if (r.isCharacters() && !r.isWhitespace() && path.size() > 2) {
            const QString at = path.mid(2).join(u'/');
            if (at == u"category/text") {
                *category = r.text().toString();
            } else if (const qsizetype field = kMoodlePaths.indexOf(at); field >= 0) {
                out.back()[std::size_t(field)] = r.text().toString();
            }
        }
    }
    return r.hasError() ? std::vector<Asked>{} : out;
}

// GIFT's escapes undone, up to the first mark that is not escaped: a
// mark the export left bare ends a field early and fails the test.
QString unescapedUpTo(const QString& s, qsizetype& i) {
    QString out;
    for (; i < s.size() && !QStringView(u"~=#{}:").contains(s[i]); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) {
            ++i;
            out += s[i] == u'n' ? QChar(u'\n') : s[i];
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<Asked> fromGift(const QString& gift, QString* category) {
    std::vector<Asked> out;
    for (const QString& block : gift.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts)) {
        QStringList lines = block.split(u'\n', Qt::SkipEmptyParts);
        lines.removeIf([](const QString& l) { return l.startsWith(QStringLiteral("//")); });
        if (lines.size() == 1 && lines[0].startsWith(QStringLiteral("$CATEGORY: "))) {
            *category = lines[0].mid(11);
            continue;
        }
        const QString s = lines.join(u'\n');
        Asked a;
        qsizetype i = 2;
        a[Name] = unescapedUpTo(s, i);
        const bool named = lines.size() == 1 && s.startsWith(u"::") && s.mid(i, 9) == u"::[plain]";
        a[Text] = unescapedUpTo(s, i += 9);
        const bool asked = named && s.mid(i, 2) == u"{#" && a[Text].endsWith(u' ');
        a[Answer] = unescapedUpTo(s, i += 2);
        const bool answered = asked && s.mid(i, 1) == u":";
        a[Tolerance] = unescapedUpTo(s, ++i);
        if (!answered || !(s.mid(i) == u"}" || s.mid(i, 4) == u"####")) {
            return {};
        }
        a[Text].chop(1);
        out.push_back(a);
    }
    return out;
}

} // namespace

class TestPackCourse : public QObject {
    Q_OBJECT
private slots:
    void moodle_xml_is_well_formed();
    void each_variant_asks_its_numbers_with_the_judges_answer_data();
    void each_variant_asks_its_numbers_with_the_judges_answer();
};

void TestPackCourse::moodle_xml_is_well_formed() {
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty()) {
        QSKIP("xmllint is not installed (Debian's libxml2-utils)");
    }
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write(packcourse::moodleXml(pack(), kVariants));
    file.close();
    // xmllint names what is wrong on the test's output.
    QCOMPARE(QProcess::execute(xmllint, {QStringLiteral("--noout"), file.fileName()}), 0);
}

void TestPackCourse::each_variant_asks_its_numbers_with_the_judges_answer_data() {
    QTest::addColumn<bool>("moodle");
    QTest::newRow("Moodle XML") << true;
    QTest::newRow("GIFT") << false;
}

void TestPackCourse::each_variant_asks_its_numbers_with_the_judges_answer() {
    QFETCH(bool, moodle);
    const packs::Pack p = pack();
    int leftOut = -1;
    QString category;
    const std::vector<Asked> asked =
        moodle ? fromMoodle(packcourse::moodleXml(p, kVariants, &leftOut), &category)
               : fromGift(packcourse::gift(p, kVariants, &leftOut), &category);
    QCOMPARE(category, QStringLiteral("$course$/top/Week 3: spreads"));
    QCOMPARE(leftOut, kVariants);
    QCOMPARE(asked.size(), std::size_t(3 * kVariants));
    for (std::size_t i = 0; i < 3; ++i) {
        const packs::Question& q = p.questions[i];
        for (int k = 1; k <= kVariants; ++k) {
            const Asked& a = asked[i * kVariants + std::size_t(k) - 1];
            QCOMPARE(a[Name], QStringLiteral("Q%1 (%2) variant %3").arg(i + 1).arg(q.id).arg(k));
            const packs::Numbers n = packs::draw(p, q, QStringLiteral("variant %1").arg(k));
            const std::optional<double> truth = lessons::trueNumber(packs::posed(q, n));
            QVERIFY(truth);
            QVERIFY2(std::abs(a[Answer].toDouble() - *truth) <= q.tolerance / 2 + 1e-9,
                     qPrintable(a[Answer]));
            QCOMPARE(a[Tolerance].toDouble(), q.tolerance);
            QVERIFY2(a[Text].contains(packs::numbersText(n)), qPrintable(a[Text]));
            QVERIFY(a[Text].contains(packs::posed(q, n).link));
            QCOMPARE(a[Text].startsWith(kMarks), q.id == u"q2");
            QCOMPARE(a[Text].contains(QStringLiteral("42.5 for 42.5 %")), q.id == u"q4");
        }
    }
    // Two variants of a question ask different numbers.
    QVERIFY(asked[0][Text] != asked[1][Text]);
}

QTEST_APPLESS_MAIN(TestPackCourse)
#include "test_pack_course.moc"
