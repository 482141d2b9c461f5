#include "option/program_chooser.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QValidator>

#include "common/language_module.h"
#include "option/logic/text_layout.h"
#include "option/option_host.h"
#include "option/painted_text.h"
#include "option/skin/bitmap_btn.h"
#include "option/skin/skin_folder.h"
#include "option/skin/skin_look.h"

namespace mt {
namespace {

constexpr char kDescription[] = "skin_ProgSel.ini";
const SkinPictureNames kPictures{"restore_mask.bmp", "lanuch_program_normal.JPG", "lanuch_program_over.JPG",
                                 "lanuch_program_down.JPG", "lanuch_program_normal.jpg"};
constexpr int kTextTitle = 261;
constexpr int kTextLabel = 262;
constexpr int kTextConfirm = 263;
constexpr int kTextCancel = 264;
constexpr int kTextAllFiles = 290;
constexpr char kExeFilter[] = "Exe file(*.exe)";
constexpr int kFieldPx = 14;

// Where the buttons go when the skin places none of them.
constexpr QRect kDefaultRects[] = {{404, 12, 28, 28}, {328, 104, 40, 31}, {190, 210, 118, 38}, {314, 210, 118, 38}};

QString text_of(const LanguageModule& language, int id) { return QString::fromStdU16String(language.text(id)); }

// Refuses every change that would leave the field longer than a button
// record's program path: a keystroke past the end does nothing, and a paste
// that does not fit whole goes in not at all.
class PathLimit : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return input.size() > CDlgProgSel::kMaxPathUnits ? Invalid : Acceptable;
  }
};

bool is_enter_or_escape(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape; }

}  // namespace

CDlgProgSel::CDlgProgSel(QWidget* parent, SkinFolder& skin, const LanguageModule& language, FileChooser& files,
                         const std::u16string& path)
    : CSkinDialog(parent),
      files_(files),
      title_(text_of(language, kTextTitle)),
      label_(text_of(language, kTextLabel)),
      all_files_(text_of(language, kTextAllFiles)) {
  setWindowTitle(title_);
  set_skin(skin.window_pictures(kPictures));
  const SkinDescription description = skin.description(kDescription, SkinDescription::kButtonInfo);
  bool placed = false;
  for (int key = 1; key <= 4; ++key) placed = placed || !description.placement(key).empty();

  const int captions[4] = {0, 0, kTextConfirm, kTextCancel};
  for (int key = 1; key <= 4; ++key) {
    const QRect r = placed ? look::to_rect(description.placement(key)) : kDefaultRects[key - 1];
    auto* b = new CBitmapBtn(this, key);
    b->setGeometry(r);
    b->set_pictures(cuts(r));
    if (captions[key - 1]) b->setText(text_of(language, captions[key - 1]));
    b->setFocusPolicy(Qt::NoFocus);  // the field keeps the focus and its caret
    buttons_[static_cast<std::size_t>(key - 1)] = b;
  }
  if (!skin_pictures().has_pictures()) {
    buttons_[kClose - 1]->setText(QStringLiteral("\u00D7"));
    buttons_[kBrowse - 1]->setText(QStringLiteral("..."));
  }
  connect(buttons_[kClose - 1], &CBitmapBtn::command, this, [this] { done(kResultCancel); });
  connect(buttons_[kCancel - 1], &CBitmapBtn::command, this, [this] { done(kResultCancel); });
  connect(buttons_[kConfirm - 1], &CBitmapBtn::command, this, [this] { done(kResultOk); });
  connect(buttons_[kBrowse - 1], &CBitmapBtn::command, this, [this] { browse(); });

  field_ = new QLineEdit(this);
  field_->setGeometry(box_rect(layout::kChooserPathField));
  field_->setFrame(false);
  field_->setFont(look::design_font(QStringLiteral("Arial"), kFieldPx));
  field_->setValidator(new PathLimit(field_));
  field_->setStyleSheet(QStringLiteral(
      "QLineEdit { background: transparent; color: #f5f5f5; border: none; padding: 0 4px;"
      " selection-background-color: #e3262d; selection-color: white; }"));
  const QString start = QString::fromStdU16String(path);
  field_->setText(start.size() > kMaxPathUnits ? start.left(kMaxPathUnits) : start);
  field_->installEventFilter(this);
  field_->setFocus();
}

CBitmapBtn* CDlgProgSel::button(int key) const {
  return key >= 1 && key <= 4 ? buttons_[static_cast<std::size_t>(key - 1)] : nullptr;
}

std::u16string CDlgProgSel::path() const { return field_->text().left(kMaxPathUnits).toStdU16String(); }

FileDialogRequest CDlgProgSel::browse_request() const {
  FileDialogRequest r;
  r.kind = FileDialogRequest::Kind::open;
  r.initial_path = field_->text().toStdString();
  r.filters = {{kExeFilter, {"*.exe"}}, {all_files_.toStdString(), {"*"}}};
  r.selected_filter = 1;  // programs here have no ".exe": open on all files
  // No default suffix: a program chosen here has none, and ".exe" must not
  // be added to its name.
  r.must_exist = true;
  r.hide_read_only = true;
  return r;
}

void CDlgProgSel::browse() {
  const std::optional<std::string> chosen = files_.choose(browse_request());
  if (!chosen) return;  // cancelled: the field stays as it was
  const QString p = QString::fromStdString(*chosen);
  if (p.size() > kMaxPathUnits) {
    // Too long for the button to keep; cutting it would name another file.
    QApplication::beep();
    return;
  }
  field_->setText(p);
  field_->setFocus();
}

bool CDlgProgSel::take_key(QKeyEvent* event) {
  if (!is_enter_or_escape(event->key())) return false;
  if (event->type() == QEvent::KeyPress)
    done(event->key() == Qt::Key_Escape ? kResultCancel : kResultOk);
  event->accept();
  return true;
}

bool CDlgProgSel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == field_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease ||
                            event->type() == QEvent::ShortcutOverride)) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (is_enter_or_escape(key->key())) {
      if (event->type() == QEvent::ShortcutOverride) {
        key->accept();  // the key comes to the field as a key press, which is taken above
        return true;
      }
      return take_key(key);
    }
  }
  return CSkinDialog::eventFilter(watched, event);
}

void CDlgProgSel::keyPressEvent(QKeyEvent* event) {
  if (!take_key(event)) CSkinDialog::keyPressEvent(event);
}

void CDlgProgSel::paint_surface(QPainter& p) {
  paint_box_text(p, layout::kDialogTitle, title_, look::design_font(QStringLiteral("Arial"), layout::kDialogTitlePx),
                 QColor(look::kLabel), Qt::AlignHCenter, TextDown::centred, true);
  paint_box_text(p, layout::kChooserLabel, label_, look::design_font(QStringLiteral("Arial"), layout::kChooserLabelPx),
                 QColor(look::kLabel), Qt::AlignLeft, TextDown::centred, false);
}

}  // namespace mt
