// The four warning and confirmation dialogs: their texts, buttons, results,
// skin and painting, offscreen.
#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "common/language_module.h"
#include "option/logic/text_layout.h"
#include "option/message_dialogs.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/dialog_runner.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_look.h"
#include "skin_fixture.h"

namespace mt {
namespace {

using skin_test::TempFolder;

constexpr char kTexts[] =
    "250=Warning\n251=At least one button must keep the Left Click function.\n275=Select a macro first.\n"
    "276=Delete the selected macro?\n801=Restore Defaults\n802=Restore all five profiles?\n"
    "803=OK\n804=Cancel\n805=Restore\n";

// A skin of 444 x 260: black pictures (so painted texts stand out), a mask
// with the corners cut off, and the four buttons along the bottom.
class DialogSkin {
 public:
  explicit DialogSkin(bool with_description = true) {
    QImage normal(444, 260, QImage::Format_RGB32);
    normal.fill(Qt::black);
    dir.save("restore_normal.jpg", normal);
    dir.save("Restore_Over.JPG", normal);
    dir.save("restore_down.jpg", normal);
    QImage mask(444, 260, QImage::Format_RGB32);
    mask.fill(Qt::black);
    QPainter(&mask).fillRect(0, 0, 12, 12, Qt::white);
    dir.save("restore_mask.bmp", mask);
    if (with_description)
      dir.write("skin_Restore.ini",
                "[BUTTONINFO]\n1=ok,30,210,90,30,,FALSE\n2=cancel,130,210,90,30,,FALSE\n"
                "3=close,404,10,30,30,,FALSE\n4=again,230,210,90,30,,FALSE\n");
    language.load_from_text(kTexts);
  }
  TempFolder dir;
  SkinFolder skin{dir.path()};
  LanguageModule language;
};

struct Kind {
  const char* name;
  std::function<std::unique_ptr<CMessageDlg>(SkinFolder&, const LanguageModule&)> make;
  const char* title;
  const char* message;
  bool restore;
};

const Kind kKinds[] = {
    {"mt::CDeleteMacroWarn", [](SkinFolder& s, const LanguageModule& l) { return std::make_unique<CDeleteMacroWarn>(nullptr, s, l); },
     "Warning", "Delete the selected macro?", false},
    {"mt::CWarnMacroSet", [](SkinFolder& s, const LanguageModule& l) { return std::make_unique<CWarnMacroSet>(nullptr, s, l); },
     "Warning", "Select a macro first.", false},
    {"mt::CWarnClickDlg", [](SkinFolder& s, const LanguageModule& l) { return std::make_unique<CWarnClickDlg>(nullptr, s, l); },
     "Warning", "At least one button must keep the Left Click function.", false},
    {"mt::CDlgRestore", [](SkinFolder& s, const LanguageModule& l) { return std::make_unique<CDlgRestore>(nullptr, s, l); },
     "Restore Defaults", "Restore all five profiles?", true},
};

TEST(MessageDialogs, TextsButtonsAndSkin) {
  DialogSkin fixture;
  for (const Kind& k : kKinds) {
    SCOPED_TRACE(k.name);
    auto d = k.make(fixture.skin, fixture.language);
    EXPECT_STREQ(d->metaObject()->className(), k.name);
    EXPECT_EQ(d->title_text(), QString::fromLatin1(k.title));
    EXPECT_EQ(d->message_text(), QString::fromLatin1(k.message));
    EXPECT_EQ(d->size(), QSize(444, 260));
    EXPECT_FALSE(d->mask().contains(QPoint(3, 3)));
    EXPECT_TRUE(d->mask().contains(QPoint(20, 3)));
    EXPECT_EQ(d->button(1)->geometry(), QRect(30, 210, 90, 30));
    EXPECT_EQ(d->button(1)->text(), QStringLiteral("OK"));
    EXPECT_EQ(d->button(2)->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(d->button(3)->text(), QString());
    EXPECT_EQ(d->button(3)->geometry(), QRect(404, 10, 30, 30));
    EXPECT_EQ(d->button(4) != nullptr, k.restore);
    if (k.restore) {
      EXPECT_EQ(d->button(4)->text(), QStringLiteral("Restore"));
    }
    // The buttons' pictures are cuts of the dialog's at their rectangles.
    EXPECT_EQ(d->button(1)->pictures().normal.size(), QSize(90, 30));
  }
}

TEST(MessageDialogs, ResultsOfEachButton) {
  DialogSkin fixture;
  struct Case {
    int key;
    int result;
    int choice;  // CDlgRestore only
  };
  const Case cases[] = {{1, 1, 1}, {2, 2, 0}, {3, 2, 0}, {4, 1, 2}};
  for (const Kind& k : kKinds) {
    for (const Case& c : cases) {
      auto d = k.make(fixture.skin, fixture.language);
      if (!d->button(c.key)) continue;
      SCOPED_TRACE(std::string(k.name) + " key " + std::to_string(c.key));
      ScriptedDialogRunner runner;
      runner.then([&](QDialog&) {
        QTest::mouseClick(d->button(c.key), Qt::LeftButton);
        return ScriptedDialogRunner::kDialogsOwnResult;
      });
      EXPECT_EQ(runner.run(*d), c.result);
      if (auto* restore = dynamic_cast<CDlgRestore*>(d.get())) {
        EXPECT_EQ(restore->choice(), c.choice);
      }
    }
  }
}

TEST(MessageDialogs, EnterAndEscapeDoNotCloseThem) {
  DialogSkin fixture;
  CWarnClickDlg d(nullptr, fixture.skin, fixture.language);
  ExecDialogRunner runner;
  bool still_open = false;
  QTimer::singleShot(0, &d, [&] {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(&d, key);
    d.button(1)->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(d.button(1), key);
    still_open = d.isVisible();
    QTest::mouseClick(d.button(2), Qt::LeftButton);
  });
  EXPECT_EQ(runner.run(d), CSkinDialog::kResultCancel);
  EXPECT_TRUE(still_open);
}

TEST(MessageDialogs, UsableWithoutTheirSkin) {
  TempFolder empty;
  SkinFolder skin(empty.path());
  LanguageModule language;  // not loaded either: empty texts
  CDlgRestore d(nullptr, skin, language);
  EXPECT_EQ(d.size(), QSize(CMessageDlg::kFallbackWidth, CMessageDlg::kFallbackHeight));
  EXPECT_TRUE(d.mask().isEmpty());
  EXPECT_EQ(d.button(CMessageDlg::kClose)->text(), QStringLiteral("\u00D7"));  // no picture to show it
  for (int key = 1; key <= 4; ++key) {
    ASSERT_NE(d.button(key), nullptr);
    const QRect r = d.button(key)->geometry();
    EXPECT_FALSE(r.isEmpty()) << key;
    EXPECT_TRUE(d.rect().contains(r)) << key;
  }
  ScriptedDialogRunner runner;
  runner.then([&](QDialog&) {
    QTest::mouseClick(d.button(4), Qt::LeftButton);
    return ScriptedDialogRunner::kDialogsOwnResult;
  });
  EXPECT_EQ(runner.run(d), CSkinDialog::kResultOk);
  EXPECT_EQ(d.choice(), 2);

  // A description that places some buttons keeps them where they are.
  DialogSkin partly(false);
  partly.dir.write("skin_Restore.ini", "[BUTTONINFO]\n2=cancel,130,210,90,30,,FALSE\n");
  CWarnMacroSet w(nullptr, partly.skin, partly.language);
  EXPECT_TRUE(w.button(1)->geometry().isEmpty());
  EXPECT_EQ(w.button(2)->geometry(), QRect(130, 210, 90, 30));
}

// The box that holds every painted light-grey pixel within `area`.
QRect text_extent(const QImage& img, const QRect& area) {
  QRect extent;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (qRed(img.pixel(x, y)) > 60) extent |= QRect(x, y, 1, 1);
  return extent;
}

TEST(MessageDialogs, TextsPaintedInTheirBoxes) {
  DialogSkin fixture;
  fixture.dir.write("skin_Restore.ini", "[BUTTONINFO]\n");  // no buttons in the way
  CDeleteMacroWarn d(nullptr, fixture.skin, fixture.language);
  for (int key = 1; key <= 3; ++key) d.button(key)->hide();
  const QImage img = d.grab().toImage();
  const QRect title(layout::kDialogTitle.left, layout::kDialogTitle.top, layout::kDialogTitle.width(),
                    layout::kDialogTitle.height());
  const QRect message(layout::kDialogMessage.left, layout::kDialogMessage.top, layout::kDialogMessage.width(),
                      layout::kDialogMessage.height());
  // Nothing outside the two boxes.
  const QRect all = text_extent(img, img.rect());
  EXPECT_TRUE((title | message).contains(all)) << all.x() << "," << all.y() << " " << all.width() << "x" << all.height();
  // Each text sits in the middle of its box, across and down.
  for (const QRect& box : {title, message}) {
    const QRect t = text_extent(img, box);
    ASSERT_FALSE(t.isEmpty());
    EXPECT_NEAR(t.center().x(), box.center().x(), 3);
    EXPECT_NEAR(t.center().y(), box.center().y(), 6);
  }
  // The colour of the texts.
  bool designed_grey = false;
  for (int y = message.top(); y <= message.bottom() && !designed_grey; ++y)
    for (int x = message.left(); x <= message.right(); ++x)
      designed_grey = designed_grey || img.pixel(x, y) == look::kLabel;
  EXPECT_TRUE(designed_grey);

  // A message too long for its box starts at the top and is cut at the bottom.
  LanguageModule wordy;
  std::string long_text = "250=Warning\n276=";
  for (int i = 0; i < 60; ++i) long_text += "word ";
  wordy.load_from_text(long_text);
  CDeleteMacroWarn long_one(nullptr, fixture.skin, wordy);
  for (int key = 1; key <= 3; ++key) long_one.button(key)->hide();
  const QImage img2 = long_one.grab().toImage();
  const QRect t2 = text_extent(img2, message);
  EXPECT_LE(t2.top(), message.top() + 6);
  EXPECT_TRUE(message.contains(text_extent(img2, img2.rect().adjusted(0, title.bottom() + 1, 0, 0))));
}

}  // namespace
}  // namespace mt
