#include "option/option_dlg.h"

#include <sys/stat.h>

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "common/macro_sync.h"
#include "common/product.h"
#include "common/settings_files.h"
#include "option/logic/text_layout.h"
#include "option/message_dialogs.h"
#include "option/option_log.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/ex_menu.h"
#include "option/skin/rgn_button.h"
#include "option/skin/skin_look.h"
#include "platform/qt/qt_text.h"
#include "platform/window_bus.h"
#include "platform/window_messages.h"

#if defined(MT_HAVE_PLATFORM_X11)
#include "platform/x11/x11_pointer_system.h"
#endif

namespace mt {
namespace {

constexpr char kDescription[] = "skin_main.ini";
const SkinPictureNames kPictures{"main_mask.bmp", "main_normal.jpg", "main_over.jpg", "main_down.jpg",
                                 "main_disable.jpg"};
constexpr char kTabMask[] = "rgnbutton_mask.bmp";
constexpr char kProgramIcon[] = "Icons/program.png";
// The smaller sizes beside the program icon (256 px), for task bars and
// title bars that would otherwise scale it down.
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128};

constexpr QSize kMainSize(1100, 620);
// Where the parts sit when the skin does not say (the design's fixed places).
constexpr QRect kDefaultPageArea(370, 66, 720, 470);

// Tabs and the footer's buttons: the design's caption height of 23 is the
// character cell, 20 pixels of Arial. The language button's label sits right
// of its globe.
constexpr int kCaptionPx = 20;
constexpr int kLanguageLabelPx = 18;
constexpr QMargins kLanguageLabelMargins(30, 0, 14, 0);
constexpr int kLanguageMenuPx = 15;

// While an Apply waits for Monitor, how often Monitor's window is looked for.
constexpr int kWaitPollMs = 250;

int64_t now_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

QRect box_rect(const layout::Box& b) { return QRect(b.left, b.top, b.width(), b.height()); }

bool file_exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool is_tab(int key) { return key >= kMainTabPerformance && key <= kMainTabHome; }

PageId page_of_tab(int key) { return static_cast<PageId>(key - kMainTabPerformance); }

}  // namespace

// While an Apply waits for Monitor, the window takes no clicks: the design
// captures the mouse to the dialog. On a desktop an X pointer grab would
// freeze every other program too, so the capture stays inside Option: every
// mouse press, release and wheel turn meant for one of its windows is
// dropped until the wait ends.
class COptionDlg::Capture final : public QObject {
 public:
  explicit Capture(COptionDlg& dlg) : dlg_(dlg) { qApp->installEventFilter(this); }
  ~Capture() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel: {
        auto* w = qobject_cast<QWidget*>(watched);
        return w && (w == &dlg_ || dlg_.isAncestorOf(w));
      }
      default: return false;
    }
  }

 private:
  COptionDlg& dlg_;
};

// Steps 1-11 of the start, for run_dialog_start.
class COptionDlg::StartSteps final : public DialogStartSteps {
 public:
  explicit StartSteps(COptionDlg& d) : d_(d) {}

  void set_title_and_icon() override {
    d_.setWindowTitle(QString::fromUtf8(OPTION_WINDOW_TITLE));
    QIcon icon;
    const std::string program_icon = d_.skin_.find(kProgramIcon);
    if (!program_icon.empty()) icon.addFile(QString::fromStdString(program_icon));
    for (int n : kIconSizes) {
      const std::string f = d_.skin_.find("Icons/hicolor/" + std::to_string(n) + "x" + std::to_string(n) +
                                          "/morvath-t60r.png");
      if (!f.empty()) icon.addFile(QString::fromStdString(f), QSize(n, n));
    }
    d_.setWindowIcon(icon);
  }

  BlockOpen open_block(SettingsRecord& applied) override {
    switch (d_.shared_.open()) {
      case SharedRecordBlock::Status::opened:
        // A copy that could not be made (the wait for the mutex failed)
        // leaves nothing to start from: then the files count.
        return d_.shared_.fetch(applied) ? BlockOpen::opened : BlockOpen::missing;
      case SharedRecordBlock::Status::map_failed: return BlockOpen::unmappable;
      default: return BlockOpen::missing;
    }
  }

  void show_message(std::u16string_view text) override {
    // The system's own message box: the default caption, OK only.
    QMessageBox box(QMessageBox::NoIcon, QString(), platform::to_qstring(text), QMessageBox::Ok, &d_);
    d_.dialogs().run(box);
  }

  bool load_files(SettingsRecord& applied) override {
    // A folder that never held settings has nothing to load: the start then
    // takes the factory defaults (profile 1 current) rather than a record
    // with no current profile.
    if (!file_exists(config_ini_path(d_.setup_.settings_folder))) return false;
    clear(applied);
    return load_settings(applied, d_.setup_.settings_folder, &d_.pointer_store_) == 1;
  }

  void load_macro_library() override {
    d_.library_.clear();
    mt::load_macro_library(d_.library_, d_.setup_.settings_folder);
  }

  void sync_macros(SettingsRecord& working) override {
    merge_from_profiles(d_.library_, working);
    if (!save_macro_library(d_.library_, d_.setup_.settings_folder))
      option_log("the macro library could not be saved in %sconfig/", d_.setup_.settings_folder.c_str());
  }

  void load_language(int language_id) override {
    d_.language_.load_for_language(d_.setup_.program_folder, language_id);
    // No module was loaded before this one; every module carries the same
    // labels, so the new one gives them.
    d_.language_label_ = platform::to_qstring(mt::language_label(d_.language_, language_id));
  }

  int read_firmware_version() override { return mt::read_firmware_version(d_.setup_.settings_folder); }

  void show_firmware_text(std::u16string_view text) override {
    d_.firmware_text_ = platform::to_qstring(text);
  }

  void read_pointer_settings(ProfileRecord& current) override { d_.pointer_store_.read_from_registry(current); }

  void build_skin() override { d_.build_skin(); }

  void fill_pages() override { d_.show_page(PageId::buttons); }

  void load_texts() override { d_.load_texts(); }

 private:
  COptionDlg& d_;
};

// Steps 1-9 of Apply, for run_apply.
class COptionDlg::ApplyStepsImpl final : public ApplySteps {
 public:
  explicit ApplyStepsImpl(COptionDlg& d) : d_(d) {}

  void begin_wait() override { d_.begin_wait(); }

  void publish_record(const SettingsRecord& working) override {
    // A Monitor started after Option has a block Option has not opened yet:
    // without it Monitor would apply its own old record.
    if (!d_.shared_.has_block()) d_.shared_.open();
    d_.shared_.publish(working);
  }

  bool save_files(const SettingsRecord& working) override {
    return save_settings(working, d_.setup_.settings_folder, &d_.pointer_store_) == 1;
  }

  bool post_apply_to_monitor(int flag) override {
    return platform::post_message(MONITOR_WINDOW_TITLE, WM_MON_APPLY_ALL, static_cast<std::uintptr_t>(flag), 0);
  }

  void post_apply_to_companions() override {
    for (const char* title : OSD_COMPANION_TITLES) platform::post_message(title, WM_MON_APPLY_ALL, 0, 0);
  }

  void write_access_stamp() override {
    mt::write_access_stamp(d_.setup_.settings_folder, static_cast<uint32_t>(std::time(nullptr)));
  }

  void end_wait() override { d_.end_wait(); }

 private:
  COptionDlg& d_;
};

COptionDlg::COptionDlg(Setup setup)
    : CSkinDialog(nullptr, kMainSize),
      setup_(std::move(setup)),
      qt_chooser_(this),
      dialogs_(setup_.dialogs ? setup_.dialogs : &exec_runner_),
      files_(setup_.files ? setup_.files : &qt_chooser_),
      skin_(SkinFolder::skins_path(setup_.program_folder)),
      applied_(std::make_unique<SettingsRecord>()),
      working_(std::make_unique<SettingsRecord>()),
      pointer_store_(setup_.registry_file.empty() ? registry_file_path() : setup_.registry_file),
      apply_steps_(std::make_unique<ApplyStepsImpl>(*this)),
      wait_(setup_.apply_wait_ms) {
  // The main window: a window of its own on the desktop (task bar, minimise),
  // not a dialog that belongs to another.
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
  clear(*applied_);
  clear(*working_);
  // Sharp pictures on a high-density screen; placements stay logical.
  if (QScreen* screen = QGuiApplication::primaryScreen()) skin_.set_device_pixel_ratio(screen->devicePixelRatio());
  wait_timer_.setInterval(kWaitPollMs);
  connect(&wait_timer_, &QTimer::timeout, this, [this] { poll_wait(); });
}

COptionDlg::~COptionDlg() {
  wait_timer_.stop();
  capture_.reset();
  if (wait_shown_) QApplication::restoreOverrideCursor();
  // The pages go first: they use this window's skin, texts and records.
  for (PageHandle& h : pages_) {
    delete h.widget;
    h = PageHandle{};
  }
  bus_.close();
  shared_.close();
}

bool COptionDlg::create() {
  // The window on the bus carries the window's title; it is there from the
  // start, as a window is from its creation.
  const platform::EndpointError e =
      bus_.create(OPTION_WINDOW_TITLE, [this](const platform::WindowMessage& m) { return window_proc(m); });
  if (e == platform::EndpointError::title_in_use) {
    option_log("another Option's window is open");
    return false;
  }
  if (e != platform::EndpointError::none) option_log("no window on the bus: Monitor cannot reach this window");
  StartSteps steps(*this);
  const int language = setup_.system_language >= 0 ? setup_.system_language : system_language();
  start_ = run_dialog_start(language, *applied_, *working_, steps);
  static const char* const kSources[] = {"the shared block", "the settings files", "the factory defaults"};
  option_log("started, record from %s, language %d, profile %d", kSources[static_cast<int>(start_.source)],
             start_.language_id, working_->CurrentProfile + 1);
  return true;
}

// ---- the skin -------------------------------------------------------------------

QRect COptionDlg::placement(int key) const { return look::to_rect(description_.placement(key)); }

void COptionDlg::build_skin() {
  description_ = skin_.description(kDescription, SkinDescription::kButtonInfo);
  // The first frame needs the background and the selected tab's down cut
  // (decoded side by side); the over and disabled pictures follow right
  // after it (load_state_pictures).
  SkinPictureNames first = kPictures;
  first.over = first.disable = std::string();
  set_skin(skin_.window_pictures(first));
  const QRegion tab_shape = skin_.mask(kTabMask).region;
  for (int key = 1; key <= kMainLastButton; ++key) {
    const QRect r = placement(key);
    CBitmapBtn* b;
    if (is_tab(key)) {
      auto* tab = new CRgnButton(this, key);
      tab->set_region(tab_shape);
      b = tab;
    } else if (key == kMainLanguage) {
      b = new CBitmapBtn(this, key);
      b->set_caption_font(QStringLiteral("Arial"), kLanguageLabelPx);
      b->set_caption_align(CBitmapBtn::CaptionAlign::right);
      b->set_caption_margins(kLanguageLabelMargins);
    } else {
      b = new CBitmapBtn(this, key);
    }
    if (key != kMainLanguage) b->set_caption_font(QStringLiteral("Arial"), kCaptionPx);
    // Apply is drawn in the accent red: a red caption over it would vanish.
    if (key == kMainApply || key == kMainApply2)
      b->set_caption_colors(look::from_colorref(look::kCaptionNormal), look::from_colorref(look::kCaptionSelected),
                            look::from_colorref(look::kCaptionDisabled), QColor(Qt::white));
    b->setGeometry(r);
    b->set_pictures(cuts(r));
    b->setFocusPolicy(Qt::NoFocus);
    // A key the skin does not place has no button to press.
    if (r.isEmpty()) b->hide();
    connect(b, &CBitmapBtn::command, this, [this](int id) { on_button(id); });
    connect(b, &CBitmapBtn::status_hint, this, [this](int entered, const QString& hint) {
      show_status_hint(entered ? platform::to_u16string(hint) : std::u16string());
    });
    buttons_[key] = b;
  }

  // Centred on the screen.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect where(QPoint(0, 0), size());
    where.moveCenter(screen->availableGeometry().center());
    move(where.topLeft());
  }
}

void COptionDlg::load_state_pictures() {
  if (state_pictures_loaded_) return;
  state_pictures_loaded_ = true;
  const SkinPictureSet all = skin_.window_pictures(kPictures);
  for (int key = 1; key <= kMainLastButton; ++key)
    if (CBitmapBtn* b = buttons_[key]) b->set_pictures(all.cuts(b->geometry()));
  // Every control has its cuts: only the background stays decoded.
  release_state_pictures();
  skin_.release(kPictures.over);
  skin_.release(kPictures.down);
  skin_.release(kPictures.disable);
}

CBitmapBtn* COptionDlg::button(int key) const {
  return key >= 1 && key <= kMainLastButton ? buttons_[key] : nullptr;
}

void COptionDlg::load_texts() {
  auto text = [this](int id) { return platform::to_qstring(language_.text(id)); };
  for (int i = 0; i < kPageCount; ++i)
    if (CBitmapBtn* b = button(kMainTabPerformance + i)) b->setText(text(kTextTabFirst + i));
  const std::pair<int, int> captions[] = {{kMainCancel, kTextCancel}, {kMainApply, kTextApply},
                                          {kMainApply2, kTextApply}, {kMainOk, kTextOk},
                                          {kMainRestore, kTextRestore}};
  for (const auto& [key, id] : captions)
    if (CBitmapBtn* b = button(key)) b->setText(text(id));
  // The close and minimise buttons carry glyphs; their words are their tips.
  if (CBitmapBtn* b = button(kMainClose)) b->setToolTip(text(kTextCancel));
  if (CBitmapBtn* b = button(kMainMinimise)) b->setToolTip(text(kTextMinimise));
  if (CBitmapBtn* b = button(kMainLanguage)) b->setText(language_label_);
  firmware_label_ = text(kTextFirmware);
  status_text_.clear();
  for (PageHandle& h : pages_)
    if (h.page) h.page->load_texts();
  update();
}

void COptionDlg::paint_surface(QPainter& p) {
  p.setPen(QColor(look::kLabel));
  p.setFont(look::design_font(QStringLiteral("Arial"), layout::kFirmwareLabelPx));
  p.drawText(box_rect(layout::kFirmwareLabel), Qt::AlignRight | Qt::AlignVCenter, firmware_label_);
  QRect version = placement(kMainFirmware);
  if (version.isEmpty()) version = box_rect(layout::kFirmwareVersion);
  p.setFont(look::design_font(QStringLiteral("Arial"), layout::kFirmwareVersionPx));
  p.drawText(version, Qt::AlignCenter, firmware_text_);
  if (!status_text_.isEmpty()) {
    p.setFont(look::design_font(QStringLiteral("Arial"), layout::kMainStatusPx));
    p.drawText(box_rect(layout::kMainStatus), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, status_text_);
  }
  if (!first_frame_logged_) {
    first_frame_logged_ = true;
    option_log("window shown");
    QTimer::singleShot(0, this, [this] { load_state_pictures(); });
  }
}

void COptionDlg::show_status_hint(std::u16string_view text) {
  const QString t = platform::to_qstring(text);
  if (t == status_text_) return;
  status_text_ = t;
  update(box_rect(layout::kMainStatus));
}

void COptionDlg::set_firmware_text(int version) {
  firmware_text_ = platform::to_qstring(firmware_version_text(version));
  QRect r = placement(kMainFirmware);
  update(r.isEmpty() ? box_rect(layout::kFirmwareVersion) : r);
}

// ---- pages --------------------------------------------------------------------

void COptionDlg::show_page(PageId id) {
  const int i = static_cast<int>(id);
  if (page_shown_ && current_ == id) return;
  PageHandle& h = pages_[i];
  bool made = false;
  if (!h.widget) {
    const PageEntry& entry = page_entry(id);
    h = entry.make(*this, this);
    QRect area = placement(entry.area_key);
    if (area.isEmpty()) area = kDefaultPageArea;
    h.widget->move(area.topLeft());
    made = true;
  }
  if (page_shown_ && pages_[static_cast<int>(current_)].widget) pages_[static_cast<int>(current_)].widget->hide();
  if (made) {
    // A page made now shows what the others show already.
    h.page->refresh();
    h.page->load_texts();
  }
  h.widget->show();
  current_ = id;
  page_shown_ = true;
  for (int key = kMainTabPerformance; key <= kMainTabHome; ++key)
    if (CBitmapBtn* b = button(key)) b->set_selected(page_of_tab(key) == id);
}

void COptionDlg::refresh_pages() {
  for (PageHandle& h : pages_)
    if (h.page) h.page->refresh();
}

// ---- buttons ------------------------------------------------------------------

void COptionDlg::press(int key) {
  CBitmapBtn* b = button(key);
  if (!b || b->isHidden() || !b->isEnabled()) return;
  b->click();
}

void COptionDlg::on_button(int key) {
  switch (key) {
    case kMainClose:
    case kMainCancel: done(kResultCancel); break;
    case kMainMinimise: showMinimized(); break;
    case kMainApply:
    case kMainApply2: apply(0); break;
    case kMainOk:
      apply(0);
      done(kResultOk);
      break;
    case kMainRestore: restore_defaults_confirmed(); break;
    case kMainLanguage: open_language_menu(); break;
    default:
      if (is_tab(key)) show_page(page_of_tab(key));
      break;
  }
}

void COptionDlg::restore_defaults_confirmed() {
  CDlgRestore confirm(this, skin_, language_);
  if (dialogs().run(confirm) != kResultOk) return;
  restore_defaults(*working_);
  refresh_pages();
  apply(1);
}

void COptionDlg::open_language_menu() {
  CBitmapBtn* b = button(kMainLanguage);
  if (!b) return;
  CExMenu menu(this);
  menu.set_menu_font(QStringLiteral("Arial"), kLanguageMenuPx);
  // The language in use is marked.
  for (const LanguageMenuItem& item : kLanguageMenu)
    menu.add_item(item.command, platform::to_qstring(language_.text(item.text_id)), QImage(),
                  item.language_id == working_->LanguageID);
  // The button stays pressed while its menu is open.
  b->setDown(true);
  language_menu_ = &menu;
  const int command = menu.track(b->mapToGlobal(QPoint(0, b->height())));
  language_menu_ = nullptr;
  b->setDown(false);
  b->update();
  if (command) choose_language(command);
}

void COptionDlg::choose_language(int menu_command) {
  const std::optional<int> id = language_of_menu_command(menu_command);
  if (!id) return;
  // The label of the new language comes from the module in use before it.
  language_label_ = platform::to_qstring(mt::language_label(language_, *id));
  language_.load_for_language(setup_.program_folder, *id);
  working_->LanguageID = *id;
  if (CBitmapBtn* b = button(kMainLanguage)) {
    b->setText(language_label_);
    b->repaint();
  }
  load_texts();
}

// ---- Apply ----------------------------------------------------------------------

void COptionDlg::apply(int flag) {
  const ApplyResult r = run_apply(flag, *working_, *applied_, *apply_steps_);
  if (!r.files_saved) option_log("apply (%d): the settings files could not be saved", flag);
  if (r.waiting_for_monitor) {
    wait_.begin(now_ms());
    wait_timer_.start();
    option_log("apply (%d): waiting for Monitor", flag);
  } else {
    option_log("apply (%d): no Monitor, done at once", flag);
  }
}

void COptionDlg::begin_wait() {
  for (int key : {kMainApply, kMainApply2, kMainOk})
    if (CBitmapBtn* b = button(key)) b->setEnabled(false);
  if (!wait_shown_) {
    wait_shown_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    capture_ = std::make_unique<Capture>(*this);
  }
}

void COptionDlg::end_wait() {
  wait_.done();
  wait_timer_.stop();
  for (int key : {kMainApply, kMainApply2, kMainOk})
    if (CBitmapBtn* b = button(key)) {
      b->setEnabled(true);
      b->repaint();
    }
  if (wait_shown_) {
    wait_shown_ = false;
    capture_.reset();
    QApplication::restoreOverrideCursor();
  }
}

void COptionDlg::poll_wait() {
  const bool monitor_there = platform::window_exists(MONITOR_WINDOW_TITLE);
  if (!wait_.should_end(now_ms(), monitor_there)) return;
  if (!monitor_there)
    option_log("apply wait ended: Monitor's window is gone");
  else
    option_log("apply wait ended: no answer from Monitor in %lld ms", static_cast<long long>(wait_.timeout_ms()));
  end_wait();
}

// ---- import and export -------------------------------------------------------

void COptionDlg::import_profile() {
  const std::optional<std::string> path = files().choose(import_request(setup_.settings_folder));
  if (!path) return;
  const int p = working_->CurrentProfile;
  if (p < 0 || p >= kProfileCount) return;
  const ProfileImport r = import_whole_profile(*working_, p, *path);
  if (r != ProfileImport::imported) {
    option_log("import of %s refused: %s", path->c_str(),
               r == ProfileImport::unreadable ? "it cannot be read" : "it is not a whole profile file");
    CWarnImportDlg warn(this, skin_, language_);
    dialogs().run(warn);
    return;
  }
  merge_from_profiles(library_, *working_);
  refresh_pages();
  apply(0);
}

void COptionDlg::export_profile() {
  const std::optional<std::string> path = files().choose(export_request(setup_.settings_folder));
  if (!path) return;
  const int p = working_->CurrentProfile;
  if (p < 0 || p >= kProfileCount) return;
  if (!mt::export_profile(*working_, p, setup_.settings_folder, *path)) {
    option_log("export to %s failed", path->c_str());
    CWarnExportDlg warn(this, skin_, language_);
    dialogs().run(warn);
  }
}

// ---- the desktop ----------------------------------------------------------------

platform::PointerSystem* COptionDlg::pointer_system() {
  if (setup_.pointer) return setup_.pointer;
  if (!pointer_made_) {
    pointer_made_ = true;
#if defined(MT_HAVE_PLATFORM_X11)
    const char* display = std::getenv("DISPLAY");
    if (display && *display && QGuiApplication::platformName() == QLatin1String("xcb")) {
      auto x = std::make_unique<platform::X11PointerSystem>();
      if (x->connected()) own_pointer_ = std::move(x);
    }
#endif
  }
  return own_pointer_.get();
}

// ---- messages from Monitor ------------------------------------------------------

bool COptionDlg::fetch_applied() {
  // Opened again when Monitor started after this window.
  if (!shared_.has_block()) shared_.open();
  return shared_.fetch(*applied_);
}

std::intptr_t COptionDlg::window_proc(const platform::WindowMessage& m) {
  ++messages_handled_;
  switch (m.msg) {
    case WM_OPT_FIRMWARE_RELOAD:
      set_firmware_text(mt::read_firmware_version(setup_.settings_folder));
      [[fallthrough]];
    case WM_OPT_PROFILE_CHANGED:
      // Without a block to copy, Monitor's files hold what it announced.
      if (!fetch_applied()) {
        clear(*applied_);
        load_settings(*applied_, setup_.settings_folder, nullptr);
      }
      take_applied_record(*applied_, *working_);
      refresh_pages();
      option_log("record from Monitor (%u), profile %d", m.msg, working_->CurrentProfile + 1);
      break;
    case WM_OPT_APPLY_DONE:
      if (wait_.waiting()) option_log("apply done");
      end_wait();
      break;
    case WM_OPT_LEVEL_CHANGED:
      if (fetch_applied() && take_level_change(*applied_, *working_)) {
        if (OptionPage* perf = page(PageId::performance)) perf->refresh();
        option_log("level settings from Monitor (1257)");
      }
      break;
    case WM_OPT_DEVICE_RESET:
      reset_to_factory(*working_);
      refresh_pages();
      if (save_settings(*working_, setup_.settings_folder, &pointer_store_) != 1)
        option_log("factory reset: the settings files could not be saved");
      option_log("factory reset from Monitor (1259)");
      break;
    case platform::WM_CLOSE:
      bus_.close_later([this] { close_by_monitor(); });
      break;
    case platform::WM_COMMAND: {
      const int id = static_cast<int>(m.wparam & 0xFFFF);
      // A press opens menus and dialogs of its own: never inside the bus's
      // dispatch, which would hold every other message until they close.
      if (language_of_menu_command(id)) {
        QMetaObject::invokeMethod(this, [this, id] { choose_language(id); }, Qt::QueuedConnection);
      } else if (const int key = main_key_of_command(id)) {
        QMetaObject::invokeMethod(this, [this, key] { press(key); }, Qt::QueuedConnection);
      }
      break;
    }
    default: break;
  }
  return 0;
}

void COptionDlg::close_by_monitor() {
  option_log("closed by Monitor");
  // Whatever is open over the window goes with it: a menu, a confirmation,
  // a file dialog, the macro manager.
  for (int i = 0; i < 16; ++i) {
    QWidget* popup = QApplication::activePopupWidget();
    if (!popup) break;
    popup->close();
  }
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* d = qobject_cast<QDialog*>(w);
    if (d && d != this && d->isVisible()) d->reject();
  }
  bus_.close();
  done(kResultCancel);
}

}  // namespace mt
