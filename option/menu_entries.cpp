#include "option/menu_entries.h"

namespace mt {

CMenuItemList menu_items(const std::vector<MenuEntry>& entries, const TextLookup& text) {
  CMenuItemList items;
  items.reserve(entries.size());
  for (const MenuEntry& e : entries) {
    switch (e.kind) {
      case MenuEntry::Kind::separator: items.push_back(ExMenuItem::separator()); break;
      case MenuEntry::Kind::popup:
        items.push_back(ExMenuItem::popup(QString::fromStdU16String(text(e.text_id)), menu_items(e.entries, text)));
        break;
      case MenuEntry::Kind::item: {
        const std::u16string label = e.text_id ? text(e.text_id) : e.name;
        items.push_back(ExMenuItem::entry(e.command, QString::fromStdU16String(label), e.marked));
        break;
      }
    }
  }
  return items;
}

}  // namespace mt
