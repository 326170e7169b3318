#pragma once

#include "store/NoteRecord.h"

#include <cstdint>
#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

// The order in which the tree shows a database: siblings sorted, folders
// expanded depth first from the records whose parentId is -1.
namespace treeorder {

constexpr int32_t ROOT_PARENT = -1;

// Folders before notes, then titles by UTF-16 code unit as unsigned numbers
// (a prefix first), then ascending id.
bool siblingLess(const NoteRecord& a, const NoteRecord& b);

// The children of each parent id, each list in siblingLess order. The
// pointers refer into the records the map was built from.
using ChildMap = std::unordered_map<int32_t, std::vector<const NoteRecord*>>;
ChildMap groupChildren(const std::map<int32_t, NoteRecord>& records);

// Calls visit for each shown record in display order with its depth (0 for
// the top level). A record is shown when its parent chain reaches -1; each at
// most once. Nothing is shown below a record whose own id is -1: its children
// would be the top level again.
using TreeVisitor = std::function<void(const NoteRecord& record, int depth)>;
void walkTree(const ChildMap& children, const TreeVisitor& visit);

} // namespace treeorder
