#include "ui/tab_order.h"

#include <QGroupBox>
#include <QLayout>
#include <QWidget>
#include <algorithm>

namespace kelmor {

namespace {

bool TakesTab(const QWidget* w) { return (w->focusPolicy() & Qt::TabFocus) != 0; }

// The direct children of region that are shown in it, grouped into rows: a child whose
// middle lies above the bottom of the row's first child joins that row.
std::vector<std::vector<QWidget*>> Rows(QWidget* region) {
  std::vector<QWidget*> children;
  for (QObject* o : region->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (w && !w->isWindow() && !w->isHidden()) children.push_back(w);
  }
  std::stable_sort(children.begin(), children.end(), [](const QWidget* a, const QWidget* b) {
    return a->geometry().center().y() < b->geometry().center().y();
  });
  std::vector<std::vector<QWidget*>> rows;
  int rowBottom = 0;
  for (QWidget* w : children) {
    if (rows.empty() || w->geometry().center().y() > rowBottom) {
      rows.emplace_back();
      rowBottom = w->geometry().bottom();
    }
    rows.back().push_back(w);
  }
  for (auto& row : rows)
    std::stable_sort(row.begin(), row.end(),
                     [](const QWidget* a, const QWidget* b) { return a->geometry().left() < b->geometry().left(); });
  return rows;
}

void Collect(QWidget* region, std::vector<QWidget*>& into) {
  // A hidden window's inner layouts place their children only when asked.
  if (region->layout()) region->layout()->activate();
  for (const auto& row : Rows(region))
    for (QWidget* w : row) {
      if (qobject_cast<QGroupBox*>(w) || (!TakesTab(w) && !w->children().isEmpty())) {
        Collect(w, into);
      } else if (TakesTab(w)) {
        into.push_back(w);
      }
    }
}

}  // namespace

std::vector<QWidget*> ReadingOrder(QWidget* region) {
  std::vector<QWidget*> order;
  if (TakesTab(region) && !qobject_cast<QGroupBox*>(region)) order.push_back(region);
  else Collect(region, order);
  return order;
}

void SetReadingTabOrder(std::initializer_list<QWidget*> regions) {
  std::vector<QWidget*> order;
  for (QWidget* region : regions) {
    std::vector<QWidget*> part = ReadingOrder(region);
    order.insert(order.end(), part.begin(), part.end());
  }
  for (size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace kelmor
