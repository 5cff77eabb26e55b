#include "ui/bind.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "settings/preferences.h"
#include "ui/check_box.h"

namespace kelmor {

QLineEdit* NamedEdit(const QString& name, int width) {
  auto* e = new QLineEdit;
  e->setObjectName(name);
  if (width > 0) e->setFixedWidth(width);
  return e;
}

CheckBox* NamedBox(const QString& name, const QString& caption) {
  auto* b = new CheckBox(caption);
  b->setObjectName(name);
  return b;
}

QPushButton* NamedButton(const QString& name, const QString& caption) {
  auto* b = new QPushButton(caption);
  b->setObjectName(name);
  return b;
}

QRadioButton* NamedOption(const QString& name, const QString& caption) {
  auto* b = new QRadioButton(caption);
  b->setObjectName(name);
  return b;
}

QHBoxLayout* ButtonRow(std::initializer_list<QWidget*> left,
                       std::initializer_list<QPushButton*> right) {
  auto* row = new QHBoxLayout;
  for (QWidget* w : left) row->addWidget(w);
  row->addStretch(1);
  bool first = true;
  for (QPushButton* b : right) {
    if (first) b->setDefault(true);
    first = false;
    row->addWidget(b);
  }
  return row;
}

void BindText(QLineEdit* edit, std::string& target) {
  edit->setText(QString::fromStdString(target));
  QObject::connect(edit, &QLineEdit::textChanged,
                   [&target](const QString& t) { target = t.toStdString(); });
}

void BindBox(CheckBox* box, int& target) {
  box->setValue(target);
  QObject::connect(box, &QCheckBox::stateChanged, [box, &target](int) { target = box->value(); });
}

void SelectOption(QButtonGroup* group, int id) {
  if (id < 0) {
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(false);
    group->setExclusive(true);
    return;
  }
  if (QAbstractButton* b = group->button(id)) b->setChecked(true);
}

void BindGroup(QButtonGroup* group, int& target) {
  SelectOption(group, target);
  QObject::connect(group, &QButtonGroup::idToggled, [group, &target](int, bool) {
    target = group->checkedId();
  });
}

void PrefBinding::text(QLineEdit* edit, const char* key) {
  std::string k = key;
  Preferences& p = prefs_;
  auto show = [edit, &p, k] {
    QString t = QString::fromStdString(p.text(k));
    if (edit->text() != t) edit->setText(t);
  };
  show();
  QObject::connect(edit, &QLineEdit::textChanged,
                   [&p, k](const QString& t) { p.set(k, t.toStdString()); });
  refreshers_.push_back(show);
}

void PrefBinding::flag(QAbstractButton* box, const char* key) {
  std::string k = key;
  Preferences& p = prefs_;
  auto show = [box, &p, k] { box->setChecked(p.flag(k)); };
  show();
  QObject::connect(box, &QAbstractButton::toggled, [&p, k](bool on) { p.setFlag(k, on); });
  refreshers_.push_back(show);
}

void PrefBinding::refresh() {
  for (auto& f : refreshers_) f();
}

}  // namespace kelmor
