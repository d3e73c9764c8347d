#include "ScreenReaderLabel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace platform {

QLabel* labelForScreenReaders(QComboBox* box, const QString& name) {
    // A sibling: the toolkit looks for a box's labels among its siblings.
    auto* label = new QLabel(name, box->parentWidget());
    QString labelName = box->objectName();
    if (labelName.startsWith(QStringLiteral("cmb"))) {
        labelName.remove(0, 3);
    }
    label->setObjectName(QStringLiteral("lbl") + labelName);
    label->setBuddy(box);
    label->hide();
    box->setAccessibleName(name);
    if (QLineEdit* field = box->lineEdit()) {
        field->setAccessibleName(name);
    }
    return label;
}

} // namespace platform
