#pragma once

#include "MousePointer.h"

namespace platform {

// The toolkit's override cursor is a stack; this keeps at most one entry on it
// so that the pointer behaves as a state.
class QtMousePointer : public MousePointer {
public:
    ~QtMousePointer() override;
    void setShape(Shape shape) override;
    Shape shape() const override { return shape_; }

private:
    Shape shape_ = Shape::Default;
};

} // namespace platform
