// The preset menu (programs, then the bank folder's "Presets" tree), the
// previous/next buttons, and the preset and bank files behind the load and
// save buttons. File dialogs never block: the chooser's answer arrives in a
// later idle pass (PlugEdIdle.cpp).
#include <cstring>

#include "core/Plug.h"
#include "core/peq/PeqDocument.h"
#include "core/peq/PeqFit.h"
#include "gui/controls/COptionMenu.h"
#include "gui/editor/EditorPanel.h"
#include "gui/editor/PlugEd.h"
#include "gui/framework/CFrame.h"
#include "gui/views/CPresetMenu.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace hm::gui {
namespace {

constexpr std::size_t kNoticeLines = 6;         // diagnostics a notice has room for

struct FileRequest {
    platform::ChooserMode mode;
    const char* title;
    const char* defaultName;  // proposed file for saves, null for opens
    const char* extension;
    const char* moreExtension;  // also offered when opening, or null
};

FileRequest requestFor(int tag) {
    switch (tag) {
        case kGUISave:
            return {platform::ChooserMode::Save, "Choose destination filename", "Harmoniform bank.hmb", "hmb", nullptr};
        case kGUILoad: return {platform::ChooserMode::Open, "Select preset bank", nullptr, "hmb", nullptr};
        // Parametric EQ text (correction filter lists) loads as a preset too.
        case kGUILoadPreset:
            return {platform::ChooserMode::Open, "Select preset file", nullptr, "hmp", "txt"};
        default:
            return {platform::ChooserMode::Save, "Choose destination filename", "Harmoniform Preset.hmp", "hmp",
                    nullptr};
    }
}

// The first factory bank found (the bank folder's, then the system's) as a
// sub-menu of its programs; no entries when there is none.
PresetNode factoryPresets(const std::string& bankFolder) {
    PresetNode node;
    node.name = "Factory";
    std::vector<std::string> folders = {bankFolder};
    for (const std::string& f : platform::systemBankFolders()) folders.push_back(f);
    for (const std::string& folder : folders) {
        const PresetFile file = readPresetFile(platform::joinPath(folder, platform::kFactoryBankFileName));
        if (file.status != PresetFileStatus::Ok) continue;
        bool hasList = false;
        auto list = std::make_shared<PresetList>();
        list->presets = bankPresetsOf(file.document, hasList);
        for (std::size_t i = 0; i < list->presets.size(); ++i)
            node.children.push_back({list->presets[i].name, list, static_cast<int>(i), {}});
        if (!node.children.empty()) break;
    }
    return node;
}

}  // namespace

// ---------------------------------------------------------------------------
// The menu

void PlugEd::addPresetNodes(COptionMenu* menu, const std::vector<PresetNode>& nodes) {
    for (const PresetNode& node : nodes) {
        if (node.isMenu()) {
            auto* sub = new COptionMenu(CRect(), nullptr, -1);
            addPresetNodes(sub, node.children);
            menu->addEntry(sub, node.name.c_str());
            sub->release();
        } else {
            presetEntries_.push_back({menu, menu->getNbEntries(), -1, node.list, node.index});
            menu->addEntry(node.name.c_str());
        }
    }
}

void PlugEd::rebuildPresetMenu() {
    presetEntries_.clear();
    if (!presetMenu_) return;
    presetMenu_->removeAllEntry();
    for (int p = 0; p < kNumPrograms; ++p) {
        const char* name = plug_->program(p).name;
        if (std::strcmp(name, "-") == 0) continue;
        presetEntries_.push_back({presetMenu_, presetMenu_->getNbEntries(), p, nullptr, -1});
        presetMenu_->addEntry(name);
    }
    presetMenu_->addSeparator();
    const std::string bankFolder = platform::parentFolder(plug_->bankPath());
    presetTree_ = std::make_shared<PresetTree>(scanPresetFolder(platform::presetsFolder(bankFolder)));
    // The factory programs stay within reach whatever the default bank holds
    // (the one the setup writes has only empty programs).
    PresetNode factory = factoryPresets(bankFolder);
    if (!factory.children.empty()) presetTree_->entries.insert(presetTree_->entries.begin(), std::move(factory));
    addPresetNodes(presetMenu_, presetTree_->entries);
    refreshPresetMenuText();
}

void PlugEd::refreshPresetMenuText() {
    presetTextPending_ = false;
    if (!presetMenu_) return;
    // Loads and the host may have renamed programs.
    rebuildPresetMenuEntryNames();
    // The program list shows the current program's entry; a preset of a list shows its own name.
    const bool fromList = shownList_ && presetIndex_ >= 0 && presetIndex_ < static_cast<int>(shownList_->presets.size());
    const std::string text = fromList ? shownList_->presets[static_cast<std::size_t>(presetIndex_)].name
                                      : std::string(plug_->program(plug_->getProgram()).name);
    if (auto* menu = dynamic_cast<CPresetMenu*>(presetMenu_)) menu->setText(text);
    presetMenu_->setDirty(true);
}

void PlugEd::presetMenuChosen(COptionMenu* menu) {
    if (!menu) return;
    int index = -1;
    COptionMenu* where = menu->getLastItemMenu(index);
    for (const PresetEntry& e : presetEntries_) {
        if (e.menu != where || e.index != index) continue;
        if (e.program >= 0) {
            shownList_.reset();
            plug_->setProgram(e.program);
            presetIndex_ = e.program;
            presetTextPending_ = true;
        } else {
            // Copy: loading may rebuild the menu and its entry list.
            const std::shared_ptr<PresetList> list = e.list;
            const int position = e.listIndex;
            loadPresetEntry(list, position);
        }
        return;
    }
}

void PlugEd::loadPresetEntry(const std::shared_ptr<PresetList>& list, int index) {
    if (!list || index < 0 || index >= static_cast<int>(list->presets.size())) return;
    const state::BankPreset& preset = list->presets[static_cast<std::size_t>(index)];
    std::string bytes = preset.document;
    bytes.push_back('\0');
    plug_->setChunk(bytes.data(), static_cast<vst::VstInt32>(bytes.size()), true);
    plug_->setProgramNameAt(preset.name.c_str(), plug_->getProgram());
    shownList_ = list;
    presetIndex_ = index;
    presetTextPending_ = true;
}

void PlugEd::rebuildPresetMenuEntryNames() {
    // A load renames the current program: its entry follows.
    if (!presetMenu_) return;
    for (const PresetEntry& e : presetEntries_)
        if (e.program >= 0 && e.menu == presetMenu_) presetMenu_->setEntryTitle(e.index, plug_->program(e.program).name);
    // The entry in force carries the tick: the current program, or the preset
    // of a list that was loaded last.
    for (const PresetEntry& e : presetEntries_) {
        const bool current = shownList_ ? (e.list == shownList_ && e.listIndex == presetIndex_)
                                        : (e.program >= 0 && e.program == plug_->getProgram());
        e.menu->checkEntry(e.index, current);
    }
}

void PlugEd::stepPreset(int direction) {
    if (!shownList_) {
        plug_->stepProgram(direction);
        presetIndex_ = plug_->getProgram();
        presetTextPending_ = true;
        return;
    }
    const int next = presetIndex_ + direction;
    if (next >= 0 && next < static_cast<int>(shownList_->presets.size())) loadPresetEntry(shownList_, next);
}

// ---------------------------------------------------------------------------
// Files

void PlugEd::askForFile(int tag) {
    if (chooserTag_ >= 0 || panel_) return;  // one dialog at a time
    const FileRequest r = requestFor(tag);
    const std::string desktop = platform::desktopFolder();
    platform::ChooserRequest request;
    request.mode = r.mode;
    request.title = r.title;
    request.start = r.defaultName ? platform::joinPath(desktop, r.defaultName) : desktop;
    request.extension = r.extension;
    if (r.moreExtension) request.moreExtensions.push_back(r.moreExtension);
    chooserTag_ = tag;
    if (platform::FileChooser::findProgram().empty()) {
        // No desktop chooser: the editor asks for the path itself.
        std::string start = request.start;
        if (!r.defaultName && !start.empty() && start.back() != '/') start.push_back('/');
        showPanel(new EditorPanel(frame_->getViewSize(), EditorPanel::Kind::PathEntry, r.title, start));
        return;
    }
    if (!chooser_.start(request)) {
        chooserTag_ = -1;
        showNotice("The file dialog could not be shown.");
    }
}

void PlugEd::fileChosen(int tag, const std::string& path) {
    switch (tag) {
        case kGUISave: saveFile(path, false); break;
        case kGUISavePreset: saveFile(path, true); break;
        case kGUILoad: loadBankFile(path); break;
        case kGUILoadPreset: loadPresetFile(path); break;
        default: break;
    }
}

static std::string readProblem(const std::string& path, PresetFileStatus status, const char* what) {
    if (status == PresetFileStatus::Unreadable) return "Cannot read \"" + path + "\".\nNothing was changed.";
    return "\"" + path + "\" is not a Harmoniform " + what + " (damaged or of another format).\nNothing was changed.";
}

void PlugEd::loadBankFile(const std::string& path) {
    const PresetFile file = readPresetFile(path);
    if (file.status != PresetFileStatus::Ok) {
        showNotice(readProblem(path, file.status, "bank"));
        return;
    }
    bool hasList = false;
    auto list = std::make_shared<PresetList>();
    list->presets = bankPresetsOf(file.document, hasList);
    shownList_ = list;
    presetIndex_ = 0;
    presetTextPending_ = true;
    if (list->presets.empty()) {
        showNotice("\"" + path + "\" holds no presets.\nThe current program was not changed.");
        return;
    }
    loadPresetEntry(list, 0);
}

void PlugEd::loadPresetFile(const std::string& path) {
    if (peq::isTextPath(path)) {
        loadTextFile(path);
        return;
    }
    const PresetFile file = readPresetFile(path);
    if (file.status != PresetFileStatus::Ok) {
        showNotice(readProblem(path, file.status, "preset"));
        return;
    }
    bool bank = false;
    (void)bankPresetsOf(file.document, bank);
    if (bank) {
        // A bank chosen as a preset: loaded as the bank it is, not renamed into
        // the current program with nothing changed.
        loadBankFile(path);
        return;
    }
    plug_->setProgramNameAt("Imported", plug_->getProgram());
    std::string bytes = file.document;
    bytes.push_back('\0');
    plug_->setChunk(bytes.data(), static_cast<vst::VstInt32>(bytes.size()), true);
    shownList_.reset();
    presetIndex_ = plug_->getProgram();
    presetTextPending_ = true;
}

// Parametric EQ text becomes a preset chunk and is loaded as one, into the
// current program: undo, A/B and state treat it like any preset. Its bands are
// fitted to the filters' textbook curve at the rate the instance runs at now.
// A text with lines that cannot be imported changes nothing; the notice lists
// them.
void PlugEd::loadTextFile(const std::string& path) {
    const platform::FileRead file = platform::readWholeFile(path, peq::kMaxTextBytes);
    if (file.status != platform::ReadStatus::Ok) {
        showNotice(readProblem(path, PresetFileStatus::Unreadable, "preset"));
        return;
    }
    peq::Import import = peq::importText(file.bytes);
    if (!import.usable(false)) {
        std::string text = "\"" + path + "\" cannot be imported:";
        for (std::size_t i = 0; i < import.errors.size() && i < kNoticeLines; ++i)
            text += "\nline " + std::to_string(import.errors[i].line) + ": " + import.errors[i].message;
        if (import.errors.size() > kNoticeLines) text += "\n...";
        showNotice(text + "\nNothing was changed.");
        return;
    }
    if (import.mapped.empty()) {
        showNotice("\"" + path + "\" holds no filter to import.\nNothing was changed.");
        return;
    }
    peq::fitToTextbook(import, plug_->getSampleRate());
    std::vector<unsigned char> chunk = peq::presetChunk(import.values, peq::presetNameFor(path));
    plug_->setChunk(chunk.data(), static_cast<vst::VstInt32>(chunk.size()), true);
    shownList_.reset();
    presetIndex_ = plug_->getProgram();
    presetTextPending_ = true;
}

void PlugEd::saveFile(const std::string& path, bool preset) {
    const std::vector<unsigned char> chunk = plug_->stateChunk(preset);
    const std::string_view bytes(reinterpret_cast<const char*>(chunk.data()), chunk.size());
    if (chunk.empty() || !platform::writeFileAtomically(path, bytes))
        showNotice("Cannot write \"" + path + "\".\nThe file was not saved.");
}

void PlugEd::showPanel(EditorPanel* panel) {
    if (!frame_) {
        panel->release();
        return;
    }
    if (panel_) {
        // A path entry that is replaced unanswered counts as cancelled.
        if (panel_->kind() == EditorPanel::Kind::PathEntry) chooserTag_ = -1;
        frame_->setModalView(nullptr);
    }
    panel_ = panel;
    frame_->setModalView(panel);
    if (panel->kind() == EditorPanel::Kind::PathEntry) panel->focusField();
    else frame_->setFocusView(panel);
}

void PlugEd::showNotice(const std::string& text) {
    notice_ = text;
    if (frame_) showPanel(new EditorPanel(frame_->getViewSize(), EditorPanel::Kind::Message, "Harmoniform", text));
}

}  // namespace hm::gui
