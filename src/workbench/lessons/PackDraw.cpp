// Each student's numbers, and the question they pose to the judge.
#include "Packs.h"

#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/PositionState.h"
#include "workbench/model/WorkbenchLink.h"

#include <QCryptographicHash>
#include <QStringList>
#include <QtEndian>

#include <cmath>

namespace workbench::packs {

namespace {

double stepOf(Varied varied) {
    switch (varied) {
    case Varied::Price:
        return limits::priceStep;
    case Varied::Volatility:
        return limits::volatilityStep;
    case Varied::Days:
        return limits::daysStep;
    case Varied::Rate:
        return limits::rateStep;
    case Varied::StrikeShift:
        return limits::strikeShiftStep;
    }
    return 1;
}

// A number of the seed's own: the same on every machine and standard
// library, which a standard distribution is not.
quint64 seedOf(const Pack& pack, const Question& question, const QString& student, Varied varied) {
    const QString parts =
        QStringList{pack.id, studentKey(student), question.id, key(varied)}.join(u'\n');
    const QByteArray hash = QCryptographicHash::hash(parts.toUtf8(), QCryptographicHash::Sha256);
    return qFromBigEndian<quint64>(hash.constData());
}

QString plain(double value) {
    // Drawn to the hundredth: "27.5", "3.05", "40".
    return QString::number(std::round(value * 100) / 100, 'g', 10);
}

} // namespace

Numbers draw(const Pack& pack, const Question& question, const QString& student) {
    Numbers numbers;
    for (Varied varied : everyVaried) {
        const std::optional<Range>& range = question.vary[std::size_t(varied)];
        if (!range) {
            continue;
        }
        const double step = stepOf(varied);
        const quint64 count = quint64(std::llround((range->to - range->from) / step)) + 1;
        const quint64 k = seedOf(pack, question, student, varied) % count;
        // On the step, to the hundredth every step is made of.
        numbers.drawn[std::size_t(varied)] =
            std::round((range->from + double(k) * step) * 100) / 100;
    }
    return numbers;
}

QString numbersText(const Numbers& numbers) {
    QStringList parts;
    for (Varied varied : everyVaried) {
        const std::optional<double>& v = numbers.drawn[std::size_t(varied)];
        if (!v) {
            continue;
        }
        switch (varied) {
        case Varied::Price:
            parts << QStringLiteral("today's price %1").arg(analysis::money(*v));
            break;
        case Varied::Volatility:
            parts << QStringLiteral("volatility %1 %").arg(plain(*v));
            break;
        case Varied::Days:
            parts << QStringLiteral("%1 days to expiry").arg(int(std::lround(*v)));
            break;
        case Varied::Rate:
            parts << QStringLiteral("interest rate %1 %").arg(plain(*v));
            break;
        case Varied::StrikeShift:
            parts << (*v == 0 ? QStringLiteral("strikes as they stand")
                              : QStringLiteral("every strike %1 %2")
                                    .arg(plain(std::abs(*v)), *v > 0 ? u"higher" : u"lower"));
            break;
        }
    }
    return parts.join(QStringLiteral(", "));
}

lessons::Question posed(const Question& question, const Numbers& numbers) {
    lessons::Question out{question.situation, question.asks, question.price, question.tolerance};
    links::Reading reading = links::readText(question.situation, startingQuotes().rowCount());
    if (!reading.load) {
        return out;
    }
    links::Load& load = *reading.load;
    const auto drawn = [&](Varied v) { return numbers.drawn[std::size_t(v)]; };
    if (const auto price = drawn(Varied::Price)) {
        load.market.price = float(*price);
    }
    if (const auto volatility = drawn(Varied::Volatility)) {
        // One volatility for every option: the student's own.
        load.market.implied = false;
        load.market.volatility = *volatility / 100;
    }
    if (const auto days = drawn(Varied::Days)) {
        load.market.daysToday = int(std::lround(*days));
    }
    if (const auto rate = drawn(Varied::Rate)) {
        load.market.rate = *rate / 100;
    }
    if (const auto shift = drawn(Varied::StrikeShift); shift && load.rows) {
        for (links::Row& row : *load.rows) {
            if (row.strike) {
                row.strike = float(std::round((double(*row.strike) + *shift) * 10000) / 10000);
            }
        }
    }
    if (const links::Writing writing = links::write(load); writing.problem.isEmpty()) {
        out.link = writing.link;
    }
    if (question.atTodaysPrice) {
        out.price = drawn(Varied::Price).value_or(load.market.price.value_or(startingPrice));
    }
    return out;
}

QString asked(const Question& question, const Numbers& numbers) {
    return asked(question, posed(question, numbers));
}

QString asked(const Question& question, const lessons::Question& q) {
    const bool percent = lessons::inPercent(question.asks);
    return QStringLiteral("Find %1, to within %2%3 either way.")
        .arg(lessons::topic(q), QString::number(question.tolerance, 'g', 6),
             percent ? QStringLiteral(" points") : QString());
}

} // namespace workbench::packs
