#include "store/NotesMgr.h"

#include "store/Profile.h"
#include "store/StoreErrors.h"
#include "store/Utf.h"

#include <climits>
#include <cstdlib>
#include <new>

namespace {

// The id after id, wrapping at the top of the range instead of overflowing.
int32_t nextAfter(int32_t id)
{
    return static_cast<int32_t>(static_cast<uint32_t>(id) + 1u);
}

} // namespace

NotesMgr::NotesMgr(Profile* profile) : profile_(profile)
{
    loadRecentFiles();
    std::srand(Clock::current().tickCount());
    clear();
}

NotesMgr::~NotesMgr()
{
    try {
        saveRecentFiles();
    } catch (...) {
        // Settings failures are silent: the old values stay.
    }
}

void NotesMgr::clear()
{
    randomWord_ = static_cast<uint16_t>(std::rand() % 32768);
    formatVersion_ = DB_FORMAT_VERSION;
    nextId_ = 0;
    dbTitle_.clear();
    dbDescription_.clear();
    records_.clear();
}

int32_t NotesMgr::addRecord(int32_t parentId, int32_t isFolder, std::u16string title, std::u16string text)
{
    // A damaged file may carry an id counter at or below ids in use; handing
    // such an id out would overwrite a record, so move past them.
    if (records_.contains(nextId_)) {
        const int32_t last = records_.rbegin()->first;
        if (last < INT32_MAX && last >= nextId_)
            nextId_ = last + 1;
        while (records_.contains(nextId_))
            nextId_ = nextAfter(nextId_);
    }
    NoteRecord r;
    r.id = nextId_;
    r.parentId = parentId;
    r.isFolder = isFolder;
    r.title = std::move(title);
    r.text = std::move(text);
    try {
        records_.insert_or_assign(r.id, std::move(r));
    } catch (const std::bad_alloc&) {
        throw MemoryException();
    }
    const int32_t id = nextId_;
    nextId_ = nextAfter(nextId_);
    return id;
}

NoteRecord* NotesMgr::findRecord(int32_t id)
{
    auto it = records_.find(id);
    return it == records_.end() ? nullptr : &it->second;
}

const NoteRecord* NotesMgr::findRecord(int32_t id) const
{
    auto it = records_.find(id);
    return it == records_.end() ? nullptr : &it->second;
}

void NotesMgr::removeRecord(int32_t id)
{
    records_.erase(id);
}

void NotesMgr::loadRecentFiles()
{
    recentFiles_.clear();
    if (!profile_)
        return;
    for (int i = 0; i < MAX_RECENT_FILES; ++i) {
        std::u16string v = profile_->getString(u"RecentFiles", u"File" + utf::fromUtf8(std::to_string(i)), u"");
        if (!v.empty())
            recentFiles_.push_back(std::move(v));
    }
}

void NotesMgr::addRecentFile(std::u16string path)
{
    std::erase_if(recentFiles_, [&](const std::u16string& f) { return utf::equalsIgnoreCase(f, path); });
    recentFiles_.insert(recentFiles_.begin(), std::move(path));
}

void NotesMgr::saveRecentFiles()
{
    if (!profile_)
        return;
    for (int i = 0; i < MAX_RECENT_FILES; ++i) {
        const std::u16string entry = u"File" + utf::fromUtf8(std::to_string(i));
        const size_t idx = static_cast<size_t>(i);
        profile_->writeString(u"RecentFiles", entry, idx < recentFiles_.size() ? recentFiles_[idx] : u"");
    }
}

void NotesMgr::removeRecentFile(size_t index)
{
    if (index < recentFiles_.size())
        recentFiles_.erase(recentFiles_.begin() + static_cast<std::ptrdiff_t>(index));
}
