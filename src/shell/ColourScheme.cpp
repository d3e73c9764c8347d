#include "ColourScheme.h"

#include <QApplication>
#include <QColor>
#include <QPainter>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOption>

namespace shell::colourscheme {

namespace {

constexpr platform::Rgb kSlate = 0x5A6270;
constexpr platform::Rgb kDarkSlate = 0x262A31;
constexpr platform::Rgb kBlack = 0x000000;

bool isDark(const QPalette& p) {
    return p.color(QPalette::Window).lightness() < 128;
}

void setBoth(QPalette& p, QPalette::ColorRole role, const QColor& normal, const QColor& disabled) {
    p.setColor(QPalette::Active, role, normal);
    p.setColor(QPalette::Inactive, role, normal);
    p.setColor(QPalette::Disabled, role, disabled);
}

QPalette dark() {
    QPalette p;
    const QColor text(230, 230, 230);
    const QColor dim(128, 128, 128);
    setBoth(p, QPalette::Window, QColor(43, 45, 48), QColor(43, 45, 48));
    setBoth(p, QPalette::WindowText, text, dim);
    setBoth(p, QPalette::Base, QColor(30, 31, 34), QColor(43, 45, 48));
    setBoth(p, QPalette::AlternateBase, QColor(48, 50, 54), QColor(48, 50, 54));
    setBoth(p, QPalette::Text, text, dim);
    setBoth(p, QPalette::Button, QColor(55, 58, 62), QColor(48, 50, 54));
    setBoth(p, QPalette::ButtonText, text, dim);
    setBoth(p, QPalette::BrightText, QColor(255, 120, 120), QColor(255, 120, 120));
    setBoth(p, QPalette::Highlight, QColor(42, 130, 218), QColor(80, 80, 80));
    setBoth(p, QPalette::HighlightedText, Qt::white, dim);
    setBoth(p, QPalette::ToolTipBase, QColor(55, 58, 62), QColor(55, 58, 62));
    setBoth(p, QPalette::ToolTipText, text, text);
    setBoth(p, QPalette::PlaceholderText, QColor(150, 150, 150), dim);
    setBoth(p, QPalette::Link, QColor(108, 180, 255), QColor(108, 180, 255));
    setBoth(p, QPalette::LinkVisited, QColor(190, 150, 255), QColor(190, 150, 255));
    setBoth(p, QPalette::Light, QColor(75, 78, 82), QColor(75, 78, 82));
    setBoth(p, QPalette::Midlight, QColor(62, 65, 70), QColor(62, 65, 70));
    setBoth(p, QPalette::Mid, QColor(40, 42, 45), QColor(40, 42, 45));
    setBoth(p, QPalette::Dark, QColor(25, 26, 28), QColor(25, 26, 28));
    setBoth(p, QPalette::Shadow, Qt::black, Qt::black);
    return p;
}

// White on black, the focus and selection in yellow: the scheme for low
// vision and for a washed-out projector.
QPalette highContrast() {
    QPalette p;
    const QColor dim(170, 170, 170);
    for (const auto role : {QPalette::Window, QPalette::Base, QPalette::AlternateBase,
                            QPalette::Button, QPalette::ToolTipBase, QPalette::Shadow}) {
        setBoth(p, role, Qt::black, Qt::black);
    }
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                            QPalette::ToolTipText, QPalette::BrightText}) {
        setBoth(p, role, Qt::white, dim);
    }
    setBoth(p, QPalette::Highlight, Qt::yellow, dim);
    setBoth(p, QPalette::HighlightedText, Qt::black, Qt::black);
    setBoth(p, QPalette::PlaceholderText, QColor(200, 200, 200), dim);
    setBoth(p, QPalette::Link, Qt::cyan, Qt::cyan);
    setBoth(p, QPalette::LinkVisited, QColor(255, 140, 255), QColor(255, 140, 255));
    for (const auto role : {QPalette::Light, QPalette::Midlight, QPalette::Mid, QPalette::Dark}) {
        setBoth(p, role, Qt::white, dim);
    }
    return p;
}

// The style draws the frames of boxes and the rings of option buttons a
// shade darker than the window, which on black is no line at all: on a black
// window they are drawn again in the text's colour.
class OutlinedStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (!onBlack(*option)) {
            return;
        }
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        switch (element) {
        case PE_PanelLineEdit:
        case PE_Frame:
            // A box inside a spin box or a list has no frame of its own.
            if (frame && frame->lineWidth > 0) {
                outline(*painter, *option, false);
            }
            break;
        case PE_IndicatorRadioButton:
            outline(*painter, *option, true);
            break;
        case PE_IndicatorCheckBox:
        case PE_PanelButtonCommand:
            outline(*painter, *option, false);
            break;
        default:
            break;
        }
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (!onBlack(*option)) {
            return;
        }
        const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(option);
        const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
        if ((control == CC_SpinBox && spin && spin->frame) ||
            (control == CC_ComboBox && combo && combo->frame)) {
            outline(*painter, *option, false);
        }
    }

private:
    static bool onBlack(const QStyleOption& option) {
        return option.palette.color(QPalette::Window) == Qt::black;
    }
    static void outline(QPainter& painter, const QStyleOption& option, bool round) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, round);
        painter.setPen(option.palette.color(QPalette::WindowText));
        painter.setBrush(Qt::NoBrush);
        const QRectF edge = QRectF(option.rect).adjusted(0.5, 0.5, -0.5, -0.5);
        round ? painter.drawEllipse(edge) : painter.drawRect(edge);
        painter.restore();
    }
};

} // namespace

void outlineOnBlack() {
    if (!dynamic_cast<OutlinedStyle*>(QApplication::style())) {
        QApplication::setStyle(new OutlinedStyle);
    }
}

QPalette palette(ColourScheme scheme, const QPalette& desktop) {
    switch (scheme) {
    case ColourScheme::Light:
        return isDark(desktop) ? QApplication::style()->standardPalette() : desktop;
    case ColourScheme::Dark:
        return dark();
    case ColourScheme::HighContrast:
        return highContrast();
    case ColourScheme::Desktop:
        break;
    }
    return desktop;
}

platform::Rgb plotBackground(ColourScheme scheme, const QPalette& desktop) {
    switch (scheme) {
    case ColourScheme::Light:
        return kSlate;
    case ColourScheme::Dark:
        return kDarkSlate;
    case ColourScheme::HighContrast:
        return kBlack;
    case ColourScheme::Desktop:
        break;
    }
    return isDark(desktop) ? kDarkSlate : kSlate;
}

} // namespace shell::colourscheme
