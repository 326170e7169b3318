#pragma once

#include "store/NotesMgr.h"

#include <cstdint>
#include <filesystem>
#include <string>

// Generated databases and scratch folders for the benchmarks.
namespace benchdata {

inline constexpr char16_t PASSWORD[] = u"bench password";

// Replaces mgr's content by `records` records, the same for the same seed:
// one in ten a folder (the first the root's child, the others under a random
// earlier folder), the rest notes under a random folder with text of 0 to 1000
// characters (mostly ASCII words, some Latin-1 letters and line breaks), a
// third of the notes with a reminder. Sets the benchmark password.
void fill(NotesMgr& mgr, int records, uint32_t seed = 20240917u);

// The image mgr writes, without any cipher.
std::vector<uint8_t> image(NotesMgr& mgr);

// A fresh folder under the system's temporary folder, removed with its content.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace benchdata
