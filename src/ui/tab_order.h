#pragma once

#include <initializer_list>
#include <vector>

class QWidget;

namespace kelmor {

// The controls a Tab reaches inside region, in reading order: row by row from the top,
// left to right in a row; a group box inside it is read whole where it stands. Call once
// the region's layout has placed its children.
std::vector<QWidget*> ReadingOrder(QWidget* region);

// Chains Tab through the regions in the order given, each in its reading order, so that
// the count of Tabs to a control does not depend on how the window was built.
void SetReadingTabOrder(std::initializer_list<QWidget*> regions);

}  // namespace kelmor
