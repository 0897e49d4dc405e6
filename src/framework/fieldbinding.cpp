#include "framework/fieldbinding.h"

#include "framework/context.h"
#include "framework/editrecord.h"
#include "framework/listsql.h"
#include "framework/pickers.h"
#include "framework/refparams.h"
#include "framework/routines.h"
#include "platform/dberror.h"
#include "platform/decimal.h"
#include "platform/messages.h"
#include "platform/query.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>

LookupBox::LookupBox(FrameworkContext& ctx, const FieldSpec& spec, QWidget* parent)
    : QWidget(parent), ctx_(ctx), spec_(spec) {
  combo_ = new QComboBox(this);
  combo_->setEditable(true);
  combo_->setInsertPolicy(QComboBox::NoInsert);
  combo_->setMaxVisibleItems(20);
  combo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo_->setMinimumContentsLength(24);
  button_ = new QToolButton(this);
  button_->setText(QStringLiteral("..."));
  button_->setToolTip(QStringLiteral("Выбрать из справочника (Alt+Пробел или F2)"));
  button_->setFocusPolicy(Qt::NoFocus);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(combo_, 1);
  layout->addWidget(button_);
  setFocusProxy(combo_);
  combo_->installEventFilter(this);
  combo_->lineEdit()->installEventFilter(this);
  connect(button_, &QToolButton::clicked, this, [this] { pick(); });
  connect(combo_, &QComboBox::activated, this, [this](int index) {
    if (index >= 0 && index < items_.size() && items_[index].key != entered_)
      emit keyChosen(items_[index].key);
  });
}

void LookupBox::setItems(QList<LookupItem> items, int select) {
  const QSignalBlocker block(combo_);
  items_ = std::move(items);
  combo_->clear();
  for (const LookupItem& it : items_) combo_->addItem(it.name, it.key);
  combo_->setCurrentIndex(select);
}

void LookupBox::fill(int key) {
  db::Query q(ctx_.db, &ctx_.shared);
  q.setSql(spec_.lookupSql);
  q.open();
  auto list = lookup::items(q, spec_.lookupKeyField, spec_.lookupNameField, key);
  const int index = lookup::indexOfKey(list, key);
  setItems(std::move(list), index);
  entered_ = this->key();
}

int LookupBox::key() const {
  const int i = combo_->currentIndex();
  if (i < 0 || i >= items_.size() || combo_->currentText() != items_[i].name) return entered_;
  return items_[i].key;
}

void LookupBox::search(const QString& typed) {
  const QString text = toCyrillicLayout(typed, kLayoutUpper);
  db::Query q(ctx_.db, &ctx_.shared);
  q.setSql(lookup::searchSql(spec_.lookupTable, spec_.lookupKeyField, spec_.lookupNameField,
                             spec_.lookupCondition, spec_.lookupSearchField));
  q.param(listsql::searchParam()).setString(listsql::searchValue(text));
  q.param(lookup::searchAsTypedParam()).setString(listsql::searchValue(typed));
  q.open();
  auto found = lookup::items(q, spec_.lookupKeyField, spec_.lookupNameField);
  // The current choice stays available, so that Esc and leaving can give it back.
  const int select = found.size() > 1 ? 1 : 0;
  setItems(std::move(found), select);
  combo_->showPopup();
}

bool LookupBox::pick() {
  if (spec_.picker.isEmpty() || !isEnabled()) return false;
  const int chosen = Pick(spec_.picker, ctx_, 0, spec_.pickerRights, true, window());
  if (chosen < 0) return false;
  fill(chosen);
  emit keyChosen(chosen);
  combo_->setFocus();
  return true;
}

void LookupBox::restore() {
  const int at = lookup::indexOfKey(items_, entered_);
  if (items_.value(at).key != entered_) {
    fill(entered_);
    return;
  }
  const QSignalBlocker block(combo_);
  combo_->setCurrentIndex(at);
  combo_->hidePopup();
}

void LookupBox::settle() {
  // A name typed in full chooses its entry; typed text that names no entry gives the previous
  // choice back.
  int i = combo_->currentIndex();
  if (i < 0 || i >= items_.size() || combo_->currentText() != items_[i].name) {
    i = lookup::indexOfName(items_, combo_->currentText());
    if (i < 0) {
      restore();
      return;
    }
    const QSignalBlocker block(combo_);
    combo_->setCurrentIndex(i);
  }
  if (items_[i].key != entered_) {
    entered_ = items_[i].key;
    emit keyChosen(entered_);
  }
}

bool LookupBox::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::FocusIn) {
    entered_ = key();
  } else if (e->type() == QEvent::FocusOut) {
    if (!combo_->view()->isVisible()) settle();
  } else if (e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if ((k->key() == Qt::Key_Space && k->modifiers() == Qt::AltModifier) ||
        k->key() == Qt::Key_F2) {
      pick();
      return true;
    }
    if (k->key() == Qt::Key_Escape) {
      restore();
      return true;
    }
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      const int i = lookup::indexOfName(items_, combo_->currentText());
      if (i >= 0) {
        {
          const QSignalBlocker block(combo_);
          combo_->setCurrentIndex(i);
        }
        settle();
        focusNextChild();
      } else {
        try {
          search(combo_->currentText());
        } catch (const db::DbError& err) {
          msg::error(err.message());
        }
      }
      return true;
    }
  }
  return QWidget::eventFilter(watched, e);
}

// ---------------------------------------------------------------------------------------------

namespace {
bool sameValue(const QVariant& a, const QVariant& b) {
  const bool nullA = !a.isValid() || a.isNull();
  const bool nullB = !b.isValid() || b.isNull();
  if (nullA || nullB) return nullA == nullB;
  auto asDecimal = [](const QVariant& v) -> std::optional<Decimal4> {
    if (v.userType() == qMetaTypeId<Decimal4>()) return v.value<Decimal4>();
    switch (v.typeId()) {
      case QMetaType::Double:
      case QMetaType::Int:
      case QMetaType::LongLong:
        return Decimal4::fromDouble(v.toDouble());
      default:
        return std::nullopt;
    }
  };
  const auto da = asDecimal(a);
  const auto db = asDecimal(b);
  if (da && db) return *da == *db;
  return a == b;
}
}  // namespace

FieldBinding::FieldBinding(FrameworkContext& ctx, const FieldSpec& spec, EditRecord& record,
                           QWidget* parent)
    : QObject(parent), ctx_(ctx), spec_(spec), record_(record) {
  switch (spec_.kind) {
    case FieldSpec::Memo: {
      auto* w = new QPlainTextEdit(parent);
      w->setTabChangesFocus(true);
      w->setFixedHeight(w->fontMetrics().lineSpacing() * 4 + 12);
      connect(w, &QPlainTextEdit::textChanged, this, [this] {
        if (!showing_) emit edited();
      });
      widget_ = w;
      break;
    }
    case FieldSpec::Check: {
      auto* w = new QCheckBox(parent);
      connect(w, &QCheckBox::toggled, this, [this] {
        if (!showing_) apply();
      });
      widget_ = w;
      break;
    }
    case FieldSpec::Choice: {
      auto* w = new QComboBox(parent);
      for (const auto& [value, name] : spec_.choices) w->addItem(name, value);
      connect(w, &QComboBox::currentIndexChanged, this, [this] {
        if (!showing_) apply();
      });
      widget_ = w;
      break;
    }
    case FieldSpec::Lookup: {
      auto* w = new LookupBox(ctx_, spec_, parent);
      connect(w, &LookupBox::keyChosen, this, [this](int key) {
        if (record_.value(spec_.field).toInt() != key || record_.value(spec_.field).isNull()) {
          record_.setValue(spec_.field, key);
          emit changed();
        }
      });
      widget_ = w;
      break;
    }
    default: {
      auto* w = new QLineEdit(parent);
      connect(w, &QLineEdit::editingFinished, this, [this] { apply(); });
      connect(w, &QLineEdit::textEdited, this, &FieldBinding::edited);
      widget_ = w;
    }
  }
  widget_->setObjectName(QStringLiteral("dbe") + spec_.field);
  if (spec_.readOnly) widget_->setEnabled(false);
  if (spec_.width > 0) {
    widget_->setMinimumWidth(widget_->fontMetrics().averageCharWidth() * spec_.width + 16);
  }
}

void FieldBinding::show() {
  showing_ = true;
  const QVariant v = record_.value(spec_.field);
  if (auto* e = qobject_cast<QLineEdit*>(widget_)) {
    if (spec_.kind == FieldSpec::Number && spec_.decimals >= 0 && !v.isNull()) {
      const Decimal4 d = v.userType() == qMetaTypeId<Decimal4>()
                             ? v.value<Decimal4>()
                             : Decimal4::fromDouble(v.toDouble());
      e->setText(d.toString(spec_.decimals));
    } else {
      e->setText(record_.text(spec_.field));
    }
    const int max = record_.length(spec_.field);
    e->setMaxLength(max > 0 ? max : 32767);
  } else if (auto* m = qobject_cast<QPlainTextEdit*>(widget_)) {
    m->setPlainText(record_.text(spec_.field));
  } else if (auto* c = qobject_cast<QCheckBox*>(widget_)) {
    c->setChecked(v.toInt() != 0);
    shown_ = c->isChecked() ? 1 : 0;
  } else if (auto* b = qobject_cast<QComboBox*>(widget_)) {
    b->setCurrentIndex(v.isNull() ? -1 : b->findData(v.toInt()));
    shown_ = b->currentData();
  } else if (auto* l = qobject_cast<LookupBox*>(widget_)) {
    l->fill(v.toInt());
  }
  showing_ = false;
}

bool FieldBinding::apply() {
  if (spec_.readOnly) return true;
  QString text;
  if (auto* e = qobject_cast<QLineEdit*>(widget_)) {
    text = e->text();
  } else if (auto* m = qobject_cast<QPlainTextEdit*>(widget_)) {
    text = m->toPlainText();
  } else if (qobject_cast<QCheckBox*>(widget_) || qobject_cast<QComboBox*>(widget_)) {
    const auto* check = qobject_cast<QCheckBox*>(widget_);
    const QVariant v = check ? QVariant(check->isChecked() ? 1 : 0)
                             : static_cast<QComboBox*>(widget_)->currentData();
    if (v.isValid() && v != shown_) {
      shown_ = v;
      record_.setValue(spec_.field, v.toInt());
      emit changed();
    }
    return true;
  } else {
    return true;  // a lookup box writes when a choice is made
  }
  if (record_.text(spec_.field) == text) return true;
  const QString problem = record_.conversionProblem(spec_.field, text);
  if (!problem.isEmpty()) {
    msg::warning(problem, QStringLiteral("Внимание"));
    widget_->setFocus();
    return false;
  }
  // A number shown with fewer or more decimals than stored is the same value: not a change.
  const QVariant typed = *record_.convert(spec_.field, text);
  if (sameValue(typed, record_.value(spec_.field))) return true;
  record_.setValue(spec_.field, typed);
  emit changed();
  return true;
}
