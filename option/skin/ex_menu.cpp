#include "option/skin/ex_menu.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

#include <algorithm>

#include "option/skin/skin_look.h"
#include "option/skin/skin_picture.h"

namespace mt {
namespace {

constexpr char kCommandProperty[] = "mt_command";
constexpr int kTextLeft = 12;
constexpr int kIconColumn = 24;
constexpr int kArrowColumn = 16;
constexpr int kSeparatorHeight = 7;

const QColor kMenuBack(0x1c, 0x1e, 0x22);
const QColor kMenuRim(0x3a, 0x3e, 0x45);
const QColor kSeparatorLine(0x33, 0x37, 0x3e);

// An action's text as shown: "&&" is a literal '&', a lone '&' a mnemonic
// mark, and anything after a tab a shortcut column the menus do not use.
QString shown_text(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == u'\t') break;
    if (text[i] == u'&') {
      if (i + 1 < text.size() && text[i + 1] == u'&') out.push_back(u'&');
      if (i + 1 < text.size()) ++i;
      if (i < text.size() && text[i] != u'&') out.push_back(text[i]);
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace

// Draws and measures the menu's items: the owner-draw of the design, done as
// a style so that QMenu keeps its keyboard, mouse and popup behaviour.
class CExMenu::Style : public QProxyStyle {
 public:
  Style() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  QFont font = look::design_font(QStringLiteral("Arial"), 15);
  int item_width = CExMenu::kDefaultItemWidth;
  QColor highlight = QColor(look::kAccentHover);

  int pixelMetric(PixelMetric m, const QStyleOption* opt, const QWidget* w) const override {
    switch (m) {
      case PM_MenuPanelWidth: return 1;
      case PM_MenuHMargin: return 0;
      case PM_MenuVMargin: return 3;
      case PM_SubMenuOverlap: return 0;
      case PM_MenuDesktopFrameWidth: return 0;
      case PM_SmallIconSize: return 16;
      default: return QProxyStyle::pixelMetric(m, opt, w);
    }
  }

  int styleHint(StyleHint h, const QStyleOption* opt, const QWidget* w, QStyleHintReturn* r) const override {
    if (h == SH_Menu_MouseTracking || h == SH_Menu_SpaceActivatesItem) return 1;
    if (h == SH_Menu_AllowActiveAndDisabled) return 0;
    return QProxyStyle::styleHint(h, opt, w, r);
  }

  QSize sizeFromContents(ContentsType type, const QStyleOption* opt, const QSize& size,
                         const QWidget* w) const override {
    if (type != CT_MenuItem) return QProxyStyle::sizeFromContents(type, opt, size, w);
    const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
    if (mi && mi->menuItemType == QStyleOptionMenuItem::Separator) return QSize(item_width, kSeparatorHeight);
    const QFontMetrics fm(font);
    int h = fm.height() + 8;
    if (mi && !mi->icon.isNull()) h = std::max(h, 20);
    // The item width is the least an item takes: a longer text (a translation,
    // a macro's name) widens the menu rather than being cut.
    int width = item_width;
    if (mi) {
      const bool popup = mi->menuItemType == QStyleOptionMenuItem::SubMenu;
      width = std::max(width, kTextLeft + (mi->icon.isNull() ? 0 : kIconColumn - 4) +
                          fm.horizontalAdvance(shown_text(mi->text)) + (popup ? kArrowColumn : 6) + 4);
    }
    return QSize(width, h);
  }

  void drawPrimitive(PrimitiveElement pe, const QStyleOption* opt, QPainter* p, const QWidget* w) const override {
    if (pe == PE_PanelMenu || pe == PE_FrameMenu) {
      if (pe == PE_PanelMenu) p->fillRect(opt->rect, kMenuBack);
      p->setPen(kMenuRim);
      p->setBrush(Qt::NoBrush);
      p->drawRect(opt->rect.adjusted(0, 0, -1, -1));
      return;
    }
    QProxyStyle::drawPrimitive(pe, opt, p, w);
  }

  void drawControl(ControlElement ce, const QStyleOption* opt, QPainter* p, const QWidget* w) const override {
    if (ce == CE_MenuEmptyArea) {
      p->fillRect(opt->rect, kMenuBack);
      return;
    }
    if (ce != CE_MenuItem) return QProxyStyle::drawControl(ce, opt, p, w);
    const auto* mi = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
    if (!mi) return;
    const QRect r = mi->rect;
    p->fillRect(r, kMenuBack);
    if (mi->menuItemType == QStyleOptionMenuItem::Separator) {
      const int y = r.top() + r.height() / 2;
      p->setPen(kSeparatorLine);
      p->drawLine(r.left() + 6, y, r.right() - 6, y);
      return;
    }
    const bool enabled = mi->state & State_Enabled;
    const bool hot = enabled && (mi->state & State_Selected);
    const bool marked = mi->checked;
    if (hot) p->fillRect(r.adjusted(1, 0, -1, 0), QColor(look::kAccent));
    if (marked) p->fillRect(QRect(r.left() + 1, r.top() + 3, 3, r.height() - 6), hot ? QColor(Qt::white) : highlight);

    int x = r.left() + kTextLeft;
    if (!mi->icon.isNull()) {
      const QPixmap pm = mi->icon.pixmap(QSize(16, 16), p->device()->devicePixelRatioF(),
                                         enabled ? QIcon::Normal : QIcon::Disabled);
      p->drawPixmap(x - 4, r.top() + (r.height() - 16) / 2, pm);
      x += kIconColumn - 4;
    }
    QColor text = look::from_colorref(look::kCaptionNormal);
    if (!enabled)
      text = look::from_colorref(look::kCaptionDisabled);
    else if (hot)
      text = Qt::white;
    else if (marked)
      text = highlight;
    p->setPen(text);
    p->setFont(font);
    const bool popup = mi->menuItemType == QStyleOptionMenuItem::SubMenu;
    const QRect box(x, r.top(), std::max(0, r.right() - x - (popup ? kArrowColumn : 6)), r.height());
    const QString label = shown_text(mi->text);
    p->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                QFontMetrics(font).elidedText(label, Qt::ElideRight, box.width()));
    if (popup) {
      p->save();
      p->setRenderHint(QPainter::Antialiasing, true);
      const qreal cx = r.right() - kArrowColumn / 2.0;
      const qreal cy = r.center().y() + 0.5;
      QPainterPath chevron;
      chevron.moveTo(cx - 2.5, cy - 4.5);
      chevron.lineTo(cx + 2.5, cy);
      chevron.lineTo(cx - 2.5, cy + 4.5);
      p->setPen(QPen(text, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p->setBrush(Qt::NoBrush);
      p->drawPath(chevron);
      p->restore();
    }
  }
};

CExMenu::CExMenu(QWidget* parent) : QMenu(parent), style_(new Style) {
  style_->setParent(this);
  setStyle(style_);
  setFont(style_->font);
  setSeparatorsCollapsible(false);
}

CExMenu::~CExMenu() = default;

void CExMenu::set_menu_font(const QString& face, int pixel_height, int weight) {
  style_->font = look::design_font(face, pixel_height, weight);
  setFont(style_->font);
}

void CExMenu::set_item_width(int width) { style_->item_width = std::max(1, width); }

int CExMenu::item_width() const { return style_->item_width; }

void CExMenu::set_highlight_color(const QColor& colour) { style_->highlight = colour; }

QAction* CExMenu::add_item(int command, const QString& text, const QImage& icon, bool marked) {
  if (command == 0 && text.isEmpty()) {
    add_separator();
    return nullptr;
  }
  // '&' is a character of the text, not a mnemonic mark.
  QString shown = text;
  shown.replace(u'&', QStringLiteral("&&"));
  QAction* a = addAction(shown);
  a->setProperty(kCommandProperty, command);
  if (!icon.isNull()) a->setIcon(QIcon(QPixmap::fromImage(icon)));
  if (marked) {
    // The style draws checked items as marked, without a check mark.
    a->setCheckable(true);
    a->setChecked(true);
  }
  return a;
}

void CExMenu::add_separator() { addSeparator(); }

CExMenu* CExMenu::add_popup(const QString& title, const QImage& icon) {
  auto* sub = new CExMenu(this);
  sub->style_->font = style_->font;
  sub->style_->item_width = style_->item_width;
  sub->style_->highlight = style_->highlight;
  sub->setFont(style_->font);
  QString shown = title;
  shown.replace(u'&', QStringLiteral("&&"));
  sub->setTitle(shown);
  if (!icon.isNull()) sub->setIcon(QIcon(QPixmap::fromImage(icon)));
  addMenu(sub);
  return sub;
}

void CExMenu::add_items(const CMenuItemList& items) {
  for (const ExMenuItem& e : items) {
    switch (e.kind) {
      case ExMenuItem::Kind::separator: add_separator(); break;
      case ExMenuItem::Kind::popup: add_popup(e.text, e.icon)->add_items(e.items); break;
      case ExMenuItem::Kind::item:
        if (QAction* a = add_item(e.command, e.text, e.icon, e.marked)) a->setEnabled(e.enabled);
        break;
    }
  }
}

int CExMenu::track(const QPoint& global) { return command_of(exec(global)); }

int CExMenu::command_of(const QAction* action) {
  if (!action) return 0;
  const QVariant v = action->property(kCommandProperty);
  return v.isValid() ? v.toInt() : 0;
}

QAction* CExMenu::action_of(int command) const {
  for (QAction* a : actions()) {
    if (a->menu()) {
      if (auto* sub = qobject_cast<CExMenu*>(a->menu()))
        if (QAction* found = sub->action_of(command)) return found;
    } else if (command_of(a) == command && a->property(kCommandProperty).isValid()) {
      return a;
    }
  }
  return nullptr;
}

}  // namespace mt
