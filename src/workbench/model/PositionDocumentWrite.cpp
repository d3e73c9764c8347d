// The position file written: the document as JSON, the oldest version that
// holds it.
#include "PositionDocument.h"

#include "PositionDocumentForm.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace workbench::document {

using namespace form;

QByteArray toJson(const Document& d) {
    QJsonArray rows;
    for (const Row& row : d.rows) {
        QJsonObject o;
        for (int c = 0; c < columns::count; ++c) {
            o.insert(kColumnKeys[std::size_t(c)], row[std::size_t(c)]);
        }
        // A leg's own days go in a member of their own, its quantity as
        // the grid shows it before them.
        for (const auto& [c, key] :
             {std::pair{columns::CallQty, kCallDays}, std::pair{columns::PutQty, kPutDays}}) {
            const QString& cell = row[std::size_t(c)];
            if (const int days = legexpiry::daysOf(cell).days; days > 0) {
                o.insert(kColumnKeys[std::size_t(c)],
                         cell.left(cell.indexOf(legexpiry::mark)).trimmed());
                o.insert(key, days);
            }
        }
        rows.append(o);
    }
    QJsonObject range;
    for (std::size_t i = 0; i < kRangeKeys.size(); ++i) {
        range.insert(kRangeKeys[i], d.range[i]);
    }
    QJsonObject root{
        {QStringLiteral("format"), kFormat},
        {QStringLiteral("version"), versionFor(d)},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("underlyingQty"), d.underlyingQty},
        {QStringLiteral("underlyingPrice"), d.underlyingPrice},
        {QStringLiteral("costPerOption"), d.costPerOption},
        {QStringLiteral("costPerUnit"), d.costPerUnit},
        {QStringLiteral("range"), range},
        {QStringLiteral("diagram"), d.profit ? QStringLiteral("profit") : QStringLiteral("payoff")},
        {QStringLiteral("curveColor"),
         QStringLiteral("#%1").arg(d.curveColor & 0xFFFFFFu, 6, 16, QLatin1Char('0'))},
    };
    if (d.beforeExpiry) {
        const beforeexpiry::Inputs& in = *d.beforeExpiry;
        QJsonObject inputs{{QStringLiteral("daysToExpiry"), in.daysToday},
                           {QStringLiteral("daysLeft"), in.daysLeft},
                           {QStringLiteral("ratePercent"), hundredths(in.rate * 100)},
                           {QStringLiteral("volatility"),
                            in.implied ? QStringLiteral("implied") : QStringLiteral("single")},
                           {QStringLiteral("volatilityPercent"), hundredths(in.volatility * 100)},
                           {QStringLiteral("dividendPercent"), hundredths(in.dividendYield * 100)},
                           {QStringLiteral("exercise"),
                            in.american ? QStringLiteral("american") : QStringLiteral("european")}};
        if (versionFor(d) >= 3) {
            inputs.insert(QStringLiteral("volatilityShiftPoints"),
                          beforeexpiry::shiftPoints(in.volatilityShift));
            inputs.insert(QStringLiteral("eventDays"), in.eventDays);
            inputs.insert(QStringLiteral("volatilityAfterPercent"),
                          hundredths(in.volatilityAfter * 100));
        }
        if (!in.moreDaysLeft.empty()) {
            QJsonArray days;
            for (const int d : in.moreDaysLeft) {
                days.append(d);
            }
            inputs.insert(QStringLiteral("moreDaysLeft"), days);
        }
        root.insert(QStringLiteral("beforeExpiry"), inputs);
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace workbench::document
