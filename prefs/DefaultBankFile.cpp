#include "prefs/DefaultBankDocument.h"

#include "platform/AtomicFile.h"
#include "prefs/ChunkCodec.h"

namespace hm::prefs {
namespace {

bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    if (bytes.empty()) return false;
    if (!platform::createFolders(platform::parentFolder(path))) return false;
    return platform::writeFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace

DefaultBankFile::DefaultBankFile(std::string bankPath, std::function<std::vector<unsigned char>()> currentBankChunk)
    : path_(std::move(bankPath)), currentBankChunk_(std::move(currentBankChunk)) {}

bool DefaultBankFile::ensureExists() {
    // Only a missing file is created: one that exists but cannot be read may
    // hold the user's defaults and is left for the user to sort out.
    if (platform::pathExists(path_)) return true;
    if (!currentBankChunk_) return false;
    return writeBytes(path_, currentBankChunk_());
}

bool DefaultBankFile::saveCurrentState() {
    if (!currentBankChunk_) return false;
    return writeBytes(path_, currentBankChunk_());
}

JsonPtr DefaultBankFile::load() {
    if (!ensureExists()) return nullptr;
    platform::FileRead read = platform::readWholeFile(path_, kMaxFileBytes);
    if (read.status != platform::ReadStatus::Ok) return nullptr;
    std::optional<std::string> text = state::decodeChunk(read.bytes);
    if (!text) return nullptr;
    return parseJson(*text);
}

bool DefaultBankFile::write(const cJSON& document) {
    std::string text = printJson(&document, true);
    if (text.empty()) return false;
    if (!platform::createFolders(platform::parentFolder(path_))) return false;
    return platform::writeFileAtomically(path_, text);
}

}  // namespace hm::prefs
