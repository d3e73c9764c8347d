#pragma once

#include "workbench/lessons/Packs.h"

#include <functional>
#include <optional>

class QBoxLayout;
class QDialog;
class QLabel;
class QWidget;

namespace shell {

// The pack's title, instructions and questions, edited; none when cancelled. `edit` asks for a
// question's new form (askQuestion in the program, a script in tests).
// Adds, under a pack dialog's controls, the line that tells why OK is
// refused (hidden until then) and OK and Cancel, OK running `accept`; gives
// the line.
QLabel* addOkCancel(QDialog* dialog, QBoxLayout* column, const std::function<void()>& accept);

std::optional<workbench::packs::Pack>
editPack(QWidget* parent, const workbench::packs::Pack& pack,
         const std::function<
             std::optional<workbench::packs::Question>(const workbench::packs::Question&)>& edit);

} // namespace shell
