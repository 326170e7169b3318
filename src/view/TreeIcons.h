#pragma once

#include <QIcon>

// The tree's four pictures, our own artwork drawn once: 0 a house, 1 a
// yellow folder, 2 a pencil, 3 a pencil with a clock. 16×16, with larger
// renderings for high-density screens.
namespace treeicons {

constexpr int COUNT = 4;

// index outside 0..COUNT-1 gives a null icon.
QIcon icon(int index);

} // namespace treeicons
