// The pages on probability and on early exercise teach by comparing: an
// American put worth more than the European one, a position that wins often
// yet expects to lose. Each figure is held to the models elsewhere; here the
// comparisons the prose draws between them must hold in the situations the
// pages' own links set up, as the workbench sets them up.
#include "offline/SiteBundle.h"
#include "workbench/control/WorkbenchHarness.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Probability.h"
#include "workbench/model/WorkbenchLink.h"
#include "workbench/pricing/BeforeExpiry.h"

#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include <cmath>
#include <limits>

namespace {

enum class What { Value, ChanceOfProfit, ExpectedProfit, EarlyExercisePrices };
enum class Relation { Above, Same, Below };

// The href of the Try-it link `id` on `file`, or empty.
QString tryLink(const offline::SiteBundle& bundle, const QString& file, const QString& id) {
    for (const QString& address : bundle.addresses()) {
        const QUrl url(address);
        if (url.fileName() != file) {
            continue;
        }
        const QString html = QString::fromUtf8(
            bundle.answer(url.host(), url.path(QUrl::FullyEncoded).toLatin1()).body);
        const QRegularExpression link(
            QStringLiteral("<a id=\"%1\" href=\"([^\"]*)\">").arg(QRegularExpression::escape(id)));
        return link.match(html).captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    }
    return QString();
}

// What the workbench shows after following the link: the figure the page
// compares.
double figure(WorkbenchHarness& h, const QString& href, What what, double price) {
    namespace be = workbench::beforeexpiry;
    const workbench::links::Reading reading =
        workbench::links::read(QUrl(href), h.bench->position().rowCount());
    if (!reading.load) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    h.bench->followLink(*reading.load);
    const workbench::PositionState& p = h.bench->position();
    const be::Inputs& inputs = h.bench->beforeExpiry();
    const workbench::payoff::DiagramKind kind = reading.load->diagram;
    const be::Valuer valuer(p, inputs, kind);
    if (what == What::Value) {
        return valuer.valueAt(price);
    }
    if (what == What::EarlyExercisePrices) {
        return double(valuer.earlyExercise().size());
    }
    const workbench::probability::Lognormal law{p.underlyingPrice, inputs.daysToday / 365.0,
                                                inputs.rate, inputs.dividendYield,
                                                be::lawVolatility(p, inputs).volatility};
    const workbench::probability::Figures f =
        workbench::probability::figures(p, workbench::analysis::analyse(p, kind), law);
    return what == What::ChanceOfProfit ? f.profit : f.expected;
}

} // namespace

class TestChanceLessons : public QObject {
    Q_OBJECT
private slots:
    void what_the_pages_compare_holds_in_the_models_data();
    void what_the_pages_compare_holds_in_the_models();
};

void TestChanceLessons::what_the_pages_compare_holds_in_the_models_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("first");
    QTest::addColumn<double>("price");
    QTest::addColumn<int>("relation");
    // The other link's figure at the same price, or `against` itself where
    // no link is named.
    QTest::addColumn<QString>("second");
    QTest::addColumn<double>("against");

    const auto row = [](const char* name, const char* file, What what, const char* first,
                        double price, Relation relation, const char* second, double against) {
        QTest::newRow(name) << QString::fromLatin1(file) << int(what) << QString::fromLatin1(first)
                            << price << int(relation) << QString::fromLatin1(second) << against;
    };
    const char* p33 = "page33.htm";
    row("an American put deep in the money is worth more than the European", p33, What::Value,
        "put-american", 45, Relation::Above, "put-european", 0);
    row("and so it is nearer the strike", p33, What::Value, "put-american", 50, Relation::Above,
        "put-european", 0);
    row("the European put deep in the money is worth less than exercising now", p33, What::Value,
        "put-european", 45, Relation::Below, "", 15);
    row("the American put there is worth exactly exercising now", p33, What::Value, "put-american",
        45, Relation::Same, "", 15);
    row("the analysis names where exercising the American put pays", p33, What::EarlyExercisePrices,
        "put-american", 0, Relation::Same, "", 1);
    row("an American call without a dividend is worth the European", p33, What::Value,
        "call-american", 50, Relation::Same, "call-no-dividend", 0);
    row("and exercising it early never pays", p33, What::EarlyExercisePrices, "call-american", 0,
        Relation::Same, "", 0);
    row("a dividend makes a call worth less", p33, What::Value, "call-dividend", 50,
        Relation::Below, "call-no-dividend", 0);
    row("and a put worth more", p33, What::Value, "put-dividend", 50, Relation::Above,
        "put-no-dividend", 0);
    row("an American call on a paying underlying is worth more deep in the money", p33, What::Value,
        "call-american-dividend", 75, Relation::Above, "call-dividend", 0);
    row("where the European call is worth less than exercising now", p33, What::Value,
        "call-dividend", 75, Relation::Below, "", 25);
    row("the dividend there makes early exercise pay", p33, What::EarlyExercisePrices,
        "call-american-dividend", 0, Relation::Same, "", 1);
    row("with implied volatilities the dashed curve passes through 0 at today's price", p33,
        What::Value, "covered-call-55", 55, Relation::Same, "", 0);

    const char* p32 = "page32.htm";
    row("the written put wins more often than the bought straddle", p32, What::ChanceOfProfit,
        "written-put", 0, Relation::Above, "implied-straddle", 0);
    row("yet expects less", p32, What::ExpectedProfit, "written-put", 0, Relation::Below,
        "implied-straddle", 0);
    row("and expects to lose", p32, What::ExpectedProfit, "written-put", 0, Relation::Below, "", 0);
    row("the written strangle expects to gain", p32, What::ExpectedProfit, "written-strangle", 0,
        Relation::Above, "", 0);
}

void TestChanceLessons::what_the_pages_compare_holds_in_the_models() {
    QFETCH(QString, file);
    QFETCH(int, what);
    QFETCH(QString, first);
    QFETCH(double, price);
    QFETCH(int, relation);
    QFETCH(QString, second);
    QFETCH(double, against);

    const offline::SiteBundle bundle;
    WorkbenchHarness h;
    const QString firstLink = tryLink(bundle, file, first);
    QVERIFY2(!firstLink.isEmpty(), qPrintable(first));
    const double a = figure(h, firstLink, What(what), price);
    double b = against;
    if (!second.isEmpty()) {
        const QString secondLink = tryLink(bundle, file, second);
        QVERIFY2(!secondLink.isEmpty(), qPrintable(second));
        b = figure(h, secondLink, What(what), price);
    }
    QVERIFY(std::isfinite(a) && std::isfinite(b));
    // Apart by at least a cent (a tenth of a percent for a chance), or the
    // same within half of one, as the pages write them.
    const double step = What(what) == What::ChanceOfProfit ? 0.001 : 0.01;
    const QString says = QStringLiteral("%1 against %2").arg(a, 0, 'f', 6).arg(b, 0, 'f', 6);
    switch (Relation(relation)) {
    case Relation::Above:
        QVERIFY2(a >= b + step, qPrintable(says));
        break;
    case Relation::Below:
        QVERIFY2(a <= b - step, qPrintable(says));
        break;
    case Relation::Same:
        QVERIFY2(std::abs(a - b) < step / 2, qPrintable(says));
        break;
    }
}

QTEST_MAIN(TestChanceLessons)
#include "test_chance_lessons.moc"
