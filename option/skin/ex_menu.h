// CExMenu: the owner-drawn popup menu of Option's windows. A QMenu drawn by
// its own style: dark panel, the menu's font, every item at least as wide as
// the set item width (150 as the windows set it) and wider where a text needs
// it, so no entry is cut short, separators as hairlines, optional
// icons, the hovered item in the accent colour, and a marked item (the
// current choice, e.g. the slot's macro) drawn in the highlight colour.
//
// An item is a command id and a text; command 0 with an empty text is a
// separator, as the windows' menu tables write it. A menu can be built item by
// item or from a CMenuItemList.
//
//   CExMenu menu(page);
//   menu.set_menu_font(QStringLiteral("Arial"), 18);
//   menu.set_item_width(150);
//   menu.add_item(1001, texts(1005));
//   menu.add_separator();
//   CExMenu* macros = menu.add_popup(texts(1021));
//   macros->add_item(1100, u"Combo", {}, /*marked=*/true);
//   const int command = menu.track(slot->mapToGlobal(QPoint(235, slot->height() - 5)));
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QString>

#include <vector>

namespace mt {

struct ExMenuItem;
using CMenuItemList = std::vector<ExMenuItem>;

struct ExMenuItem {
  enum class Kind { item, separator, popup };
  Kind kind = Kind::item;
  int command = 0;
  QString text;
  QImage icon;
  bool marked = false;
  bool enabled = true;
  CMenuItemList items;  // a popup's entries

  static ExMenuItem entry(int command, const QString& text, bool marked = false) {
    ExMenuItem e;
    e.command = command;
    e.text = text;
    e.marked = marked;
    return e;
  }
  static ExMenuItem separator() {
    ExMenuItem e;
    e.kind = Kind::separator;
    return e;
  }
  static ExMenuItem popup(const QString& title, CMenuItemList entries) {
    ExMenuItem e;
    e.kind = Kind::popup;
    e.text = title;
    e.items = std::move(entries);
    return e;
  }
};

class CExMenu : public QMenu {
  Q_OBJECT

 public:
  static constexpr int kDefaultItemWidth = 150;

  explicit CExMenu(QWidget* parent = nullptr);
  ~CExMenu() override;

  // Popups added later take the same font, width and colour.
  void set_menu_font(const QString& face, int pixel_height, int weight = 400);
  void set_item_width(int width);
  int item_width() const;
  void set_highlight_color(const QColor& colour);

  // An item; command 0 with an empty text adds a separator (and returns null).
  QAction* add_item(int command, const QString& text, const QImage& icon = QImage(), bool marked = false);
  void add_separator();
  CExMenu* add_popup(const QString& title, const QImage& icon = QImage());
  void add_items(const CMenuItemList& items);

  // Shows the menu with its top-left at `global` and waits for the choice:
  // the chosen item's command, 0 when the menu was closed without one.
  int track(const QPoint& global);

  // The command of one of the menu's actions (0 for anything else).
  static int command_of(const QAction* action);
  // The action of a command anywhere in the menu or its popups, or null.
  QAction* action_of(int command) const;

 private:
  class Style;
  Style* style_;
};

}  // namespace mt
