#pragma once

#include "workbench/lessons/Packs.h"

#include <functional>
#include <optional>

class QWidget;

namespace shell {

// The pack's title, instructions and questions, edited; none when cancelled. `edit` asks for a
// question's new form (askQuestion in the program, a script in tests).
std::optional<workbench::packs::Pack>
editPack(QWidget* parent, const workbench::packs::Pack& pack,
         const std::function<
             std::optional<workbench::packs::Question>(const workbench::packs::Question&)>& edit);

} // namespace shell
