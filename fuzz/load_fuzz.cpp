// The whole open path: NotesMgr::load of a database file with the password
// "sesame", over a store with known content.
//
// The input is the plain image, not the file: it is encrypted the way a saved
// file holds it and written to an in-memory file that load then opens, so
// mutations reach past the check word instead of dying in it. No file is out
// of reach: a file's whole blocks are the encryption of some image, and its
// short tail (size mod 16 bytes) passes decryption unchanged, so the input's
// encrypted tail stands for any tail.
#include "FuzzSupport.h"

#include "store/AesCipher.h"

#include <algorithm>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace fuzzsupport;

namespace {

int fileFd = -1;
std::string filePath;

void writeFile(const Bytes& bytes)
{
    check(::ftruncate(fileFd, 0) == 0, "cannot empty the in-memory file");
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fileFd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        check(n > 0, "cannot write the in-memory file");
        done += static_cast<size_t>(n);
    }
}

// The file as the table-driven cipher encrypts it, for comparison with the
// AES instructions that encryptImage uses where the processor has them.
Bytes encryptWithTables(const NotesMgr& mgr, const Bytes& image)
{
    Bytes file = image;
    AesCipher::setHardwareAllowed(false);
    mgr.encryptImage(file);
    AesCipher::setHardwareAllowed(true);
    return file;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    makeDeterministic();
    // One file per process, rewritten for each input: no disk traffic, and
    // parallel fuzzing processes do not share it.
    fileFd = ::memfd_create("lockleaf-load-fuzz", MFD_CLOEXEC);
    check(fileFd >= 0, "cannot create the in-memory file");
    filePath = "/proc/self/fd/" + std::to_string(fileFd);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Bytes image(data, data + size);
    NotesMgr mgr;
    prefill(mgr);

    Bytes file = image;
    mgr.encryptImage(file);
    check(file.size() == image.size(), "encryption changed the length");
    if (AesCipher::hardwareAvailable())
        check(encryptWithTables(mgr, image) == file, "the AES instructions and the tables disagree");
    writeFile(file);

    // What load must read: the whole blocks decrypted back to the input, the
    // short tail as the file holds it.
    Bytes plain = file;
    mgr.decryptImage(plain);
    const size_t whole = size / AesCipher::BLOCK_SIZE * AesCipher::BLOCK_SIZE;
    check(std::equal(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(whole), image.begin()),
          "decryption does not undo encryption");
    check(std::equal(plain.begin() + static_cast<std::ptrdiff_t>(whole), plain.end(),
                     file.begin() + static_cast<std::ptrdiff_t>(whole)),
          "decryption changed the short tail");

    NotesMgr reference;
    prefill(reference);
    const Outcome expected = readImage(reference, plain, filePath);

    const Snapshot before = snapshot(mgr);
    const Outcome outcome = loadFile(mgr, filePath);
    if (outcome != expected)
        fail(std::string("load ended in ") + name(outcome) + ", reading its image in " + name(expected));
    if (outcome != Outcome::ok) {
        check(snapshot(mgr) == before, "a failed load changed the store or the recent files");
        return 0;
    }

    Snapshot want = snapshot(reference);
    want.recentFiles.insert(want.recentFiles.begin(), std::u16string(filePath.begin(), filePath.end()));
    check(snapshot(mgr) == want, "the loaded store is not the one its image gives");
    return 0;
}
