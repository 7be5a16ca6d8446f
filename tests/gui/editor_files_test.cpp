// Preset and bank files: the desktop chooser as a child process (a stand-in
// program on PATH), the editor's own path entry when there is none, damaged
// files, and the preset menu built from the bank folder's "Presets" tree.
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "gui/controls/COptionMenu.h"
#include "gui/editor/EditorPanel.h"
#include "gui/framework/CFrame.h"
#include "gui/framework/Modifiers.h"
#include "platform/AtomicFile.h"
#include "platform/FileChooser.h"
#include "prefs/ChunkCodec.h"
#include "tests/gui/editor_Rig.h"

namespace hm::gui::test {
namespace {

namespace fs = std::filesystem;

struct TempDir {
    TempDir() {
        char pattern[] = "/tmp/hm-editor-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~TempDir() { fs::remove_all(path); }
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// PATH for one test: only the given folder (and the shell's).
class ScopedPath {
public:
    explicit ScopedPath(const std::string& folder) : old_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        ::setenv("PATH", (folder + ":/bin:/usr/bin").c_str(), 1);
    }
    ~ScopedPath() { ::setenv("PATH", old_.c_str(), 1); }

private:
    std::string old_;
};

// A stand-in for zenity: records its arguments, prints `answer`, ends with `status`.
void writeChooser(const TempDir& dir, const std::string& answer, int status) {
    const std::string script = dir.file("zenity");
    std::ofstream out(script);
    out << "#!/bin/sh\n"
        << "for a in \"$@\"; do echo \"$a\"; done > \"" << dir.file("args") << "\"\n";
    if (!answer.empty()) out << "echo '" << answer << "'\n";
    out << "exit " << status << "\n";
    out.close();
    ::chmod(script.c_str(), 0755);
}

// Idle passes until `done` holds (the chooser runs as a separate process).
template <class F>
bool idleUntil(EditorRig& rig, F done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until) {
        rig.editor->forceIdlePass();
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

std::string readText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A preset file of the rig's current program, with one band gain and a name.
void writePreset(EditorRig& rig, const std::string& path, const char* name, double gainDb) {
    const int gain = bandParam(0, kBandGain);
    rig.plug->setProgramNameAt(name, rig.plug->getProgram());
    rig.plug->setParameter(gain, rig.normalised(gain, gainDb));
    const std::vector<unsigned char> chunk = rig.plug->stateChunk(true);
    ASSERT_TRUE(platform::writeFileAtomically(path, std::string(chunk.begin(), chunk.end())));
}

TEST(EditorFiles, ChooserAnswerLoadsTheBankInALaterIdlePass) {
    TempDir dir;
    EditorRig rig;
    // A bank whose first preset (in menu order) sets band 1's gain.
    writePreset(rig, dir.file("unused.hmp"), "x", 0.0);
    rig.plug->setProgramNameAt("2 Second", 0);
    rig.plug->setProgramNameAt("1 First", 1);
    rig.plug->setProgram(1);
    rig.plug->setParameter(bandParam(0, kBandGain), rig.normalised(bandParam(0, kBandGain), 5.0));
    const std::vector<unsigned char> bank = rig.plug->stateChunk(false);
    ASSERT_TRUE(platform::writeFileAtomically(dir.file("my.hmb"), std::string(bank.begin(), bank.end())));
    rig.plug->setProgram(0);
    rig.plug->setParameter(bandParam(0, kBandGain), rig.normalised(bandParam(0, kBandGain), 0.0));

    writeChooser(dir, dir.file("my.hmb"), 0);
    ScopedPath path(dir.path);
    rig.change(kGUILoad, 1.f);
    ASSERT_TRUE(idleUntil(rig, [&] { return rig.editor->shownPresetList() != nullptr; }));
    const PresetList* list = rig.editor->shownPresetList();
    ASSERT_GE(list->presets.size(), 2u);
    EXPECT_EQ(list->presets[0].name, "1 First");
    EXPECT_EQ(list->presets[1].name, "2 Second");
    EXPECT_NEAR(rig.real(bandParam(0, kBandGain)), 5.0, 1e-3);
    EXPECT_STREQ(rig.plug->program(rig.plug->getProgram()).name, "1 First");

    const std::string args = readText(dir.file("args"));
    EXPECT_NE(args.find("--title=Select preset bank"), std::string::npos);
    EXPECT_NE(args.find("--file-filter=*.hmb"), std::string::npos);

    // The next button walks the loaded list.
    rig.change(kGUIPresetNext, 1.f);
    EXPECT_EQ(rig.editor->presetIndex(), 1);
    EXPECT_STREQ(rig.plug->program(rig.plug->getProgram()).name, "2 Second");
}

TEST(EditorFiles, CancelledChooserChangesNothing) {
    TempDir dir;
    EditorRig rig;
    writeChooser(dir, "", 1);
    ScopedPath path(dir.path);
    const std::vector<unsigned char> before = rig.plug->stateChunk(false);
    rig.change(kGUILoadPreset, 1.f);
    EXPECT_TRUE(rig.editor->fileDialogOpen());
    ASSERT_TRUE(idleUntil(rig, [&] { return !rig.editor->fileDialogOpen(); }));
    EXPECT_TRUE(fs::exists(dir.file("args")));
    EXPECT_TRUE(rig.editor->noticeText().empty());
    EXPECT_EQ(rig.plug->stateChunk(false), before);
}

TEST(EditorFiles, ClosingTheEditorEndsAnOpenChooser) {
    TempDir dir;
    const std::string script = dir.file("zenity");
    {
        std::ofstream out(script);
        out << "#!/bin/sh\necho $$ > \"" << dir.file("pid") << "\"\nexec sleep 30\n";
    }
    ::chmod(script.c_str(), 0755);
    ScopedPath path(dir.path);
    EditorRig rig;
    rig.change(kGUILoad, 1.f);
    ASSERT_TRUE(rig.editor->fileDialogOpen());
    ASSERT_TRUE(idleUntil(rig, [&] { return !readText(dir.file("pid")).empty(); }));
    const pid_t child = static_cast<pid_t>(std::stol(readText(dir.file("pid"))));
    const auto start = std::chrono::steady_clock::now();
    rig.editor->close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_NE(::kill(child, 0), 0);  // the dialog's process is gone (and reaped)
    ASSERT_TRUE(rig.editor->openHeadless());
    EXPECT_FALSE(rig.editor->fileDialogOpen());
}

TEST(EditorFiles, DamagedFileGivesAMessageAndChangesNothing) {
    TempDir dir;
    EditorRig rig;
    platform::writeFileAtomically(dir.file("broken.hmp"), "ZIP this is not a zlib stream");
    writeChooser(dir, dir.file("broken.hmp"), 0);
    ScopedPath path(dir.path);
    const std::vector<unsigned char> before = rig.plug->stateChunk(false);
    rig.change(kGUILoadPreset, 1.f);
    ASSERT_TRUE(idleUntil(rig, [&] { return !rig.editor->noticeText().empty(); }));
    EXPECT_NE(rig.editor->noticeText().find(dir.file("broken.hmp")), std::string::npos);
    EXPECT_NE(rig.editor->noticeText().find("Nothing was changed"), std::string::npos);
    EXPECT_EQ(rig.plug->stateChunk(false), before);
    // The message sits over the editor until it is clicked away.
    EXPECT_NE(dynamic_cast<EditorPanel*>(rig.editor->getFrame()->getModalView()), nullptr);
    rig.window()->press(5, 5, kLButton);
    rig.window()->release(5, 5, kLButton);
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->getFrame()->getModalView(), nullptr);
}

TEST(EditorFiles, LoadPresetOpensParametricEqTextAsAPreset) {
    TempDir dir;
    EditorRig rig;
    platform::writeFileAtomically(dir.file("Headphone Correction.txt"),
                                  "Preamp: -4.5 dB\r\nFilter 1: ON PK Fc 3000 Hz Gain 4 dB Q 2\r\n"
                                  "Filter 2: OFF HSC Fc 9000 Hz Gain -3 dB Q 0.7\r\n");
    writeChooser(dir, dir.file("Headphone Correction.txt"), 0);
    ScopedPath path(dir.path);
    rig.change(kGUILoadPreset, 1.f);
    ASSERT_TRUE(idleUntil(rig, [&] { return !rig.editor->fileDialogOpen(); }));
    EXPECT_NE(readText(dir.file("args")).find("--file-filter=*.hmp *.txt"), std::string::npos);
    EXPECT_TRUE(rig.editor->noticeText().empty()) << rig.editor->noticeText();
    EXPECT_NEAR(rig.real(kGain), -4.5, 1e-3);
    EXPECT_EQ(std::lround(rig.real(bandParam(0, kBandState))), 2);
    // Fitted to the textbook curve at the instance's rate: at 3 kHz, close to the
    // filter's own settings.
    EXPECT_NEAR(rig.real(bandParam(0, kBandFrequency)), 3000.0, 30.0);
    EXPECT_NEAR(rig.real(bandParam(0, kBandGain)), 4.0, 0.05);
    EXPECT_EQ(std::lround(rig.real(bandParam(1, kBandState))), 1);  // OFF: bypassed
    EXPECT_STREQ(rig.plug->program(rig.plug->getProgram()).name, "Headphone Correction");

    // A text with a bad line changes nothing and says which line.
    platform::writeFileAtomically(dir.file("bad.txt"), "Filter 1: ON PK Fc 3000 Hz Gain 4,5 dB Q 2\n");
    writeChooser(dir, dir.file("bad.txt"), 0);
    std::vector<float> before;
    for (int i = 0; i < kNumParams; ++i) before.push_back(rig.plug->getParameter(i));
    rig.change(kGUILoadPreset, 1.f);
    ASSERT_TRUE(idleUntil(rig, [&] { return !rig.editor->noticeText().empty(); }));
    EXPECT_NE(rig.editor->noticeText().find("line 1: decimal comma"), std::string::npos) << rig.editor->noticeText();
    for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(rig.plug->getParameter(i), before[i]) << i;
}

TEST(EditorFiles, SaveAddsTheExtensionAndWritesTheBank) {
    TempDir dir;
    EditorRig rig;
    writeChooser(dir, dir.file("saved"), 0);
    ScopedPath path(dir.path);
    rig.plug->setProgramNameAt("Keep me", 0);
    rig.change(kGUISave, 1.f);
    ASSERT_TRUE(idleUntil(rig, [&] { return fs::exists(dir.file("saved.hmb")); }));
    const auto text = state::decodeChunk(readText(dir.file("saved.hmb")));
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("Keep me"), std::string::npos);
    const std::string args = readText(dir.file("args"));
    EXPECT_NE(args.find("--save"), std::string::npos);
    EXPECT_NE(args.find("Harmoniform bank.hmb"), std::string::npos);
}

TEST(EditorFiles, WithoutAChooserTheEditorAsksForThePath) {
    TempDir dir;
    EditorRig rig;
    writePreset(rig, dir.file("p.hmp"), "From file", -3.0);
    rig.plug->setParameter(bandParam(0, kBandGain), rig.normalised(bandParam(0, kBandGain), 0.0));
    ScopedPath path(dir.path);  // no zenity, no kdialog
    ASSERT_TRUE(platform::FileChooser::findProgram().empty());
    rig.change(kGUILoadPreset, 1.f);
    auto* panel = dynamic_cast<EditorPanel*>(rig.editor->getFrame()->getModalView());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->kind(), EditorPanel::Kind::PathEntry);
    EXPECT_EQ(panel->title(), "Select preset file");
    // The field holds the desktop folder; the user replaces it with the file.
    for (int i = 0; i < 300; ++i) rig.window()->key({platform::Key::kBackspace, 0, 0});
    rig.window()->typeText(dir.file("p.hmp").c_str());
    rig.window()->key({platform::Key::kReturn, 0, 0});
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->getFrame()->getModalView(), nullptr);
    EXPECT_NEAR(rig.real(bandParam(0, kBandGain)), -3.0, 1e-3);
    EXPECT_STREQ(rig.plug->program(rig.plug->getProgram()).name, "From file");
}

TEST(EditorFiles, EscapeInThePathEntryCancels) {
    TempDir dir;
    EditorRig rig;
    ScopedPath path(dir.path);
    const std::vector<unsigned char> before = rig.plug->stateChunk(false);
    rig.change(kGUILoad, 1.f);
    ASSERT_NE(rig.editor->getFrame()->getModalView(), nullptr);
    rig.window()->key({platform::Key::kEscape, 0, 0});
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->getFrame()->getModalView(), nullptr);
    EXPECT_EQ(rig.plug->stateChunk(false), before);
    // A new dialog can be asked for.
    rig.change(kGUILoad, 1.f);
    EXPECT_NE(rig.editor->getFrame()->getModalView(), nullptr);
}

TEST(EditorFiles, DesktopIsTheXdgDesktopFolderElseHome) {
    TempDir dir;
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", dir.path.c_str(), 1);
    ::unsetenv("XDG_DESKTOP_DIR");
    EXPECT_EQ(platform::desktopFolder(), dir.path);  // no Desktop folder: home
    fs::create_directories(dir.file("Schreibtisch"));
    const std::string config = std::getenv("XDG_CONFIG_HOME");
    fs::create_directories(config);
    platform::writeFileAtomically(config + "/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    EXPECT_EQ(platform::desktopFolder(), dir.file("Schreibtisch"));
    fs::remove(config + "/user-dirs.dirs");
    fs::create_directories(dir.file("Desktop"));
    EXPECT_EQ(platform::desktopFolder(), dir.file("Desktop"));
    ::setenv("HOME", oldHome.c_str(), 1);
}

TEST(EditorFiles, PresetMenuListsProgramsThenThePresetsFolder) {
    EditorRig rig;
    const std::string presets = platform::parentFolder(rig.plug->bankPath()) + "/Presets";
    fs::create_directories(presets + "/Mix");
    struct Cleanup {
        std::string path;
        ~Cleanup() { fs::remove_all(path); }
    } cleanup{presets};
    writePreset(rig, presets + "/10 Bright.hmp", "b", 1.0);
    writePreset(rig, presets + "/2 Warm.hmp", "w", 2.0);
    writePreset(rig, presets + "/Alpha.hmp", "a", 3.0);
    writePreset(rig, presets + "/.hidden.hmp", "h", 4.0);
    writePreset(rig, presets + "/Mix/Inner.hmp", "i", 5.0);
    platform::writeFileAtomically(presets + "/notes.txt", "not a preset");
    const std::vector<unsigned char> bank = rig.plug->stateChunk(false);
    platform::writeFileAtomically(presets + "/Live.hmb", std::string(bank.begin(), bank.end()));
    for (int p = 0; p < kNumPrograms; ++p) rig.plug->setProgramNameAt(p < 3 ? "Prog" : "-", p);

    // Closing and opening builds the menu again.
    rig.editor->close();
    ASSERT_TRUE(rig.editor->openHeadless());
    COptionMenu* menu = rig.editor->presetMenu();
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> titles;
    for (int i = 0; i < menu->getNbEntries(); ++i) titles.push_back(menu->getEntry(i));
    const std::vector<std::string> expected = {"Prog", "Prog", "Prog", "-", "Alpha", "2 Warm", "10 Bright", "Live", "Mix"};
    EXPECT_EQ(titles, expected);
    ASSERT_NE(menu->getSubMenu(8), nullptr);
    EXPECT_STREQ(menu->getSubMenu(8)->getEntry(0), "Inner");
    EXPECT_GT(menu->getSubMenu(7)->getNbEntries(), 0);

    // Choosing "2 Warm" loads it; next goes to "10 Bright" in the same folder list.
    menu->popupChosen(menu, 5);
    EXPECT_NEAR(rig.real(bandParam(0, kBandGain)), 2.0, 1e-3);
    EXPECT_STREQ(rig.plug->program(rig.plug->getProgram()).name, "2 Warm");
    rig.change(kGUIPresetNext, 1.f);
    EXPECT_NEAR(rig.real(bandParam(0, kBandGain)), 1.0, 1e-3);
    rig.change(kGUIPresetNext, 1.f);  // the end of the list: stays
    EXPECT_NEAR(rig.real(bandParam(0, kBandGain)), 1.0, 1e-3);
    // A program entry goes back to the program list.
    menu->popupChosen(menu, 1);
    EXPECT_EQ(rig.plug->getProgram(), 1);
    EXPECT_EQ(rig.editor->shownPresetList(), nullptr);
}

TEST(EditorFiles, PresetMenuOffersTheFactoryProgramsBesideTheInstancesOwn) {
    EditorRig rig;
    const std::string factoryPath = platform::parentFolder(rig.plug->bankPath()) + "/Factory Bank.hmp";
    struct Cleanup {
        std::string path;
        ~Cleanup() { fs::remove(path); }
    } cleanup{factoryPath};
    // A factory bank: program 0 "Air" with a band gain, the rest unnamed.
    for (int p = 0; p < kNumPrograms; ++p) rig.plug->setProgramNameAt(p == 0 ? "Air" : "-", p);
    rig.plug->setProgram(0);
    rig.plug->setParameter(bandParam(0, kBandGain), rig.normalised(bandParam(0, kBandGain), 4.0));
    const std::vector<unsigned char> bank = rig.plug->stateChunk(false);
    ASSERT_TRUE(platform::writeFileAtomically(factoryPath, std::string(bank.begin(), bank.end())));
    // The instance's own programs as a fresh setup leaves them.
    for (int p = 0; p < kNumPrograms; ++p) rig.plug->setProgramNameAt("(empty)", p);
    rig.plug->setParameter(bandParam(0, kBandGain), rig.normalised(bandParam(0, kBandGain), 0.0));

    rig.editor->close();
    ASSERT_TRUE(rig.editor->openHeadless());
    COptionMenu* menu = rig.editor->presetMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_GT(menu->getNbEntries(), kNumPrograms + 1);
    EXPECT_STREQ(menu->getEntry(kNumPrograms + 1), "Factory");
    COptionMenu* factory = menu->getSubMenu(kNumPrograms + 1);
    ASSERT_NE(factory, nullptr);
    ASSERT_EQ(factory->getNbEntries(), 1);
    EXPECT_STREQ(factory->getEntry(0), "Air");
    menu->popupChosen(factory, 0);
    EXPECT_NEAR(rig.real(bandParam(0, kBandGain)), 4.0, 1e-3);
    EXPECT_STREQ(rig.plug->program(rig.plug->getProgram()).name, "Air");
}

TEST(EditorFiles, ABankGivenToLoadPresetLoadsAsTheBank) {
    TempDir dir;
    EditorRig rig;
    rig.plug->setProgramNameAt("Bank One", 0);
    rig.plug->setProgram(0);
    rig.plug->setParameter(bandParam(0, kBandGain), rig.normalised(bandParam(0, kBandGain), 3.0));
    const std::vector<unsigned char> bank = rig.plug->stateChunk(false);
    ASSERT_TRUE(platform::writeFileAtomically(dir.file("banked.hmp"), std::string(bank.begin(), bank.end())));
    rig.plug->setProgramNameAt("Mine", 0);
    rig.plug->setParameter(bandParam(0, kBandGain), rig.normalised(bandParam(0, kBandGain), 0.0));

    writeChooser(dir, dir.file("banked.hmp"), 0);
    ScopedPath path(dir.path);
    rig.change(kGUILoadPreset, 1.f);
    ASSERT_TRUE(idleUntil(rig, [&] { return rig.editor->shownPresetList() != nullptr; }));
    EXPECT_STREQ(rig.plug->program(rig.plug->getProgram()).name, "Bank One") << "not \"Imported\"";
    EXPECT_NEAR(rig.real(bandParam(0, kBandGain)), 3.0, 1e-3);
}

}  // namespace
}  // namespace hm::gui::test

namespace hm::gui::test {
namespace {

TEST(EditorFiles, RecallButtonsShowThePartsAPresetLoadTakes) {
    EditorRig rig;
    rig.plug->setPresetParts(state::kPartEQ | state::kPartDSP);
    rig.editor->close();
    ASSERT_TRUE(rig.editor->openHeadless());
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.editor->shownValue(kGUIPresetEQ), 1.f);
    EXPECT_EQ(rig.editor->shownValue(kGUIPresetDSP), 1.f);
    EXPECT_EQ(rig.editor->shownValue(kGUIPresetUI), 0.f);
    rig.change(kGUIPresetUI, 1.f);
    EXPECT_EQ(rig.plug->presetParts(), state::kAllParts);
    EXPECT_EQ(rig.editor->shownValue(kGUIPresetUI), 1.f);
}

}  // namespace
}  // namespace hm::gui::test
