#include "platform/SettingsStore.h"

#include <cjson/cJSON.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace hm::platform {
namespace {

struct JsonDelete {
    void operator()(cJSON* j) const { cJSON_Delete(j); }
};
using Json = std::unique_ptr<cJSON, JsonDelete>;

enum class Load { Object, Missing, Untrusted, NotAnObject };

struct Loaded {
    Load kind = Load::Missing;
    Json object;
};

Loaded load(const std::string& path) {
    Loaded out;
    FileRead read = readWholeFile(path, SettingsStore::kMaxFileBytes);
    switch (read.status) {
    case ReadStatus::Missing: out.kind = Load::Missing; return out;
    case ReadStatus::Unreadable:
    case ReadStatus::TooLarge: out.kind = Load::Untrusted; return out;
    case ReadStatus::Ok: break;
    }
    // An empty file holds nothing that could be lost.
    if (read.bytes.find_first_not_of(" \t\r\n") == std::string::npos) {
        out.kind = Load::Missing;
        return out;
    }
    const char* end = nullptr;
    Json json(cJSON_ParseWithLengthOpts(read.bytes.data(), read.bytes.size(), &end, false));
    // Trailing bytes other than white space mean the file is damaged.
    const bool trailing = end == nullptr ||
        read.bytes.find_first_not_of(" \t\r\n", static_cast<std::size_t>(end - read.bytes.data())) != std::string::npos;
    if (!json || trailing || !cJSON_IsObject(json.get())) {
        out.kind = Load::NotAnObject;
        return out;
    }
    out.kind = Load::Object;
    out.object = std::move(json);
    return out;
}

// Moves a damaged file out of the way under a name that does not exist yet.
bool moveAside(const std::string& path) {
    for (int i = 0; i < 100; ++i) {
        const std::string target = path + ".bad" + (i == 0 ? std::string() : std::to_string(i));
        if (::access(target.c_str(), F_OK) == 0) continue;
        return ::rename(path.c_str(), target.c_str()) == 0;
    }
    return false;
}

// Serialises read-modify-write cycles of every process and thread on the
// settings folder, so two instances changing different values at the same
// time both keep their change. The lock is on the folder, not the file: the
// file itself is replaced by each write.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : fd_(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_ >= 0) {
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);  // closing releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

}  // namespace

SettingsStore::SettingsStore(std::string filePath) : path_(std::move(filePath)) {}

std::string SettingsStore::defaultFilePath() {
    return joinPath(joinPath(configHome(), kProductName), "settings.json");
}

std::optional<std::string> SettingsStore::get(std::string_view name) const {
    Loaded loaded = load(path_);
    if (loaded.kind != Load::Object) return std::nullopt;
    const std::string key(name);
    const cJSON* item = cJSON_GetObjectItem(loaded.object.get(), key.c_str());
    if (!cJSON_IsString(item) || item->valuestring == nullptr) return std::nullopt;
    return std::string(item->valuestring);
}

bool SettingsStore::set(std::string_view name, std::string_view value) {
    if (path_.empty()) return false;
    const std::string folder = parentFolder(path_);
    if (!createFolders(folder)) return false;
    FolderLock lock(folder);
    Loaded loaded = load(path_);
    switch (loaded.kind) {
    case Load::Untrusted: return false;
    case Load::NotAnObject:
        if (!moveAside(path_)) return false;
        [[fallthrough]];
    case Load::Missing: loaded.object.reset(cJSON_CreateObject()); break;
    case Load::Object: break;
    }
    if (!loaded.object) return false;
    const std::string key(name);
    // cJSON strings end at the first zero byte; a value never carries one.
    const std::string text(value.substr(0, value.find('\0')));
    cJSON* item = cJSON_CreateString(text.c_str());
    if (item == nullptr) return false;
    if (cJSON_GetObjectItem(loaded.object.get(), key.c_str()) != nullptr) {
        cJSON_ReplaceItemInObject(loaded.object.get(), key.c_str(), item);
    } else {
        cJSON_AddItemToObject(loaded.object.get(), key.c_str(), item);
    }
    std::unique_ptr<char, decltype(&cJSON_free)> printed(cJSON_Print(loaded.object.get()), &cJSON_free);
    if (!printed) return false;
    std::string bytes(printed.get());
    bytes.push_back('\n');
    return writeFileAtomically(path_, bytes);
}

}  // namespace hm::platform
