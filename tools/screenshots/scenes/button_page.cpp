// The button page and its dialogs: the page with a mix of functions (English
// and Russian, and with the pointer over a slot), a slot menu with its popups
// open, the macro manager with a macro that does not fit the mouse's block
// (and with its event menu open), both key-capture dialogs (also with the
// note shown when another program holds the keyboard) and the program chooser.
#include <QMenu>
#include <QPainter>
#include <QTimer>

#include <memory>

#include "common/key_codes.h"
#include "common/settings_record.h"
#include "option/button_page.h"
#include "option/key_dialogs.h"
#include "option/macro_manager.h"
#include "option/program_chooser.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/dialog_runner.h"
#include "option/skin/ex_menu.h"
#include "option/skin/list_box_ex.h"
#include "option/skin/skin_look.h"
#include "platform/text.h"
#include "tools/screenshots/scene_host.h"
#include "tools/screenshots/screenshot_scene.h"
#ifdef MT_HAVE_PLATFORM_X11
// Xlib last: its macros break Qt's headers.
#include <X11/Xlib.h>
#endif

namespace {

using namespace mt;

// A profile with a mix of functions, and a macro library with one macro that
// does not fit the mouse's block.
class ButtonSceneHost final : public shots::SceneHost {
 public:
  ButtonSceneHost(shots::Context& ctx, int language) : shots::SceneHost(ctx, language) {
    ProfileRecord& p = working().profiles[0];
    set_key(p.MacroKeyInfo[3], 6, kModCtrl | kModShift);  // Ctrl+Shift+C
    p.MacroKeyInfo[4].function = kFnMacro;
    platform::set_fixed_text(p.MacroKeyInfo[4].macro_name, u"Reload combo");
    p.MacroKeyInfo[5].function = kFnLaunch;
    platform::set_fixed_text(p.MacroKeyInfo[5].program_path, u"/usr/games/supertuxkart");
    p.MacroKeyInfo[6].function = kFnVolumeUp;
    p.MacroKeyInfo[15].function = kFnSwitchWindow;
    macro_library().push_back(named(u"Reload combo"));
    macro_library().push_back(named(u"Sprint"));
    macro_library().push_back(long_macro());
  }

  static void set_key(ButtonRecord& b, uint8_t key, uint8_t mods) {
    b.function = kFnKey;
    b.event_count = 1;
    b.events[0] = MacroEvent{key, mods, 0};
  }
  static MacroRecord named(std::u16string_view name) {
    MacroRecord m{};
    platform::set_fixed_text(m.name, name);
    m.repeat_count = 1;
    const uint8_t keys[] = {21, 21, 8, 8};  // R down, R up, E down, E up
    for (int i = 0; i < 4; ++i) m.events[i] = MacroEvent{keys[i], uint8_t(i % 2 ? 2 : 1), uint16_t(i == 1 ? 120 : 0)};
    m.event_count = 4;
    return m;
  }
  // A recorded macro with pauses long enough that its end does not fit.
  static MacroRecord long_macro() {
    MacroRecord m{};
    platform::set_fixed_text(m.name, u"Build order");
    m.repeat_count = 3;
    const uint8_t keys[] = {30, 31, 32, 33, 240, 20, 26, 8, 21, 23, 28, 24, 12, 18, 19, 241, 4, 22, 7, 9, 10, 11, 13, 14};
    int n = 0;
    for (uint8_t k : keys) {
      m.events[n++] = MacroEvent{k, 1, uint16_t(k >= 240 ? 0 : 60)};
      m.events[n++] = MacroEvent{k, 2, uint16_t(1500 + 250 * (n % 5))};
    }
    m.event_count = n;
    return m;
  }
};

// The page in a plain frame the colour of the main window's page well.
class PageFrame : public QWidget {
 public:
  static constexpr int kInset = 12;
  explicit PageFrame(ButtonSceneHost& host) : QWidget(nullptr, Qt::FramelessWindowHint) {
    setFixedSize(720 + 2 * kInset, 470 + 2 * kInset);
    page = new CDlgPageMouse(host, this);
    page->move(kInset, kInset);
    page->load_texts();
    page->refresh();
  }
  CDlgPageMouse* page;

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(look::kSurfaceBottom)); }
};

// Opens the popup of the first action whose text is `title` and waits for it.
QMenu* open_popup(QMenu& menu, const QString& title) {
  for (QAction* a : menu.actions())
    if (a->menu() && a->text() == title) {
      menu.setActiveAction(a);
      shots::Context::settle(250);
      return a->menu();
    }
  return nullptr;
}

// Another program holding the keyboard, as long as it lives: Option's dialogs
// then cannot take it and say that other windows still receive keys.
#ifdef MT_HAVE_PLATFORM_X11
class KeyboardHeldElsewhere {
 public:
  KeyboardHeldElsewhere() : d_(XOpenDisplay(nullptr)) {
    if (!d_) return;
    const Window w = XCreateSimpleWindow(d_, DefaultRootWindow(d_), 1200, 900, 10, 10, 0, 0, 0);
    XMapWindow(d_, w);
    XSync(d_, False);
    held_ = XGrabKeyboard(d_, w, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    XSync(d_, False);
  }
  ~KeyboardHeldElsewhere() {
    if (!d_) return;
    XUngrabKeyboard(d_, CurrentTime);
    XCloseDisplay(d_);
  }
  KeyboardHeldElsewhere(const KeyboardHeldElsewhere&) = delete;
  KeyboardHeldElsewhere& operator=(const KeyboardHeldElsewhere&) = delete;
  bool held() const { return held_; }

 private:
  Display* d_;
  bool held_ = false;
};
#else
struct KeyboardHeldElsewhere {
  bool held() const { return false; }
};
#endif

QString text(const LanguageModule& lang, int id) { return QString::fromStdU16String(lang.text(id)); }

// The area of a window and the popups shown over it.
QRect with_popups(QWidget& window, std::initializer_list<QWidget*> popups) {
  QRect r = window.frameGeometry();
  for (QWidget* p : popups)
    if (p && p->isVisible()) r |= p->frameGeometry();
  return r;
}

}  // namespace

MT_SCREENSHOT_SCENE(button_page) {
  for (int lang : {kLanguageEnglish, kLanguageRussian}) {
    const std::string tag = "_" + shots::Context::language_tag(lang);
    ButtonSceneHost host(ctx, lang);
    PageFrame frame(host);
    ctx.shoot("button_page" + tag, frame);
    if (lang == kLanguageEnglish) {
      // The pointer over a slot lights its button on the mouse.
      shots::Context::point_at(*frame.page->slot_button(3), QPoint(60, 20));
      ctx.shoot("button_page_hover" + tag, frame);
      shots::Context::point_at(frame, QPoint(5, 5));
    }

    // A slot menu, with the shortcuts and their edit popup open.
    frame.page->set_menu_tracker([&](CExMenu& menu, const QPoint& at) {
      menu.popup(at);
      shots::Context::settle(200);
      QMenu* shortcuts = open_popup(menu, text(host.language(), 1099));
      QMenu* edit = shortcuts ? open_popup(*shortcuts, text(host.language(), 1070)) : nullptr;
      ctx.shoot_area("slot_menu_shortcuts" + tag, with_popups(frame, {&menu, shortcuts, edit}));
      if (shortcuts) shortcuts->close();
      menu.setActiveAction(nullptr);
      shots::Context::settle(100);
      QMenu* macros = open_popup(menu, text(host.language(), 1021));
      ctx.shoot_area("slot_menu_macros" + tag, with_popups(frame, {&menu, macros}));
      menu.close();
      shots::Context::settle(100);
      return 0;
    });
    frame.page->open_slot_menu(4);
    frame.hide();
  }
}

MT_SCREENSHOT_SCENE(macro_manager) {
  for (int lang : {kLanguageEnglish, kLanguageRussian}) {
    const std::string tag = "_" + shots::Context::language_tag(lang);
    ButtonSceneHost host(ctx, lang);
    ButtonRecord slot{};
    slot.function = kFnMacro;
    platform::set_fixed_text(slot.macro_name, u"Build order");
    CMacroManager manager(nullptr, host, slot);
    // A row picked near the end, where the rows that do not fit begin.
    const int picked = manager.event_list()->row_count() - 14;
    manager.event_list()->select_row(picked);
    emit manager.event_list()->selection_changed(picked, kEventListId);
    ctx.shoot("macro_manager" + tag, manager);
    if (lang != kLanguageEnglish) continue;

    manager.set_menu_tracker([&](CExMenu& menu, const QPoint&) {
      const QRect row = manager.event_list()->visualItemRect(manager.event_list()->item(picked));
      menu.popup(manager.event_list()->viewport()->mapToGlobal(row.center()));
      shots::Context::settle(200);
      QMenu* mouse = open_popup(menu, text(host.language(), 1058));
      QMenu* left = mouse ? open_popup(*mouse, text(host.language(), 1059)) : nullptr;
      ctx.shoot_area("macro_manager_menu" + tag, with_popups(manager, {&menu, mouse, left}));
      menu.close();
      shots::Context::settle(100);
      return 0;
    });
    emit manager.event_list()->right_button(kEventListId);

    // A fresh macro being named.
    emit manager.button(CMacroManager::kNew)->command(CMacroManager::kNew);
    shots::Context::settle(150);
    ctx.shoot("macro_manager_new" + tag, manager);
    manager.hide();
  }
  // Recording while another program holds the keyboard.
  KeyboardHeldElsewhere other;
  if (!other.held()) return;
  for (int lang : {kLanguageEnglish, kLanguageRussian}) {
    ButtonSceneHost host(ctx, lang);
    CMacroManager manager(nullptr, host, ButtonRecord{});
    manager.move(40, 40);
    manager.show();
    shots::Context::settle(150);
    emit manager.button(CMacroManager::kRecord)->command(CMacroManager::kRecord);
    ctx.shoot("macro_manager_recording_no_grab_" + shots::Context::language_tag(lang), manager);
    emit manager.button(CMacroManager::kRecord)->command(CMacroManager::kRecord);
    manager.hide();
  }
}

MT_SCREENSHOT_SCENE(key_dialogs) {
  for (int lang : {kLanguageEnglish, kLanguageRussian}) {
    const std::string tag = "_" + shots::Context::language_tag(lang);
    const LanguageModule& texts = ctx.language(lang);
    {
      ModifierFlags mods{};
      mods[kToggleCtrl] = mods[kToggleShift] = true;
      CShortCutDlg d(nullptr, ctx.skin(), texts, 6, mods);
      ctx.shoot("shortcut_dialog" + tag, d);
    }
    {
      ModifierFlags mods{};
      mods[kToggleKeyAlone] = mods[kToggleAlt] = true;
      CShortCutDlg d(nullptr, ctx.skin(), texts, 41, mods);
      ctx.shoot("shortcut_dialog_key_alone" + tag, d);
    }
    {
      CSingleKeyDlg d(nullptr, ctx.skin(), texts, 225);
      ctx.shoot("single_key_dialog" + tag, d);
    }
  }
  // Another program holding the keyboard: the dialogs say that other windows
  // still receive keys.
  KeyboardHeldElsewhere other;
  if (!other.held()) return;
  for (int lang : {kLanguageEnglish, kLanguageRussian}) {
    const std::string tag = "_" + shots::Context::language_tag(lang);
    {
      CShortCutDlg d(nullptr, ctx.skin(), ctx.language(lang), 4, ModifierFlags{});
      ctx.shoot("shortcut_dialog_no_grab" + tag, d);
    }
    {
      CSingleKeyDlg d(nullptr, ctx.skin(), ctx.language(lang), 4);
      ctx.shoot("single_key_dialog_no_grab" + tag, d);
    }
  }
}

MT_SCREENSHOT_SCENE(program_chooser) {
  for (int lang : {kLanguageEnglish, kLanguageRussian}) {
    const std::string tag = "_" + shots::Context::language_tag(lang);
    shots::SceneHost host(ctx, lang);  // a browse chooses nothing
    CDlgProgSel d(nullptr, ctx.skin(), ctx.language(lang), host.files(), u"/usr/games/supertuxkart");
    ctx.shoot("program_chooser" + tag, d);
  }
}
