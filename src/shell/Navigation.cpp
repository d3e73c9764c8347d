#include "Navigation.h"

#include "platform/Browser.h"
#include "platform/EventPump.h"
#include "platform/MousePointer.h"

#include <QComboBox>

namespace shell::navigation {

void navigateAndWait(platform::Browser& browser, QComboBox& addressBox) {
    const QString requested = addressBox.currentText();
    if (requested.isEmpty()) {
        return;
    }
    // The page already shown is not loaded again.
    if (browser.LocationURL() == requested) {
        return;
    }
    browser.setTag(QString());
    browser.navigate(requested);
    platform::mousePointer().setShape(platform::MousePointer::Shape::Hourglass);
    // Sleep until events arrive, then look again: the browser's completion
    // events, Stop and closing the window all end the wait.
    while (browser.Tag().isEmpty()) {
        platform::eventPump().waitForEvents();
    }
    platform::mousePointer().setShape(platform::MousePointer::Shape::Default);
    const QString reached = browser.LocationURL();
    if (addressBox.findText(reached, Qt::MatchFixedString | Qt::MatchCaseSensitive) < 0) {
        addressBox.addItem(reached);
    }
    addressBox.setEditText(reached);
    platform::eventPump().doEvents();
}

} // namespace shell::navigation
