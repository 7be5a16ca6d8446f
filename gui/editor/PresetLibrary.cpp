#include "gui/editor/PresetLibrary.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"

namespace hm::gui {
namespace {

constexpr std::size_t kMaxPresetFileBytes = 16u << 20;
constexpr int kMaxDepth = 8;
constexpr std::size_t kMaxEntriesPerFolder = 4096;

bool hasExtension(const std::string& name, const char* ext) {
    const std::string dotted = std::string(".") + ext;
    if (name.size() <= dotted.size()) return false;
    return platform::equalsIgnoreCase(std::string_view(name).substr(name.size() - dotted.size()), dotted);
}

std::string stem(const std::string& name) { return name.substr(0, name.rfind('.')); }

bool entryLess(const PresetNode& a, const PresetNode& b) {
    if (a.isMenu() != b.isMenu()) return !a.isMenu();
    return state::presetNameLess(a.name, b.name);
}

void scanInto(const std::string& folder, std::vector<PresetNode>& out, int depth) {
    if (depth >= kMaxDepth) return;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.') continue;
        names.emplace_back(e->d_name);
        if (names.size() >= kMaxEntriesPerFolder) break;
    }
    ::closedir(dir);

    auto folderList = std::make_shared<PresetList>();
    std::vector<PresetNode> menus;
    std::vector<std::pair<std::string, std::string>> files;  // name, document
    for (const std::string& name : names) {
        const std::string path = platform::joinPath(folder, name);
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            PresetNode menu;
            menu.name = name;
            scanInto(path, menu.children, depth + 1);
            menus.push_back(std::move(menu));
        } else if (S_ISREG(st.st_mode) && hasExtension(name, "hmp")) {
            const PresetFile file = readPresetFile(path);
            if (file.status == PresetFileStatus::Ok) files.emplace_back(stem(name), file.document);
        } else if (S_ISREG(st.st_mode) && hasExtension(name, "hmb")) {
            const PresetFile file = readPresetFile(path);
            if (file.status != PresetFileStatus::Ok) continue;
            bool hasList = false;
            auto bank = std::make_shared<PresetList>();
            bank->presets = bankPresetsOf(file.document, hasList);
            PresetNode menu;
            menu.name = stem(name);
            for (std::size_t i = 0; i < bank->presets.size(); ++i)
                menu.children.push_back({bank->presets[i].name, bank, static_cast<int>(i), {}});
            menus.push_back(std::move(menu));
        }
    }
    // The folder's presets in menu order form the folder's list.
    std::stable_sort(files.begin(), files.end(),
                     [](const auto& a, const auto& b) { return state::presetNameLess(a.first, b.first); });
    for (auto& f : files) folderList->presets.push_back({f.first, std::move(f.second)});
    for (std::size_t i = 0; i < folderList->presets.size(); ++i)
        out.push_back({folderList->presets[i].name, folderList, static_cast<int>(i), {}});
    for (PresetNode& m : menus) out.push_back(std::move(m));
    std::stable_sort(out.begin(), out.end(), entryLess);
}

}  // namespace

PresetTree scanPresetFolder(const std::string& folder) {
    PresetTree tree;
    scanInto(folder, tree.entries, 0);
    return tree;
}

PresetFile readPresetFile(const std::string& path) {
    PresetFile result;
    const platform::FileRead file = platform::readWholeFile(path, kMaxPresetFileBytes);
    if (file.status != platform::ReadStatus::Ok) {
        result.status = file.status == platform::ReadStatus::TooLarge ? PresetFileStatus::Damaged
                                                                     : PresetFileStatus::Unreadable;
        return result;
    }
    const auto text = state::decodeChunk(file.bytes);
    const prefs::JsonPtr document = text ? prefs::parseJson(*text) : nullptr;
    if (!cJSON_IsObject(document.get())) {
        result.status = PresetFileStatus::Damaged;
        return result;
    }
    result.status = PresetFileStatus::Ok;
    result.document = *text;
    return result;
}

std::vector<state::BankPreset> bankPresetsOf(const std::string& document, bool& hasList) {
    const prefs::JsonPtr json = prefs::parseJson(document);
    hasList = cJSON_IsArray(prefs::member(json.get(), "presets"));
    if (!hasList) return {};
    return state::readBankPresets(document.data(), document.size());
}

}  // namespace hm::gui
