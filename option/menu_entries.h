// A menu of the rules (MenuEntry, option/logic/button_rules.h) as the items of
// an owner-drawn CExMenu: each item's text is the language text of its id, a
// macro item shows its name, popups carry their entries.
#pragma once

#include <vector>

#include "option/logic/button_rules.h"
#include "option/skin/ex_menu.h"

namespace mt {

CMenuItemList menu_items(const std::vector<MenuEntry>& entries, const TextLookup& text);

}  // namespace mt
