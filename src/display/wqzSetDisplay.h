#pragma once

#include <QPointer>

#include <cstdint>
#include <vector>

class QObject;

namespace display {

// Switches a container's controls between the normal presentation and a large
// one (1.5 times wider, about 1.4 times taller, fonts 12 pt bold). Every
// control is registered once with its normal geometry, and both directions
// start from that, so switching never compounds. A statement that fails (a
// control without a font, a ratio that cannot be computed) is skipped and the
// rest go on.
class wqzSetDisplay {
public:
    // On return xWidth and xHeight hold the container's large size.
    void EnlargeFont(std::int32_t& xWidth, std::int32_t& xHeight);
    // On return xWidth and xHeight hold the container's normal size.
    void ReduceFont(std::int32_t& xWidth, std::int32_t& xHeight);
    // Must come first; discards any earlier registration. A negative count
    // raises RunTimeError 9.
    void Initialize(std::int32_t oWidth, const std::int32_t& oHeight, const std::int16_t& nCont);
    // Registers the control under index while it has its normal geometry.
    void SetUpDisplay(std::int16_t index, QObject* ctrl);

    std::int32_t normalWidth() const { return normalWidth_; }
    std::int32_t normalHeight() const { return normalHeight_; }
    std::int16_t ctrlCount() const { return ctrlCount_; }

private:
    bool registered(int i) const;

    std::int32_t normalWidth_ = 0;
    std::int32_t normalHeight_ = 0;
    std::int16_t ctrlCount_ = 0;
    // One slot more than there are controls; the last is never used.
    std::vector<QPointer<QObject>> savedCtrl;
    std::vector<std::int32_t> savedLeft;
    std::vector<std::int32_t> savedTop;
    std::vector<std::int32_t> savedWidth;
    std::vector<std::int32_t> savedHeight;
};

} // namespace display
