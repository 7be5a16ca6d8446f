// The equaliser's part of its state documents (the editor's settings and
// preferences, routing, instance name) and the default bank.
#include <cmath>
#include <cstdio>

#include "core/InstanceRegistry.h"
#include "core/Plug.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "prefs/ChunkCodec.h"
#include "prefs/DefaultBankDocument.h"
#include "prefs/Json.h"

namespace hm {

using prefs::member;

namespace {

// A number member as an int within lo..hi; `fallback` when absent or not a finite number.
int intMember(const cJSON* object, const char* name, int lo, int hi, int fallback) {
    const cJSON* m = member(object, name);
    if (!cJSON_IsNumber(m) || !std::isfinite(m->valuedouble)) return fallback;
    const double v = m->valuedouble;
    return v < lo ? lo : (v > hi ? hi : static_cast<int>(v));
}

bool boolMember(const cJSON* object, const char* name, bool fallback) {
    const cJSON* m = member(object, name);
    if (cJSON_IsBool(m)) return cJSON_IsTrue(m);
    if (cJSON_IsNumber(m)) return m->valuedouble != 0.0;
    return fallback;
}

// Cap for bank files read at start-up (the inflated text has its own cap).
constexpr std::size_t kMaxBankFileBytes = 64u << 20;

}  // namespace

// ---------------------------------------------------------------------------
// Writing

void Plug::writeSettings(cJSON* document, bool bankMembers) {
    cJSON* s = cJSON_AddObjectToObject(document, "settings");
    if (bankMembers) {
        cJSON_AddNumberToObject(s, "currentAB", getCurrentABSlot());
        cJSON_AddNumberToObject(s, "lastAB", session_.lastAB);
        cJSON_AddNumberToObject(s, "currentPreset", getProgram());
    }
    cJSON_AddBoolToObject(s, "analyserState", session_.analyserState);
    cJSON_AddBoolToObject(s, "prePost", session_.prePost);
    cJSON_AddNumberToObject(s, "analyserType", session_.analyserType);
    cJSON_AddNumberToObject(s, "analyserSourceChn1", session_.analyserSourceChn1);
    cJSON_AddNumberToObject(s, "analyserSourceChn2", session_.analyserSourceChn2);
    cJSON_AddStringToObject(s, "analyserSourceInst1", session_.analyserSourceInst1.c_str());
    cJSON_AddStringToObject(s, "analyserSourceInst2", session_.analyserSourceInst2.c_str());
}

void Plug::writeDocument(cJSON* document, bool isPreset) {
    PlugBaseJSON::writeDocument(document, isPreset);
    if (!isPreset || (presetParts_ & state::kPartUI)) {
        writeSettings(document, !isPreset);
        cJSON* tree = editorTree_.tree() ? cJSON_Duplicate(editorTree_.tree(), true) : cJSON_CreateObject();
        cJSON_AddItemToObject(document, "uiprefs", tree);
    }
    cJSON* routing = cJSON_AddObjectToObject(document, "routing");
    cJSON* groups = cJSON_AddArrayToObject(routing, "groups");
    cJSON* names = cJSON_AddArrayToObject(routing, "groupnames");
    {
        // The timer's update reads the masks and rebuilds the names.
        auto lock = lockUpdates();
        for (unsigned char mask : channelGroups_) cJSON_AddItemToArray(groups, cJSON_CreateNumber(mask));
        for (int g = 0; g < groupNameCount_ && g < kMaxChannels; ++g)
            cJSON_AddItemToArray(names, cJSON_CreateString(groupNames_[g].c_str()));
    }
    if (instanceNameSet()) cJSON_AddStringToObject(document, "instanceName", instanceName().c_str());
}

// ---------------------------------------------------------------------------
// Reading

void Plug::readSettings(const cJSON* settings, bool isPreset) {
    if (!cJSON_IsObject(settings)) return;
    LoadScope load(*this);
    // A preset brings its editor settings but never moves the program or the A/B slot.
    if (!isPreset && member(settings, "currentPreset"))
        curProgram_ = intMember(settings, "currentPreset", 0, kNumPrograms - 1, getProgram());
    // Loading the current slot also restores the live values the document was saved with.
    if (!isPreset && member(settings, "currentAB"))
        selectABSlot(intMember(settings, "currentAB", 0, kNumABSlots - 1, getCurrentABSlot()));
    session_.lastAB = intMember(settings, "lastAB", 0, kNumABSlots - 1, session_.lastAB);
    session_.analyserState = boolMember(settings, "analyserState", session_.analyserState);
    session_.prePost = boolMember(settings, "prePost", session_.prePost);
    session_.analyserType = intMember(settings, "analyserType", 0, 255, session_.analyserType);
    session_.analyserSourceChn1 = intMember(settings, "analyserSourceChn1", 0, 255, session_.analyserSourceChn1);
    session_.analyserSourceChn2 = intMember(settings, "analyserSourceChn2", 0, 255, session_.analyserSourceChn2);
    // A source instance counts only when a live instance of that name exists.
    for (int k = 1; k <= 2; ++k) {
        const cJSON* m = member(settings, k == 1 ? "analyserSourceInst1" : "analyserSourceInst2");
        if (!cJSON_IsString(m)) continue;
        std::string& target = k == 1 ? session_.analyserSourceInst1 : session_.analyserSourceInst2;
        const std::string wanted = m->valuestring;
        bool found = wanted.empty();
        forEachInstance([&](Plug& p) {
            if (&p != this && wanted == p.instanceName()) found = true;
        });
        if (found) target = wanted;
    }
}

void Plug::readRouting(const cJSON* routing) {
    if (!cJSON_IsObject(routing)) return;
    bool namesChanged = false;
    {
        auto lock = lockUpdates();
        if (const cJSON* groups = member(routing, "groups"); cJSON_IsArray(groups)) {
            int g = 0;
            for (const cJSON* e = groups->child; e && g < kMaxChannels; e = e->next, ++g)
                if (cJSON_IsNumber(e) && std::isfinite(e->valuedouble))
                    channelGroups_[g] = static_cast<unsigned char>(static_cast<long long>(e->valuedouble) & 0xFF);
        }
        // With one or two channels the names follow the channel layout.
        const int channels = channelCount();
        const cJSON* names = member(routing, "groupnames");
        if (channels >= 3 && cJSON_IsArray(names)) {
            int g = 0;
            for (const cJSON* e = names->child; e && g < kMaxChannels && g < channels; e = e->next, ++g)
                if (cJSON_IsString(e)) groupNames_[g] = e->valuestring;
            namesChanged = true;
        }
    }
    if (namesChanged) setParameter(kGUIGroupNamesChanged, 0.0f);
}

bool Plug::carriesState(const cJSON* document, bool isPreset) const {
    return PlugBaseJSON::carriesState(document, isPreset) || member(document, "settings") ||
           member(document, "uiprefs") || member(document, "routing") || member(document, "instanceName");
}

void Plug::readDocument(const cJSON* document, bool isPreset) {
    PlugBaseJSON::readDocument(document, isPreset);  // parameters, programs, slots; clears undo
    // The preset-load option "UI" filters presets only; a bank or project always
    // brings its editor state.
    if (!isPreset || (presetParts_ & state::kPartUI)) {
        readSettings(member(document, "settings"), isPreset);
        if (const cJSON* ui = member(document, "uiprefs"); cJSON_IsObject(ui)) {
            editorTree_.merge(ui);
            loadEditorPreferences();
        }
        // The editor takes the settings and preferences over in its next idle pass.
        forwardToEditor(kGUIUIPrefsChange, 1.0f);
    }
    readRouting(member(document, "routing"));
    // A restored project names its instances only while none of them has played yet.
    bool anyProcessed = false;
    forEachInstance([&](Plug& p) { anyProcessed = anyProcessed || p.hasProcessed(); });
    if (const cJSON* name = member(document, "instanceName"); cJSON_IsString(name) && !anyProcessed)
        setInstanceName(name->valuestring);
}

// ---------------------------------------------------------------------------
// Default bank

void Plug::loadDefaultBank() {
    const platform::SettingsStore settings(platform::SettingsStore::defaultFilePath());
    // The user's own default bank first; without one, the factory bank from the
    // bank folder or from where the product is installed.
    const std::vector<std::string> candidates = platform::startupBankFiles(settings);
    bankPath_ = candidates.front();
    platform::FileRead file;
    std::size_t used = 0;
    for (; used < candidates.size(); ++used) {
        file = platform::readWholeFile(candidates[used], kMaxBankFileBytes);
        if (file.status == platform::ReadStatus::Ok) break;
    }
    const bool haveDefault = used == 0;
    if (file.status == platform::ReadStatus::Ok && !file.bytes.empty())
        setChunk(file.bytes.data(), static_cast<vst::VstInt32>(file.bytes.size()), false);

    platform::createFolders(platform::parentFolder(bankPath_));
    // No bank of the user's own yet: the editor offers its first-run setup.
    firstRunSetupWanted_ = !haveDefault;
}

bool Plug::saveDefaultBankIfMissing() {
    if (bankPath_.empty()) return false;
    if (platform::readWholeFile(bankPath_, kMaxBankFileBytes).status != platform::ReadStatus::Missing) return false;
    if (!platform::createFolders(platform::parentFolder(bankPath_))) return false;
    const std::vector<unsigned char> chunk = stateChunk(false);
    return platform::writeFileAtomically(bankPath_,
                                         std::string_view(reinterpret_cast<const char*>(chunk.data()), chunk.size()));
}

// ---------------------------------------------------------------------------
// Default commands of the editor

namespace {

prefs::DefaultBankFile defaultBankOf(Plug& plug) {
    return prefs::DefaultBankFile(plug.bankPath(), [&plug] { return plug.stateChunk(false); });
}

}  // namespace

bool Plug::saveAllAsDefault() {
    auto bank = defaultBankOf(*this);
    return editorTree_.saveAllAsDefault(bank);
}

bool Plug::savePageAsDefault(const char* page) {
    auto bank = defaultBankOf(*this);
    return page && editorTree_.savePageAsDefault(bank, page);
}

bool Plug::restoreAllDefaults() {
    auto bank = defaultBankOf(*this);
    if (!editorTree_.restoreAllDefaults(bank)) return false;
    loadEditorPreferences();
    setParameter(kGUIUIPrefsChange, 1.0f);
    return true;
}

bool Plug::restorePageDefault(const char* page) {
    auto bank = defaultBankOf(*this);
    if (!page || !editorTree_.restorePageDefault(bank, page)) return false;
    loadEditorPreferences();
    setParameter(kGUIUIPrefsChange, 1.0f);
    return true;
}

bool Plug::saveStateAsDefault() { return !bankPath_.empty() && defaultBankOf(*this).saveCurrentState(); }

}  // namespace hm
