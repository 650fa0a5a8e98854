#pragma once
#include <vector>

#include "ControlTable.h"

// The table positions of a page's controls in reading order: top to bottom,
// then left to right, by their rectangles. A control whose middle lies within
// the height of a line's first control stands on that line, so a label beside
// a slightly higher box reads before it. The keyboard and assistive technology
// follow this order; the windows keep theirs, and with it the painting.
std::vector<int> ReadingOrder(const ControlTable& table);
