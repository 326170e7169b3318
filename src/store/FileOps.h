#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// File access for the store. Every failure is a FileException naming the
// database file; every system call's result is checked, close included.
namespace fileops {

// The whole content of the regular file at path.
std::vector<uint8_t> readAll(const std::string& path);

// Puts data at path and the previous file at path (if any) at backupPath, so
// that at every instant, even across a crash, path names either its complete
// old or its complete new content and backupPath a complete earlier content.
// data goes to a temporary file beside path and is flushed to disk; the
// current file gets a second name; the temporary file is renamed over path,
// the second name over backupPath, and the folder is flushed. On failure path
// and backupPath are as they were and no temporary file is left, with two
// exceptions: when only the last folder flush failed, the new content is in
// place; when the backup rename and the rename putting the previous content
// back both failed, the new content is in place and the previous content
// stays under its temporary name beside it, never deleted.
void replaceWithBackup(const std::string& path, const std::string& backupPath,
                       const std::vector<uint8_t>& data);

// Fault injection for tests: the hook is asked before each system call and
// returns the errno value to fail it with, or 0 to let it run.
enum class Op { open, read, write, fsync, close, link, rename, unlink, stat };
using FaultHook = std::function<int(Op)>;
void setFaultHook(FaultHook hook);

} // namespace fileops
