// Every skinned control in its states, on one plain window: buttons (normal,
// over, pressed, selected, disabled, without pictures), a region button, the
// numeric edit and the key-name field, both sliders and the marker, both
// spins, the list with icons, a selection and an open in-place edit, the
// picture windows, and the owner-drawn menu open over it. Pictures come from
// the program folder's skin where it has them (the restore dialog's buttons,
// slider.bmp, the row icons, a mouse picture); controls without pictures draw
// their plain look.
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

#include "option/skin/bitmap_btn.h"
#include "option/skin/bmp_edit.h"
#include "option/skin/ex_menu.h"
#include "option/skin/hslider.h"
#include "option/skin/list_box_ex.h"
#include "option/skin/picture_wnd.h"
#include "option/skin/rgn_button.h"
#include "option/skin/skin_look.h"
#include "option/skin/skin_picture.h"
#include "option/skin/skinned_window.h"
#include "option/skin/spin_wnd.h"
#include "tools/screenshots/screenshot_scene.h"

namespace {

using namespace mt;

class Gallery : public CSkinDialog {
 public:
  explicit Gallery(shots::Context& ctx) : CSkinDialog(nullptr, QSize(760, 560)) {
    setWindowTitle(QStringLiteral("Control gallery"));
    SkinFolder& skin = ctx.skin();
    const SkinPictureSet restore = skin.window_pictures(
        {"restore_mask.bmp", "restore_normal.jpg", "restore_over.jpg", "restore_down.jpg", "restore_normal.jpg"});
    const SkinPlacement ok = skin.description("skin_Restore.ini", SkinDescription::kButtonInfo).placement(1);
    const QRect cut_at = ok.empty() ? QRect(92, 206, 120, 36) : look::to_rect(ok);
    const SkinCuts button_cuts = restore.cuts(cut_at);
    const QSize bsize = cut_at.size();

    heading(20, 14, QStringLiteral("CBitmapBtn: normal, over, pressed, selected, disabled, no pictures"));
    const char* captions[] = {"Normal", "Over", "Pressed", "Selected", "Disabled", "Plain"};
    for (int i = 0; i < 6; ++i) {
      auto* b = new CBitmapBtn(this, 100 + i);
      b->setGeometry(20 + i * (std::min(bsize.width(), 116) + 4), 40, std::min(bsize.width(), 116), bsize.height());
      if (i < 5) b->set_pictures(button_cuts);
      b->setText(QString::fromLatin1(captions[i]));
      b->set_caption_font(QStringLiteral("Arial"), 18);
      buttons[i] = b;
    }
    buttons[2]->setDown(true);
    buttons[3]->set_selected(true);
    buttons[4]->setEnabled(false);

    heading(20, 100, QStringLiteral("CRgnButton (shaped), CBitmapBtn captions: left, wrapped"));
    auto* rgn = new CRgnButton(this, 110);
    rgn->setGeometry(20, 124, 130, 44);
    QImage tab(130, 44, QImage::Format_RGB32);
    tab.fill(Qt::white);
    {
      QPainter p(&tab);
      p.setRenderHint(QPainter::Antialiasing, false);
      p.setBrush(Qt::black);
      p.setPen(Qt::NoPen);
      p.drawPolygon(QPolygon({QPoint(14, 0), QPoint(116, 0), QPoint(130, 44), QPoint(0, 44)}));
    }
    const SkinMask& tab_mask = skin.mask("rgnbutton_mask.bmp");
    rgn->set_region(tab_mask.size == QSize(130, 44) ? tab_mask.region : QRegion());
    if (rgn->region().isEmpty()) rgn->set_region_from_mask(tab);
    rgn->setText(QStringLiteral("Tab"));
    rgn->set_caption_font(QStringLiteral("Arial"), 18);
    auto* left = new CBitmapBtn(this, 111);
    left->setGeometry(170, 124, 200, 44);
    left->set_caption_align(CBitmapBtn::CaptionAlign::left);
    left->set_caption_font(QStringLiteral("Arial"), 18);
    left->set_caption_color(QColor(255, 127, 39));
    left->setText(QStringLiteral("  3. Middle Button"));
    auto* wrapped = new CBitmapBtn(this, 112);
    wrapped->setGeometry(390, 124, 160, 44);
    wrapped->set_caption_align(CBitmapBtn::CaptionAlign::center_wrapped);
    wrapped->set_caption_font(QStringLiteral("Arial"), 16);
    wrapped->setText(QStringLiteral("A caption long enough to wrap"));

    heading(20, 186, QStringLiteral("CBmpEdit: numeric, key name; CSpinWnd; CSpecialSpinWnd; disabled"));
    auto* edit = new CBmpEdit(this, 4010);
    edit->setGeometry(20, 210, 90, 28);
    edit->setText(QStringLiteral("1,250.5"));
    auto* key = new CBmpEdit(this, 4011);
    key->setGeometry(120, 210, 130, 28);
    key->set_display_only(true);
    key->setText(QStringLiteral("Left Ctrl"));
    auto* spin = new CSpinWnd(this, 406);
    spin->setGeometry(270, 210, 70, 28);
    spin->set_range(1, 11);
    spin->set_value(3);
    auto* cpi = new CSpecialSpinWnd(this, 405);
    cpi->setGeometry(350, 210, 90, 28);
    cpi->set_value(9);
    auto* off = new CSpinWnd(this, 407);
    off->setGeometry(450, 210, 70, 28);
    off->set_range(0, 255);
    off->set_value(128);
    off->setEnabled(false);

    heading(20, 258, QStringLiteral("CClickHSlider, CPHSlider (slider.bmp), CDMarker, disabled slider"));
    const QImage& thumb = skin.picture("slider.bmp").image;
    auto* click = new CClickHSlider(this, 201);
    click->setGeometry(20, 282, 220, 24);
    click->set_range(1, 5);
    click->set_value(4);
    auto* ph = new CPHSlider(this, 202);
    ph->setGeometry(260, 282, 220, 24);
    ph->set_range(0, 700);
    ph->set_value(200);
    if (!thumb.isNull()) ph->set_thumb(thumb);
    auto* marker = new CDMarker(this, 12);
    marker->setGeometry(500, 282, 220, 24);
    marker->set_range(0, 700);
    marker->set_value(500);
    auto* dim = new CClickHSlider(this, 206);
    dim->setGeometry(20, 316, 220, 24);
    dim->set_range(1, 11);
    dim->set_value(6);
    dim->setEnabled(false);

    heading(20, 356, QStringLiteral("CListBoxEx: icons, selection, in-place edit"));
    list = new CListBoxEx(this, 4097);
    list->setGeometry(20, 380, 240, 160);
    for (int id = 163; id <= 166; ++id) {
      const SkinPicture& icon = skin.picture("Icons/" + std::to_string(id) + ".png");
      list->set_icon(id, icon.ok() ? icon.image : plain_icon(id));
    }
    list->add_row(QStringLiteral("Left Shift"), (1u << 16) | 163);
    list->add_row(QStringLiteral("25 ms"), (1u << 16) | 165);
    list->add_row(QStringLiteral("A"), (2u << 16) | 163);
    list->add_row(QStringLiteral("A"), (3u << 16) | 164);
    list->add_row(QStringLiteral("Left Down"), (4u << 16) | 166);
    list->add_row(QStringLiteral("Left Up"), (5u << 16) | 166);
    list->add_row(QStringLiteral("Left Shift"), (6u << 16) | 164);
    list->select_row(2);
    auto* names = new CListBoxEx(this, 4096);
    names->setGeometry(280, 380, 200, 160);
    names->add_row(QStringLiteral("Rapid fire"), 0);
    names->add_row(QStringLiteral("Reload"), 0);
    names->select_row(0);
    names->add_row(QString(), 0);
    edited = names;

    heading(510, 356, QStringLiteral("CLineWnd, CRgnWnd"));
    auto* line = new CLineWnd(this, 100);
    line->setGeometry(510, 380, 110, 150);
    const SkinPicture& mouse = skin.picture("Mouse/mouse_1.jpg");
    if (mouse.ok()) {
      const QSize s = logical_size(mouse.image).scaled(110, 150, Qt::KeepAspectRatio);
      line->setGeometry(510, 380, s.width(), s.height());
      line->set_picture(mouse.image);
    } else {
      line->set_picture(plain_icon(166).scaled(110, 150, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    auto* round = new CRgnWnd(this, 101);
    round->setGeometry(640, 400, 90, 90);
    QImage disc(90, 90, QImage::Format_RGB32);
    {
      QPainter p(&disc);
      QLinearGradient g(0, 0, 90, 90);
      g.setColorAt(0, QColor(look::kAccentHover));
      g.setColorAt(1, QColor(look::kAccentPressed));
      p.fillRect(disc.rect(), g);
    }
    round->set_picture(disc);
    round->set_region(QRegion(0, 0, 90, 90, QRegion::Ellipse));
  }

  void open_edit() { edited->begin_edit(2, 15, CListBoxEx::kNewRow); }

  CBitmapBtn* buttons[6] = {};
  CListBoxEx* list = nullptr;
  CListBoxEx* edited = nullptr;

 private:
  void heading(int x, int y, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setFont(look::design_font(QStringLiteral("Arial"), 14));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(look::kLabel));
    l->setPalette(pal);
    l->move(x, y);
    l->adjustSize();
  }
  // A row icon for a skin that has none: arrow down, arrow up, clock, mouse.
  static QImage plain_icon(int id) {
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(look::from_colorref(look::kCaptionNormal), 1.6));
    switch (id) {
      case 163: p.drawLine(8, 2, 8, 13), p.drawLine(4, 9, 8, 13), p.drawLine(12, 9, 8, 13); break;
      case 164: p.drawLine(8, 3, 8, 14), p.drawLine(4, 7, 8, 3), p.drawLine(12, 7, 8, 3); break;
      case 165: p.drawEllipse(QRectF(2.5, 2.5, 11, 11)), p.drawLine(8, 5, 8, 8), p.drawLine(8, 8, 11, 9); break;
      default: p.drawRoundedRect(QRectF(4.5, 1.5, 7, 13), 3.5, 3.5), p.drawLine(8, 2, 8, 6); break;
    }
    return img;
  }
};

}  // namespace

MT_SCREENSHOT_SCENE(control_gallery) {
  Gallery g(ctx);
  g.move(40, 40);
  g.show();
  shots::Context::settle(150);
  shots::Context::point_at(*g.buttons[1], QPoint(10, 10));
  g.open_edit();
  ctx.shoot("controls_gallery", g);

  CExMenu menu(&g);
  menu.set_menu_font(QStringLiteral("Arial"), 18);
  menu.set_item_width(CExMenu::kDefaultItemWidth);
  menu.add_items({
      ExMenuItem::entry(1001, QStringLiteral("Left Click")),
      ExMenuItem::separator(),
      ExMenuItem::entry(1002, QStringLiteral("Right Click")),
      ExMenuItem::separator(),
      ExMenuItem::entry(1006, QStringLiteral("Disabled")),
      ExMenuItem::separator(),
      ExMenuItem::popup(QStringLiteral("Macros"), {ExMenuItem::entry(1099, QStringLiteral("Macro Manager")),
                                                   ExMenuItem::separator(),
                                                   ExMenuItem::entry(1100, QStringLiteral("Rapid fire")),
                                                   ExMenuItem::entry(1101, QStringLiteral("Reload"), true)}),
  });
  const QPoint at = g.mapToGlobal(QPoint(520, 360));
  menu.popup(at);
  shots::Context::settle(150);
  // The macros popup open, its marked entry in the highlight colour.
  menu.setActiveAction(menu.actions().back());
  shots::Context::settle(400);
  QRect area = g.frameGeometry();
  for (QMenu* m : {static_cast<QMenu*>(&menu), menu.actions().back()->menu()})
    if (m->isVisible()) area |= m->geometry();
  ctx.shoot_area("controls_menu", area);
  menu.close();
}
