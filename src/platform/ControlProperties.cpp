#include "ControlProperties.h"

#include "LineControl.h"
#include "RunTimeError.h"
#include "Twips.h"

#include <QWidget>

#include <cmath>

namespace platform::controls {

namespace {

using platform::RunTimeError;

[[noreturn]] void noSuchProperty() {
    throw RunTimeError(platform::errc::NoSuchPropertyOrMethod);
}

const platform::LineControl* asLine(const QObject* c) {
    return qobject_cast<const platform::LineControl*>(c);
}

int twipValue(double value) {
    if (!(std::fabs(value) <= 2147483647.0)) {
        throw RunTimeError(platform::errc::Overflow);
    }
    return int(std::lround(value));
}

} // namespace

bool isLine(const QObject* control) {
    return asLine(control) != nullptr;
}

double get(const QObject* control, Property p) {
    if (const platform::LineControl* line = asLine(control)) {
        switch (p) {
        case Property::X1:
            return line->X1();
        case Property::Y1:
            return line->Y1();
        case Property::X2:
            return line->X2();
        case Property::Y2:
            return line->Y2();
        default:
            noSuchProperty();
        }
    }
    const auto* widget = qobject_cast<const QWidget*>(control);
    if (!widget) {
        noSuchProperty();
    }
    const twips::Rect r = twips::geometry(widget);
    switch (p) {
    case Property::Left:
        return r.left;
    case Property::Top:
        return r.top;
    case Property::Width:
        return r.width;
    case Property::Height:
        return r.height;
    case Property::FontSize:
        return widget->font().pointSizeF();
    case Property::FontBold:
        return widget->font().bold() ? -1 : 0;
    default:
        noSuchProperty();
    }
}

void set(QObject* control, Property p, double value) {
    if (auto* line = qobject_cast<platform::LineControl*>(control)) {
        const int v = twipValue(value);
        int x1 = line->X1(), y1 = line->Y1(), x2 = line->X2(), y2 = line->Y2();
        switch (p) {
        case Property::X1:
            x1 = v;
            break;
        case Property::Y1:
            y1 = v;
            break;
        case Property::X2:
            x2 = v;
            break;
        case Property::Y2:
            y2 = v;
            break;
        default:
            noSuchProperty();
        }
        line->setEndPoints(x1, y1, x2, y2);
        return;
    }
    auto* widget = qobject_cast<QWidget*>(control);
    if (!widget) {
        noSuchProperty();
    }
    if (p == Property::FontSize || p == Property::FontBold) {
        QFont f = widget->font();
        if (p == Property::FontSize) {
            if (!(value > 0 && value <= 2048)) {
                throw RunTimeError(platform::errc::InvalidPropertyValue);
            }
            f.setPointSizeF(value);
        } else {
            f.setBold(value != 0);
        }
        widget->setFont(f);
        return;
    }
    twips::Rect r = twips::geometry(widget);
    const int v = twipValue(value);
    switch (p) {
    case Property::Left:
        r.left = v;
        break;
    case Property::Top:
        r.top = v;
        break;
    case Property::Width:
    case Property::Height:
        // A control cannot be given a negative size.
        if (v < 0) {
            throw RunTimeError(platform::errc::InvalidPropertyValue);
        }
        (p == Property::Width ? r.width : r.height) = v;
        break;
    default:
        noSuchProperty();
    }
    twips::setGeometry(widget, r);
}

} // namespace platform::controls
