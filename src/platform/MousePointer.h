#pragma once

namespace platform {

// The application-wide mouse pointer as a state, not a stack: setting the
// hourglass twice and the default once leaves the default.
class MousePointer {
public:
    enum class Shape { Default, Hourglass };
    virtual ~MousePointer() = default;
    virtual void setShape(Shape shape) = 0;
    virtual Shape shape() const = 0;
};

MousePointer& mousePointer();
void installMousePointer(MousePointer* pointer);

} // namespace platform
