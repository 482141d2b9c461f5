#include "option/skin/list_box_ex.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QValidator>

#include <algorithm>

#include "option/skin/skin_look.h"
#include "option/skin/skin_picture.h"

namespace mt {
namespace {

constexpr int kValueRole = Qt::UserRole + 1;
constexpr int kMutedRole = Qt::UserRole + 2;
constexpr int kMutedMarkWidth = 2;
constexpr int kIconGap = 4;

// Takes out what is not a digit, keeping the caret with the kept characters.
class DigitsFilter : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override {
    QString kept;
    int kept_pos = 0;
    for (int i = 0; i < input.size(); ++i) {
      if (input[i] >= u'0' && input[i] <= u'9') {
        kept.push_back(input[i]);
        if (i < pos) ++kept_pos;
      }
    }
    if (kept.size() != input.size()) {
      input = kept;
      pos = kept_pos;
    }
    return Acceptable;
  }
};

}  // namespace

class CListBoxEx::Delegate : public QStyledItemDelegate {
 public:
  explicit Delegate(CListBoxEx* list) : QStyledItemDelegate(list), list_(list) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    int h = QFontMetrics(option.font).height() + 6;
    const QImage* icon = icon_of(index);
    if (icon) h = std::max(h, logical_size(*icon).height() + 2);
    return QSize(option.rect.width(), h);
  }

  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    p->fillRect(r, selected ? QColor(look::kListSelection) : QColor(Qt::black));
    const bool muted = index.data(kMutedRole).toBool();
    if (muted) p->fillRect(QRect(r.left(), r.top() + 2, kMutedMarkWidth, r.height() - 4),
                           selected ? QColor(Qt::black) : QColor(look::kAccent));
    int x = r.left() + 3;
    if (const QImage* icon = icon_of(index)) {
      QSize s = logical_size(*icon);
      if (s.height() > r.height() - 2 && s.height() > 0)
        s = QSize(s.width() * (r.height() - 2) / s.height(), r.height() - 2);
      const QRect target(x, r.top() + (r.height() - s.height()) / 2, s.width(), s.height());
      if (selected) {
        // Red icons would vanish into the red selection: give them a dark plate.
        p->save();
        p->setRenderHint(QPainter::Antialiasing, true);
        p->setPen(Qt::NoPen);
        p->setBrush(QColor(0, 0, 0, 200));
        p->drawRoundedRect(QRectF(target).adjusted(-1.5, -1.5, 1.5, 1.5), 3, 3);
        p->restore();
      }
      p->drawImage(QRectF(target), *icon, QRectF(icon->rect()));
      x += s.width() + kIconGap;
    }
    const QRect text_box(x, r.top(), std::max(0, r.right() - x - 2), r.height());
    p->setFont(option.font);
    const bool dim = muted && !selected;
    p->setPen(list_->isEnabled() && !dim ? QColor(Qt::white) : look::from_colorref(look::kCaptionDisabled));
    const QString text = index.data(Qt::DisplayRole).toString();
    p->drawText(text_box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                QFontMetrics(option.font).elidedText(text, Qt::ElideRight, text_box.width()));
  }

  // Where an in-place editor's text starts within a row.
  int text_left(const QModelIndex& index) const {
    const QImage* icon = icon_of(index);
    return 3 + (icon ? logical_size(*icon).width() + kIconGap : 0);
  }

 private:
  const QImage* icon_of(const QModelIndex& index) const {
    const int id = static_cast<int>(index.data(kValueRole).toUInt() & 0xFFFFu);
    auto it = list_->icons_.find(id);
    return it == list_->icons_.end() || it->second.isNull() ? nullptr : &it->second;
  }

  CListBoxEx* list_;
};

// The in-place editor: Enter and Escape end it here, so they never reach the
// dialog around the list; losing the focus ends it like Enter.
class CListBoxEx::Editor : public QLineEdit {
 public:
  Editor(CListBoxEx* list, QWidget* parent) : QLineEdit(parent), list_(list) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter: list_->end_edit(true); return;
      case Qt::Key_Escape: list_->end_edit(false); return;
      default: QLineEdit::keyPressEvent(event);
    }
  }
  void focusOutEvent(QFocusEvent* event) override {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && list_->editor_ == this) list_->end_edit(true);
  }

 private:
  CListBoxEx* list_;
};

CListBoxEx::CListBoxEx(QWidget* parent, int control_id) : QListWidget(parent), control_id_(control_id) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setUniformItemSizes(true);
  setItemDelegate(new Delegate(this));
  QPalette pal = palette();
  pal.setColor(QPalette::Base, Qt::black);
  pal.setColor(QPalette::Window, Qt::black);
  pal.setColor(QPalette::Text, Qt::white);
  setPalette(pal);
  setFont(look::design_font(QStringLiteral("Arial"), 15));
  verticalScrollBar()->setStyleSheet(QStringLiteral(
      "QScrollBar:vertical { background: #0b0c0e; width: 10px; margin: 0; }"
      "QScrollBar::handle:vertical { background: #3a3e45; min-height: 20px; border-radius: 4px; margin: 1px; }"
      "QScrollBar::handle:vertical:hover { background: #e3262d; }"
      "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
      "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
  connect(this, &QListWidget::itemSelectionChanged, this, [this] {
    if (!programmatic_) emit selection_changed(selected_row(), control_id_);
  });
}

CListBoxEx::~CListBoxEx() = default;

void CListBoxEx::set_list_font(const QFont& font) {
  setFont(font);
  doItemsLayout();
}

void CListBoxEx::set_icon(int icon_id, const QImage& picture) {
  icons_[icon_id] = picture;
  doItemsLayout();
  viewport()->update();
}

int CListBoxEx::add_row(const QString& text, uint32_t item_value) { return insert_row(count(), text, item_value); }

int CListBoxEx::insert_row(int row, const QString& text, uint32_t item_value) {
  if (editor_) drop_editor();
  row = std::clamp(row, 0, count());
  auto* item = new QListWidgetItem(text);
  item->setData(kValueRole, item_value);
  programmatic_ = true;
  insertItem(row, item);
  programmatic_ = false;
  return row;
}

void CListBoxEx::remove_row(int row) {
  if (row < 0 || row >= count()) return;
  if (editor_) drop_editor();
  programmatic_ = true;
  delete takeItem(row);
  programmatic_ = false;
}

void CListBoxEx::clear_rows() {
  if (editor_) drop_editor();
  programmatic_ = true;
  clear();
  programmatic_ = false;
}

QString CListBoxEx::row_text(int row) const {
  const QListWidgetItem* it = item(row);
  return it ? it->text() : QString();
}

void CListBoxEx::set_row_text(int row, const QString& text) {
  if (QListWidgetItem* it = item(row)) it->setText(text);
}

uint32_t CListBoxEx::row_value(int row) const {
  const QListWidgetItem* it = item(row);
  return it ? it->data(kValueRole).toUInt() : 0;
}

void CListBoxEx::set_row_value(int row, uint32_t item_value) {
  if (QListWidgetItem* it = item(row)) it->setData(kValueRole, item_value);
}

void CListBoxEx::set_row_muted(int row, bool muted) {
  if (QListWidgetItem* it = item(row)) it->setData(kMutedRole, muted);
}

bool CListBoxEx::row_muted(int row) const {
  const QListWidgetItem* it = item(row);
  return it && it->data(kMutedRole).toBool();
}

int CListBoxEx::selected_row() const {
  const QList<QListWidgetItem*> sel = selectedItems();
  return sel.isEmpty() ? -1 : row(sel.front());
}

void CListBoxEx::select_row(int row) {
  programmatic_ = true;
  if (row < 0 || row >= count()) {
    clearSelection();
    setCurrentItem(nullptr);
  } else {
    setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(row));
  }
  programmatic_ = false;
}

int CListBoxEx::find_prefix(const QString& prefix, int after) const {
  const int n = count();
  if (n == 0) return -1;
  const int start = after < 0 || after >= n ? 0 : after + 1;
  for (int i = 0; i < n; ++i) {
    const int r = (start + i) % n;
    if (item(r)->text().startsWith(prefix, Qt::CaseInsensitive)) return r;
  }
  return -1;
}

void CListBoxEx::begin_edit(int row, int max_chars, int flags) {
  if (editor_) end_edit(true);
  if (row < 0 || row >= count()) return;
  edit_row_ = row;
  edit_flags_ = flags;
  scrollToItem(item(row));
  editor_ = new Editor(this, viewport());
  editor_->setFrame(false);
  editor_->setFont(font());
  editor_->setMaxLength(std::max(1, max_chars));
  if (flags & kDigitsOnly) editor_->setValidator(new DigitsFilter(editor_));
  QPalette pal = editor_->palette();
  pal.setColor(QPalette::Base, QColor(0x1b, 0x1d, 0x21));
  pal.setColor(QPalette::Text, Qt::white);
  pal.setColor(QPalette::Highlight, QColor(look::kAccent));
  pal.setColor(QPalette::HighlightedText, Qt::white);
  editor_->setPalette(pal);
  editor_->setStyleSheet(QStringLiteral(
      "QLineEdit { background: #1b1d21; color: white; border: 1px solid #e3262d; padding: 0 2px;"
      " selection-background-color: #e3262d; selection-color: white; }"));
  editor_->setText(row_text(row).left(editor_->maxLength()));
  editor_->selectAll();
  place_editor();
  editor_->show();
  editor_->setFocus(Qt::OtherFocusReason);
}

void CListBoxEx::place_editor() {
  if (!editor_) return;
  QListWidgetItem* it = item(edit_row_);
  if (!it) return;
  const QRect r = visualItemRect(it);
  const int left = static_cast<const Delegate*>(itemDelegate())->text_left(indexFromItem(it)) - 3;
  editor_->setGeometry(r.adjusted(std::max(0, left), 0, 0, 0));
}

void CListBoxEx::drop_editor() {
  Editor* e = editor_;
  editor_ = nullptr;
  edit_row_ = -1;
  e->hide();
  e->deleteLater();
}

void CListBoxEx::end_edit(bool commit) {
  if (!editor_) return;
  const int row = edit_row_;
  const QString text = editor_->text();
  const bool new_row = edit_flags_ & kNewRow;
  const bool had_focus = editor_->hasFocus();
  drop_editor();
  if (had_focus) setFocus(Qt::OtherFocusReason);
  if (new_row && (!commit || text.isEmpty())) {
    remove_row(row);
    emit edit_cancelled(row, control_id_);
    return;
  }
  if (!commit) {
    emit edit_cancelled(row, control_id_);
    return;
  }
  set_row_text(row, text);
  emit edit_committed(row, control_id_);
}

void CListBoxEx::mousePressEvent(QMouseEvent* event) {
  // The right button asks for the owner's menu and leaves the selection alone.
  if (event->button() == Qt::RightButton) {
    emit right_button(control_id_);
    event->accept();
    return;
  }
  QListWidget::mousePressEvent(event);
}

void CListBoxEx::resizeEvent(QResizeEvent* event) {
  QListWidget::resizeEvent(event);
  place_editor();
}

}  // namespace mt
