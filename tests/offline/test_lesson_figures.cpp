// The lesson pages' numbers are the program's own: each figure a page states
// is what the lessons' judge answers for the situation its Try-it link sets
// up, to the decimals the page writes, and each exercise a page asks is one
// the program judges, set up by a link on the same page.
#include "TutorialText.h"
#include "offline/SiteBundle.h"
#include "workbench/lessons/Lessons.h"

#include <QHash>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

namespace lessons = workbench::lessons;
using Asks = lessons::Asks;

// The lesson pages: 29 to the last, however many the module has.
constexpr int kFirstLesson = 29;

struct Page {
    int number = 0;
    QString file;
    QString html;
};

QString bodyOf(const offline::SiteBundle& bundle, const QString& address) {
    const QUrl url(address);
    return QString::fromUtf8(
        bundle.answer(url.host(), url.path(QUrl::FullyEncoded).toLatin1()).body);
}

int numberOf(const QString& address) {
    static const QRegularExpression numbered(QStringLiteral("/wqzLumo/page(\\d+)\\.htm$"));
    const QRegularExpressionMatch m = numbered.match(address);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// The number of the module's last page, which every page's kicker counts to.
int lastPage(const offline::SiteBundle& bundle) {
    int last = 0;
    for (const QString& address : bundle.addresses()) {
        last = std::max(last, numberOf(address));
    }
    return last;
}

QList<Page> lessonPages(const offline::SiteBundle& bundle) {
    QList<Page> out;
    for (const QString& address : bundle.addresses()) {
        if (const int n = numberOf(address); n >= kFirstLesson) {
            out << Page{n, QUrl(address).fileName(), bodyOf(bundle, address)};
        }
    }
    return out;
}

QHash<QString, QString> attributes(const QString& tag) {
    static const QRegularExpression re(QStringLiteral("([\\w-]+)=\"([^\"]*)\""));
    QHash<QString, QString> out;
    for (QRegularExpressionMatchIterator it = re.globalMatch(tag); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out.insert(m.captured(1), m.captured(2));
    }
    return out;
}

// The page's Try-it links by id, their addresses as the browser reads them.
QHash<QString, QString> linksOf(const QString& html) {
    static const QRegularExpression link(
        QStringLiteral("<a id=\"([^\"]+)\" href=\"(wqz-workbench:load\\?[^\"]*)\">"));
    QHash<QString, QString> out;
    for (QRegularExpressionMatchIterator it = link.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out.insert(m.captured(1), QString(m.captured(2)).replace(QStringLiteral("&amp;"), u"&"_qs));
    }
    return out;
}

std::optional<Asks> asksNamed(const QString& name) {
    static const QHash<QString, Asks> names = {
        {QStringLiteral("ValueWithDaysLeft"), Asks::ValueWithDaysLeft},
        {QStringLiteral("Delta"), Asks::Delta},
        {QStringLiteral("Gamma"), Asks::Gamma},
        {QStringLiteral("ThetaPerDay"), Asks::ThetaPerDay},
        {QStringLiteral("VegaPerPoint"), Asks::VegaPerPoint},
        {QStringLiteral("ProbabilityOfProfit"), Asks::ProbabilityOfProfit},
        {QStringLiteral("ExpectedProfit"), Asks::ExpectedProfit},
        {QStringLiteral("LowerBreakEven"), Asks::LowerBreakEven},
        {QStringLiteral("UpperBreakEven"), Asks::UpperBreakEven},
        {QStringLiteral("BreakEven"), Asks::BreakEven},
        {QStringLiteral("GreatestProfit"), Asks::GreatestProfit},
        {QStringLiteral("GreatestLoss"), Asks::GreatestLoss},
        {QStringLiteral("ProfitAt"), Asks::ProfitAt},
        {QStringLiteral("ImpliedVolatility"), Asks::ImpliedVolatility},
        {QStringLiteral("LowerOneSigma"), Asks::LowerOneSigma},
        {QStringLiteral("UpperOneSigma"), Asks::UpperOneSigma},
    };
    const auto it = names.constFind(name);
    return it == names.cend() ? std::nullopt : std::optional(*it);
}

// A figure as a page writes it, without what may stand around the number (a
// sign of its own, a trailing " %"), or empty when it is no such number.
QString numberIn(QString text) {
    static const QRegularExpression form(QStringLiteral("^-?\\d+(\\.\\d+)?$"));
    text.replace(QStringLiteral("&minus;"), u"-"_qs).replace(u'\u2212', u'-');
    if (text.startsWith(u'+')) {
        text.remove(0, 1);
    }
    if (text.endsWith(QStringLiteral(" %"))) {
        text.chop(2);
    }
    return form.match(text).hasMatch() ? text : QString();
}

} // namespace

class TestLessonFigures : public QObject {
    Q_OBJECT
private slots:
    void every_figure_is_the_judges_answer_for_its_link();
    void every_lesson_exercise_is_asked_with_its_link_and_listed();
};

void TestLessonFigures::every_figure_is_the_judges_answer_for_its_link() {
    static const QRegularExpression span(
        QStringLiteral("<span class=\"figure\"([^>]*)>([^<]*)</span>"));
    const offline::SiteBundle bundle;
    const QList<Page> pages = lessonPages(bundle);
    QVERIFY(pages.size() >= 3);
    int figures = 0;
    for (const Page& page : pages) {
        const QHash<QString, QString> links = linksOf(page.html);
        for (QRegularExpressionMatchIterator it = span.globalMatch(page.html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QHash<QString, QString> a = attributes(m.captured(1));
            const QString where = page.file + u' ' + m.captured(0);
            const QString link = links.value(a.value(QStringLiteral("data-try")));
            QVERIFY2(!link.isEmpty(), qPrintable(where + QStringLiteral(": no such link")));
            const std::optional<Asks> asks = asksNamed(a.value(QStringLiteral("data-asks")));
            QVERIFY2(asks, qPrintable(where));
            const QString written = numberIn(m.captured(2));
            QVERIFY2(!written.isEmpty(), qPrintable(where));
            const qsizetype point = written.indexOf(u'.');
            const int decimals = point < 0 ? 0 : int(written.size() - point - 1);
            const std::u16string held = link.toStdU16String();
            const lessons::Exercise e{u"figure",
                                      held.c_str(),
                                      *asks,
                                      a.value(QStringLiteral("data-price")).toDouble(),
                                      std::pow(10.0, -decimals),
                                      u"",
                                      u""};
            QVERIFY2(
                lessons::trueAnswer(e) == written,
                qPrintable(where + QStringLiteral(": the program says ") + lessons::trueAnswer(e)));
            ++figures;
        }
    }
    QVERIFY(figures >= 20);
}

void TestLessonFigures::every_lesson_exercise_is_asked_with_its_link_and_listed() {
    static const QRegularExpression form(QStringLiteral(
        "<form class=\"exercise\" id=\"([^\"]+)\" data-exercise=\"\\1\" data-try=\"([^\"]+)\">"));
    static const QRegularExpression listed(
        QStringLiteral("<li data-exercise=\"([^\"]+)\"><a href=\"page(\\d+)\\.htm#\\1\">"));
    const offline::SiteBundle bundle;
    QHash<QString, int> askedOn;
    const int last = lastPage(bundle);
    QVERIFY(last > kFirstLesson);
    for (const Page& page : lessonPages(bundle)) {
        const QHash<QString, QString> links = linksOf(page.html);
        QVERIFY2(page.html.contains(QStringLiteral("page %1 of %2").arg(page.number).arg(last)),
                 qPrintable(page.file));
        for (QRegularExpressionMatchIterator it = form.globalMatch(page.html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString id = m.captured(1);
            const lessons::Exercise* e = lessons::find(id);
            QVERIFY2(e, qPrintable(page.file + u' ' + id));
            QVERIFY2(!askedOn.contains(id), qPrintable(id));
            askedOn.insert(id, page.number);
            // The situation the page offers is the one judged.
            QCOMPARE(links.value(m.captured(2)), QString::fromUtf16(e->link));
            // Neither the page above the question nor its hint gives the
            // answer away.
            const QList<QRegularExpression> ways =
                tutorialtext::givenAway(QString::fromUtf16(e->answer));
            const QString above = tutorialtext::firstGiveaway(
                ways, tutorialtext::readableText(page.html.left(m.capturedStart())));
            QVERIFY2(above.isEmpty(), qPrintable(id + u' ' + above));
            const QString hinted = tutorialtext::firstGiveaway(ways, QString::fromUtf16(e->hint));
            QVERIFY2(hinted.isEmpty(), qPrintable(id + u' ' + hinted));
        }
    }
    const QStringList addresses = bundle.addresses();
    const auto contentsPage =
        std::find_if(addresses.cbegin(), addresses.cend(),
                     [](const QString& a) { return a.endsWith(u"/contents.htm"); });
    QVERIFY(contentsPage != addresses.cend());
    const QString contents = bodyOf(bundle, *contentsPage);
    QHash<QString, int> listedFor;
    for (QRegularExpressionMatchIterator it = listed.globalMatch(contents); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (lessons::find(m.captured(1))) {
            listedFor.insert(m.captured(1), m.captured(2).toInt());
        }
    }
    for (const lessons::Exercise& e : lessons::all()) {
        const QString id = QString::fromUtf16(e.id);
        QVERIFY2(askedOn.contains(id), qPrintable(id + QStringLiteral(" is asked on no page")));
        QCOMPARE(listedFor.value(id), askedOn.value(id));
    }
    QCOMPARE(askedOn.size(), qsizetype(lessons::all().size()));
}

QTEST_GUILESS_MAIN(TestLessonFigures)
#include "test_lesson_figures.moc"
