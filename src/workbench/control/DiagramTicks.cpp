// The axes' round ticks and their labels.
#include "DiagramExport.h"

#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>

namespace workbench::diagramexport {

namespace {

// 1, 2 or 5 times a power of ten, the least not below `raw`.
double roundStep(double raw) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double n = raw / magnitude;
    return (n <= 1 ? 1 : n <= 2 ? 2 : n <= 5 ? 5 : 10) * magnitude;
}

} // namespace

QList<double> ticks(double from, double to, int most) {
    const double lo = std::min(from, to);
    const double hi = std::max(from, to);
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        return {};
    }
    if (lo == hi) {
        return {lo};
    }
    const double step = roundStep((hi - lo) / std::max(1, most - 1));
    if (!(step > 0) || !std::isfinite(step)) {
        return {};
    }
    QList<double> out;
    // Whole multiples of the step, so that no error adds up from tick to
    // tick; a hair of slack keeps an end that is itself a multiple.
    const double slack = 1e-9;
    for (double k = std::ceil(lo / step - slack); k * step <= hi + step * slack; k += 1) {
        const double v = k * step;
        out << (std::abs(v) < step * slack ? 0.0 : v);
    }
    return out;
}

QString tickLabel(double value, double step) {
    int decimals = 2;
    if (step > 0 && std::isfinite(step)) {
        decimals = std::clamp(int(std::ceil(-std::log10(step) - 1e-9)), 0, 10);
    }
    const QString pattern =
        decimals == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(decimals, u'0');
    return platform::numbers::format(value, pattern);
}

} // namespace workbench::diagramexport
