// The file envelope: the file key, block encryption of the image, load and save.
#include "store/Archive.h"
#include "store/FileKey.h"
#include "store/FileOps.h"
#include "store/NotesMgr.h"
#include "store/StoreErrors.h"
#include "store/Utf.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr size_t BLOCK = AesCipher::BLOCK_SIZE;

} // namespace

std::unique_ptr<AesCipher> NotesMgr::makeCipher(int direction) const
{
    const auto key = filekey::make(password_);
    auto cipher = std::make_unique<AesCipher>();
    cipher->setup(AesCipher::MODE_CBC, direction, key.data(), AesCipher::KEY_256, nullptr);
    return cipher;
}

// Each whole block is encrypted on its own, as the CBC cipher with its zero
// initial vector does when handed one block per call; the unchained call does
// the same in one pass that can be pipelined. The r = N mod 16 bytes at the
// end are encrypted together with the last 16 - r bytes of the previous
// encrypted block, and the first r bytes of that result are kept. They cannot
// be decrypted back, but they lie in the filler that no reader interprets.
void NotesMgr::encryptImage(std::vector<uint8_t>& bytes) const
{
    const auto cipher = makeCipher(AesCipher::DIR_ENCRYPT);
    const size_t whole = bytes.size() / BLOCK * BLOCK;
    uint8_t* p = bytes.data();
    cipher->encryptBlocksUnchained(p, static_cast<int64_t>(whole) * 8, p);

    const size_t r = bytes.size() - whole;
    if (r == 0)
        return;
    uint8_t buffer[BLOCK] = {};
    if (whole > 0)
        std::memcpy(buffer, p + whole - BLOCK, BLOCK);
    std::memcpy(buffer, p + whole, r);
    cipher->encryptBlocks(buffer, static_cast<int64_t>(r) * 8, buffer);
    std::memcpy(p + whole, buffer, r);
}

// A short piece at the end stays as it is.
void NotesMgr::decryptImage(std::vector<uint8_t>& bytes) const
{
    const auto cipher = makeCipher(AesCipher::DIR_DECRYPT);
    const size_t whole = bytes.size() / BLOCK * BLOCK;
    uint8_t* p = bytes.data();
    cipher->decryptBlocksUnchained(p, static_cast<int64_t>(whole) * 8, p);
}

void NotesMgr::readEncrypted(const std::string& path, std::vector<uint8_t>& image) const
{
    std::vector<uint8_t> bytes = fileops::readAll(path);
    decryptImage(bytes);
    if (image.empty())
        image = std::move(bytes);
    else
        image.insert(image.end(), bytes.begin(), bytes.end());
}

void NotesMgr::writeEncrypted(const std::string& path, std::vector<uint8_t> image) const
{
    encryptImage(image);
    fileops::replaceWithBackup(path, path + ".bak", image);
}

bool NotesMgr::load(const std::string& path)
{
    try {
        std::vector<uint8_t> image;
        readEncrypted(path, image);
        Archive ar(image, Archive::Mode::load, path);
        serialize(ar);
        addRecentFile(utf::fromUtf8(path));
    } catch (const std::bad_alloc&) {
        throw MemoryException(path);
    }
    return true;
}

bool NotesMgr::save(const std::string& path)
{
    try {
        std::vector<uint8_t> image;
        Archive ar(image, Archive::Mode::store, path);
        serialize(ar);
        writeEncrypted(path, std::move(image));
        addRecentFile(utf::fromUtf8(path));
    } catch (const std::bad_alloc&) {
        throw MemoryException(path);
    }
    return true;
}
