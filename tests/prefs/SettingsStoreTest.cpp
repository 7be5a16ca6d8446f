#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "tests/prefs/TempFolder.h"

namespace hm::platform {
namespace {

using hm::test::TempFolder;

TEST(SettingsStore, SetKeepsOtherValuesAndNamesIgnoreCase) {
    TempFolder dir;
    SettingsStore store(dir.file("cfg/Harmoniform/settings.json"));  // folder created on demand
    EXPECT_FALSE(store.get("Path"));
    ASSERT_TRUE(store.set("Path", "/banks"));
    ASSERT_TRUE(store.set("globals", "{\"A\":1}"));
    ASSERT_TRUE(store.set("PATH", "/other"));
    EXPECT_EQ(store.get("path").value_or(""), "/other");
    EXPECT_EQ(store.get("Globals").value_or(""), "{\"A\":1}");
    // A second store on the same file (another process) sees the same values.
    EXPECT_EQ(SettingsStore(store.filePath()).get("globals").value_or(""), "{\"A\":1}");
}

TEST(SettingsStore, DamagedFileReadsEmptyAndIsMovedAsideOnWrite) {
    const std::string damaged[] = {"{\"globals\": \"{\\\"A\\\":1}\"", "not json at all", "[1,2,3]", "42"};
    for (const std::string& bytes : damaged) {
        TempFolder dir;
        const std::string path = dir.file("settings.json");
        hm::test::spit(path, bytes);
        SettingsStore store(path);
        EXPECT_FALSE(store.get("globals")) << bytes;
        EXPECT_EQ(hm::test::slurp(path), bytes) << "a read must not touch the file";
        ASSERT_TRUE(store.set("globals", "{}")) << bytes;
        EXPECT_EQ(store.get("globals").value_or(""), "{}");
        EXPECT_EQ(hm::test::slurp(path + ".bad"), bytes) << "damaged file not kept";
        // A second damaged file does not overwrite the first copy.
        hm::test::spit(path, "again damaged");
        ASSERT_TRUE(store.set("Path", "/x"));
        EXPECT_EQ(hm::test::slurp(path + ".bad"), bytes);
        EXPECT_EQ(hm::test::slurp(path + ".bad1"), "again damaged");
    }
}

// A settings file that cannot be read may be perfectly good; it is neither
// read nor replaced.
TEST(SettingsStore, UnreadableFileIsNeverReplaced) {
    TempFolder dir;
    const std::string path = dir.file("settings.json");
    ASSERT_TRUE(createFolders(path));  // a folder where the file should be
    SettingsStore store(path);
    EXPECT_FALSE(store.get("globals"));
    EXPECT_FALSE(store.set("globals", "{}"));
    EXPECT_EQ(readWholeFile(path, 100).status, ReadStatus::Unreadable);

    const std::string big = dir.file("big.json");
    const std::string content = "{\"Path\":\"" + std::string(SettingsStore::kMaxFileBytes, 'p') + "\"}";
    hm::test::spit(big, content);
    EXPECT_FALSE(SettingsStore(big).get("Path"));
    EXPECT_FALSE(SettingsStore(big).set("globals", "{}"));
    EXPECT_EQ(hm::test::slurp(big), content);
}

TEST(SettingsStore, NonTextMembersReadMissingAndSurviveWrites) {
    TempFolder dir;
    const std::string path = dir.file("settings.json");
    hm::test::spit(path, "{\"Path\": 12, \"other\": [1,2]}");
    SettingsStore store(path);
    EXPECT_FALSE(store.get("Path"));
    ASSERT_TRUE(store.set("globals", "{}"));
    const std::string after = hm::test::slurp(path);
    EXPECT_NE(after.find("\"other\""), std::string::npos);
    EXPECT_NE(after.find("12"), std::string::npos);
}

// Instances in other threads or processes change different values at the same
// time; none of the changes may be lost.
TEST(SettingsStore, ConcurrentWritersKeepEveryValue) {
    TempFolder dir;
    const std::string path = dir.file("settings.json");
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&path, t] {
            SettingsStore own(path);
            for (int i = 0; i < 20; ++i) own.set("value" + std::to_string(t), std::to_string(i));
        });
    }
    for (auto& w : writers) w.join();
    SettingsStore store(path);
    for (int t = 0; t < 4; ++t) EXPECT_EQ(store.get("value" + std::to_string(t)).value_or("lost"), "19") << t;
}

class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name) {
        if (const char* v = std::getenv(name)) saved_ = v, had_ = true;
    }
    ~EnvGuard() {
        if (had_) ::setenv(name_, saved_.c_str(), 1);
        else ::unsetenv(name_);
    }
    void set(const char* value) {
        if (value) ::setenv(name_, value, 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::string saved_;
    bool had_ = false;
};

TEST(Paths, XdgFoldersFallBackToHomeWhenUnsetEmptyOrRelative) {
    EnvGuard home("HOME"), config("XDG_CONFIG_HOME"), data("XDG_DATA_HOME");
    home.set("/home/u");
    struct Case {
        const char* xdg;
        const char* configExpected;
        const char* bankExpected;
    };
    const Case cases[] = {
        {nullptr, "/home/u/.config/Harmoniform/settings.json", "/home/u/.local/share/Corvanta/Harmoniform"},
        {"", "/home/u/.config/Harmoniform/settings.json", "/home/u/.local/share/Corvanta/Harmoniform"},
        {"relative/dir", "/home/u/.config/Harmoniform/settings.json", "/home/u/.local/share/Corvanta/Harmoniform"},
        {"/xdg/", "/xdg/Harmoniform/settings.json", "/xdg/Corvanta/Harmoniform"},
    };
    for (const Case& c : cases) {
        config.set(c.xdg);
        data.set(c.xdg);
        EXPECT_EQ(SettingsStore::defaultFilePath(), c.configExpected) << (c.xdg ? c.xdg : "(unset)");
        EXPECT_EQ(defaultBankFolder(), c.bankExpected) << (c.xdg ? c.xdg : "(unset)");
    }
    EXPECT_EQ(presetsFolder("/b/Harmoniform"), "/b/Harmoniform/Presets");
}

TEST(Paths, BankFolderComesFromPathWhenItHoldsAtLeastTwoBytes) {
    TempFolder dir;
    SettingsStore store(dir.file("settings.json"));
    EXPECT_EQ(bankFolder(store), defaultBankFolder());
    ASSERT_TRUE(store.set("Path", "/"));
    EXPECT_EQ(bankFolder(store), defaultBankFolder());
    ASSERT_TRUE(store.set("Path", "/mnt/banks"));
    EXPECT_EQ(bankFolder(store), "/mnt/banks");
}

}  // namespace
}  // namespace hm::platform
