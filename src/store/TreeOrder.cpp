#include "store/TreeOrder.h"

#include <algorithm>

namespace treeorder {

bool siblingLess(const NoteRecord& a, const NoteRecord& b)
{
    const bool aFolder = a.isFolder != 0;
    const bool bFolder = b.isFolder != 0;
    if (aFolder != bFolder)
        return aFolder;
    // char16_t is unsigned, so the standard comparison orders code units
    // 0x8000 and above after ASCII, and a prefix before the longer title.
    const int byTitle = a.title.compare(b.title);
    if (byTitle != 0)
        return byTitle < 0;
    return a.id < b.id;
}

ChildMap groupChildren(const std::map<int32_t, NoteRecord>& records)
{
    ChildMap children;
    for (const auto& [id, record] : records)
        children[record.parentId].push_back(&record);
    for (auto& [parent, list] : children)
        std::sort(list.begin(), list.end(),
                  [](const NoteRecord* a, const NoteRecord* b) { return siblingLess(*a, *b); });
    return children;
}

void walkTree(const ChildMap& children, const TreeVisitor& visit)
{
    // Every record sits in exactly one list (its parent's), and a list is
    // entered only through its one owner, so with the top-level list entered
    // once nothing is visited twice and no cycle is followed.
    struct Frame {
        const std::vector<const NoteRecord*>* list;
        size_t next;
    };
    const auto top = children.find(ROOT_PARENT);
    if (top == children.end())
        return;
    // An explicit stack: a hostile file may nest folders arbitrarily deep.
    std::vector<Frame> stack{{&top->second, 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.list->size()) {
            stack.pop_back();
            continue;
        }
        const NoteRecord& record = *(*frame.list)[frame.next++];
        visit(record, static_cast<int>(stack.size()) - 1);
        if (record.id == ROOT_PARENT)
            continue;
        const auto below = children.find(record.id);
        if (below != children.end())
            stack.push_back({&below->second, 0});
    }
}

} // namespace treeorder
