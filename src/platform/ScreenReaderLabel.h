#pragma once

#include <QString>

class QComboBox;
class QLabel;

namespace platform {

// Gives a list box the name a screen reader speaks before the entry chosen.
// On Linux the toolkit reports a combo box's current entry as its name and
// leaves its accessibleName unread: the name comes from a label whose buddy
// it is. Where the window shows no such label, this one stays hidden; an
// editable box's text field gets the same name.
QLabel* labelForScreenReaders(QComboBox* box, const QString& name);

} // namespace platform
