// What goes on the printed page, gathered from the workbench as it is shown.
#include "PrintedPage.h"

#include "wqzOptionPayoffs.h"

#include "platform/Numbers.h"

#include <QFileInfo>
#include <QLocale>

namespace workbench::printedpage {

namespace {

QString percent(double fraction) {
    return platform::numbers::format(fraction * 100, u"##0.00") + QStringLiteral(" %");
}

bool holds(const QString& quantity) {
    return platform::numbers::leadingNumber(quantity) != 0;
}

} // namespace

QStringList inputLines(const beforeexpiry::Inputs& in) {
    QStringList dates;
    for (const int d : in.moreDaysLeft) {
        dates << QString::number(d);
    }
    const QString volatility =
        in.implied ? QStringLiteral("implied from the premiums, %1 where none is")
                         .arg(percent(in.volatility))
                   : QStringLiteral("%1 for every option").arg(percent(in.volatility));
    return {
        QStringLiteral("Days to expiry: %1").arg(in.daysToday),
        QStringLiteral("Days left shown: %1")
            .arg(in.daysLeft > 0 ? QString::number(in.daysLeft) : QStringLiteral("none")),
        QStringLiteral("More dates (days left): %1")
            .arg(dates.isEmpty() ? QStringLiteral("none") : dates.join(QStringLiteral(", "))),
        QStringLiteral("Interest rate: %1").arg(percent(in.rate)),
        QStringLiteral("Dividend yield: %1").arg(percent(in.dividendYield)),
        QStringLiteral("Exercise: %1")
            .arg(in.american ? QStringLiteral("American") : QStringLiteral("European")),
        QStringLiteral("Volatility: %1").arg(volatility),
    };
}

Sheet sheetOf(const wqzOptionPayoffs& bench) {
    Sheet s;
    const QString strategy = bench.strategyHeld();
    s.title = strategy.isEmpty() ? QStringLiteral("Custom position") : strategy;
    s.subtitle = bench.lastKind() == payoff::profitDiagram ? QStringLiteral("Profit diagram")
                                                           : QStringLiteral("Payoff diagram");
    if (!bench.documentName().isEmpty()) {
        s.subtitle += QStringLiteral(" of the position in %1")
                          .arg(QFileInfo(bench.documentName()).fileName());
    }
    s.diagram = bench.diagram();
    s.diagram.paper = true;
    const document::Document shown = bench.document();
    s.rows = shown.rows;
    for (const document::Row& row : shown.rows) {
        s.held << (holds(row[columns::CallQty]) || holds(row[columns::PutQty]));
    }
    s.underlying = QStringLiteral("Underlying: quantity %1, price today %2")
                       .arg(shown.underlyingQty, shown.underlyingPrice);
    if (holds(shown.costPerOption) || holds(shown.costPerUnit)) {
        s.underlying += QStringLiteral("; trading costs %1 an option, %2 a unit of the underlying")
                            .arg(shown.costPerOption, shown.costPerUnit);
    }
    s.analysis = bench.settledAnalysisText().split(u'\n');
    while (!s.analysis.isEmpty() && s.analysis.constLast().trimmed().isEmpty()) {
        s.analysis.removeLast();
    }
    if (bench.beforeExpiryShown()) {
        s.beforeExpiry = inputLines(bench.beforeExpiry());
    }
    return s;
}

QPageLayout defaultLayout(QPageSize::PageSizeId size) {
    return QPageLayout(QPageSize(size), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

QPageSize::PageSizeId localPaper() {
    // Letter where the locale measures in inches, A4 everywhere else.
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                              : QPageSize::A4;
}

} // namespace workbench::printedpage
