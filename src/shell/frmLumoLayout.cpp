// Laying the window out around the workbench.
#include "frmLumo.h"

#include "platform/ControlProperties.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/RunTimeError.h"
#include "platform/Twips.h"
#include "workbench/wqzOptionPayoffs.h"

#include <QComboBox>
#include <QPushButton>

namespace shell {

namespace {

constexpr double kGap = 25;
constexpr double kMargin = 100;

using platform::controls::Property;

double read(QObject* control, Property p) {
    return platform::controls::get(control, p);
}

// A value the control refuses as invalid (a negative size in a very small
// window) is passed over; anything else stops the pass.
void place(QObject* control, Property p, double value) {
    try {
        platform::controls::set(control, p, value);
    } catch (const platform::RunTimeError& error) {
        if (error.code() != platform::errc::InvalidPropertyValue) {
            throw;
        }
    }
}

} // namespace

void frmLumo::PositionBrowsers() {
    if (isMinimized()) {
        return;
    }
    try {
        const platform::twips::Rect bench = platform::twips::geometry(ucLumo);
        const double clientWidth = platform::twips::fromPixels(client_->width());
        const double clientHeight = platform::twips::fromPixels(client_->height());
        place(Browser1, Property::Left, double(bench.width) + bench.left + kGap);
        place(Browser1, Property::Width, clientWidth - bench.left - bench.width - kMargin);
        place(Browser1, Property::Height, clientHeight - read(Browser1, Property::Top) - kMargin);
        place(Grid1, Property::Top, double(bench.height) + bench.top + kGap);
        place(Grid1, Property::Height, clientHeight - bench.top - bench.height - kMargin);
        place(cmbNavigate, Property::Left, read(Browser1, Property::Left));
        place(cmdBotBack, Property::Left,
              read(cmbNavigate, Property::Left) + read(cmbNavigate, Property::Width) + kGap);
        place(cmdBotForward, Property::Left,
              read(cmdBotBack, Property::Left) + read(cmdBotBack, Property::Width) + kGap);
        place(cmdStop, Property::Left,
              read(cmdBotForward, Property::Left) + read(cmdBotForward, Property::Width) + kGap);
        platform::eventPump().doEvents();
    } catch (const platform::RunTimeError& error) {
        platform::dialogs().msgBox(
            QStringLiteral("Error resizing the display.  This usually occurs if you make the "
                           "window too small.   The system error message is ") +
                error.description(),
            platform::Dialogs::Buttons::Ok, platform::Dialogs::Icon::Critical);
    }
}

} // namespace shell
