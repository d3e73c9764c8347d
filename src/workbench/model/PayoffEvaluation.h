#pragma once

#include "PositionState.h"
#include "platform/Numbers.h"

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

// The arithmetic of a diagram: sample prices, the position's value at each,
// the extremes found and the choice of the vertical range. Every stored value
// is a 32-bit float computed in double from 32-bit operands and rounded once;
// a value that does not fit a float raises RunTimeError 6.
namespace workbench::payoff {

inline constexpr int sampleCount = 100;
using Samples = std::array<float, sampleCount + 1>;

// 1 for the profit diagram, 0 for the payoff diagram.
using DiagramKind = std::int16_t;
inline constexpr DiagramKind payoffDiagram = 0;
inline constexpr DiagramKind profitDiagram = 1;

struct PriceRange {
    float xmin;
    float xmax;
    float step;
};

// The range as drawn: a highest price not above the lowest becomes lowest + 1.
PriceRange priceRange(float xmin, float xmax);

// The extremes start at -100000 and 100000, so they also bound what is found.
struct Extremes {
    float ymax = -100000;
    float ymin = 100000;
};

// The value of the position at price S.
float positionValue(const workbench::PositionState& position, float S, DiagramKind f);

// The values at each of `strikes` (ascending, each once) in one sweep over
// the rows, in double precision: what positionValue gives there to within its
// single-precision rounding, for positions of so many strikes that valuing
// each strike over every row would cost a row count squared.
std::vector<float> valuesAtStrikes(const workbench::PositionState& position,
                                   const std::vector<float>& strikes, DiagramKind f);

// Fills plotPrice(0..100) and plotValue(1..100) with valueAt(price) as a
// float, calling onSample(i) right after sample i is stored, and returns the
// extremes.
template <typename ValueAt, typename OnSample>
Extremes sampleValues(const PriceRange& range, ValueAt&& valueAt, Samples& plotPrice,
                      Samples& plotValue, OnSample&& onSample) {
    using platform::numbers::single;
    plotPrice[0] = single(double(range.xmin) - double(range.step));
    Extremes e;
    for (int i = 1; i <= sampleCount; ++i) {
        // Accumulated one step at a time, as the range boxes promise: the last
        // sample is one step short of the highest price.
        plotPrice[i] = single(double(range.step) + double(plotPrice[i - 1]));
        const float v = valueAt(plotPrice[i]);
        plotValue[i] = v;
        if (v > e.ymax) {
            e.ymax = v;
        }
        if (v < e.ymin) {
            e.ymin = v;
        }
        onSample(i);
    }
    return e;
}

// The position's own values at expiry, sampled as above.
template <typename OnSample>
Extremes sampleCurve(const workbench::PositionState& position, const PriceRange& range,
                     DiagramKind f, Samples& plotPrice, Samples& plotValue, OnSample&& onSample) {
    return sampleValues(
        range, [&](float S) { return positionValue(position, S, f); }, plotPrice, plotValue,
        std::forward<OnSample>(onSample));
}

// Whether the found values leave the displayed range (equal is inside).
inline bool outsideDisplay(float ytop, float ybot, const Extremes& e) {
    return ytop < e.ymax || ybot > e.ymin;
}

// The vertical range of a re-scale: 5 beyond the extremes.
inline float rescaledTop(const Extremes& e) {
    return platform::numbers::single(double(e.ymax) + 5.0);
}
inline float rescaledBottom(const Extremes& e) {
    return platform::numbers::single(double(e.ymin) - 5.0);
}

// The zero line is drawn only when the values cross 0.
inline bool crossesZero(const Extremes& e) {
    return e.ymax > 0 && e.ymin < 0;
}

} // namespace workbench::payoff
