#include "wqzSetDisplay.h"

#include "platform/ControlProperties.h"
#include "platform/Numbers.h"
#include "platform/RunTimeError.h"

#include <cmath>

namespace display {

namespace {

using platform::controls::Property;

// saved / ratio, floored; a ratio that could not be computed (0) makes the
// division fail, and the statement is skipped.
double scaled(std::int32_t saved, float ratio) {
    if (ratio == 0) {
        throw platform::RunTimeError(platform::errc::DivisionByZero);
    }
    return std::floor(double(saved) / double(ratio));
}

float ratio(double numerator, double denominator) {
    if (denominator == 0) {
        throw platform::RunTimeError(platform::errc::DivisionByZero);
    }
    return platform::numbers::toSingle(numerator / denominator);
}

} // namespace

void wqzSetDisplay::Initialize(std::int32_t oWidth, const std::int32_t& oHeight,
                               const std::int16_t& nCont) {
    if (nCont < 0) {
        throw platform::RunTimeError(platform::errc::SubscriptOutOfRange);
    }
    normalWidth_ = oWidth;
    normalHeight_ = oHeight;
    ctrlCount_ = nCont;
    const std::size_t slotCount = std::size_t(nCont) + 1;
    savedCtrl.assign(slotCount, nullptr);
    savedLeft.assign(slotCount, 0);
    savedTop.assign(slotCount, 0);
    savedWidth.assign(slotCount, 0);
    savedHeight.assign(slotCount, 0);
}

void wqzSetDisplay::SetUpDisplay(std::int16_t index, QObject* ctrl) {
    if (index < 0 || std::size_t(index) >= savedCtrl.size()) {
        return;
    }
    const std::size_t i = std::size_t(index);
    savedCtrl[i] = ctrl;
    const auto read = [&](std::int32_t& slot, Property p) {
        platform::skipOnError(
            [&] { slot = platform::numbers::toLong(platform::controls::get(ctrl, p)); });
    };
    if (platform::controls::isLine(ctrl)) {
        read(savedLeft[i], Property::X1);
        read(savedWidth[i], Property::X2);
        read(savedTop[i], Property::Y1);
        read(savedHeight[i], Property::Y2);
    } else {
        read(savedLeft[i], Property::Left);
        read(savedWidth[i], Property::Width);
        read(savedTop[i], Property::Top);
        read(savedHeight[i], Property::Height);
    }
}

bool wqzSetDisplay::registered(int i) const {
    return i >= 0 && std::size_t(i) < savedCtrl.size() && savedCtrl[std::size_t(i)];
}

void wqzSetDisplay::EnlargeFont(std::int32_t& xWidth, std::int32_t& xHeight) {
    platform::skipOnError([&] { xWidth = platform::numbers::toLong(double(normalWidth_) * 1.5); });
    platform::skipOnError(
        [&] { xHeight = platform::numbers::toLong(double(normalHeight_) * 1.4); });
    // 400 twips come off both heights before they are compared, so vertical
    // positions grow a little more than the height does.
    float yRatio = 0;
    float xRatio = 0;
    platform::skipOnError(
        [&] { yRatio = ratio(double(normalHeight_) - 400, double(xHeight) - 400); });
    platform::skipOnError([&] { xRatio = ratio(double(normalWidth_), double(xWidth)); });

    for (int i = 0; i < ctrlCount_; ++i) {
        if (!registered(i)) {
            continue;
        }
        QObject* c = savedCtrl[std::size_t(i)];
        const std::size_t s = std::size_t(i);
        const auto put = [&](Property p, std::int32_t saved, float r) {
            platform::skipOnError([&] { platform::controls::set(c, p, scaled(saved, r)); });
        };
        if (platform::controls::isLine(c)) {
            put(Property::Y1, savedTop[s], yRatio);
            put(Property::X1, savedLeft[s], xRatio);
            put(Property::Y2, savedHeight[s], yRatio);
            put(Property::X2, savedWidth[s], xRatio);
        } else {
            put(Property::Top, savedTop[s], yRatio);
            put(Property::Left, savedLeft[s], xRatio);
            put(Property::Height, savedHeight[s], yRatio);
            put(Property::Width, savedWidth[s], xRatio);
            platform::skipOnError([&] { platform::controls::set(c, Property::FontSize, 12); });
            platform::skipOnError([&] { platform::controls::set(c, Property::FontBold, -1); });
        }
    }
}

void wqzSetDisplay::ReduceFont(std::int32_t& xWidth, std::int32_t& xHeight) {
    for (int i = 0; i < ctrlCount_; ++i) {
        if (!registered(i)) {
            continue;
        }
        QObject* c = savedCtrl[std::size_t(i)];
        const std::size_t s = std::size_t(i);
        const auto put = [&](Property p, double value) {
            platform::skipOnError([&] { platform::controls::set(c, p, value); });
        };
        if (platform::controls::isLine(c)) {
            put(Property::Y1, savedTop[s]);
            put(Property::X1, savedLeft[s]);
            put(Property::Y2, savedHeight[s]);
            put(Property::X2, savedWidth[s]);
        } else {
            put(Property::FontSize, 8);
            put(Property::FontBold, 0);
            put(Property::Left, savedLeft[s]);
            put(Property::Top, savedTop[s]);
            put(Property::Width, savedWidth[s]);
            put(Property::Height, savedHeight[s]);
        }
    }
    xWidth = normalWidth_;
    xHeight = normalHeight_;
}

} // namespace display
