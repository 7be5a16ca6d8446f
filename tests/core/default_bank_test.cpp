// The editor's default commands and bank preset lists, on real files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/Plug.h"
#include "core/state/BankPresetList.h"
#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"
#include "tests/core/FakeHost.h"

namespace hm {
namespace {

namespace fs = std::filesystem;

class DefaultBank : public ::testing::Test {
protected:
    void SetUp() override {
        home_ = fs::temp_directory_path() / ("hm-default-bank-" + std::to_string(::getpid()));
        fs::remove_all(home_);
        ::setenv("XDG_DATA_HOME", home_.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(home_); }
    std::unique_ptr<Plug> makePlug() { return std::make_unique<Plug>(&test::fakeHost); }
    prefs::JsonPtr readBank(const Plug& plug) {
        const auto read = platformRead(plug.bankPath());
        auto text = state::decodeChunk(read);
        return text ? prefs::parseJson(*text) : nullptr;
    }
    static std::string platformRead(const std::string& path) {
        std::string bytes;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            char buf[65536];
            std::size_t n;
            while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) bytes.append(buf, n);
            std::fclose(f);
        }
        return bytes;
    }
    fs::path home_;
};

TEST_F(DefaultBank, SavedStateStartsTheNextInstance) {
    {
        auto plug = makePlug();
        EXPECT_TRUE(plug->firstRunSetupWanted());
        plug->setParameter(kGain, 0.875f);
        ASSERT_TRUE(plug->saveStateAsDefault());
    }
    auto next = makePlug();
    EXPECT_FALSE(next->firstRunSetupWanted());
    EXPECT_EQ(next->getParameter(kGain), 0.875f);
}

TEST_F(DefaultBank, SavingOnePageChangesOnlyThatPage) {
    auto plug = makePlug();
    plug->setProgramNameAt("Keep me", 4);
    ASSERT_TRUE(plug->saveDefaultBankIfMissing());
    EXPECT_FALSE(plug->saveDefaultBankIfMissing());  // never replaces an existing bank
    plug->editorPreferenceTree().setUIPreference("Graph", "Range", 1);
    plug->editorPreferenceTree().setUIPreference("Meters", "Scale", 3);
    ASSERT_TRUE(plug->savePageAsDefault("Graph"));
    prefs::JsonPtr bank = readBank(*plug);
    ASSERT_TRUE(bank);
    const cJSON* ui = prefs::member(bank.get(), "uiprefs");
    EXPECT_EQ(prefs::member(prefs::member(prefs::member(ui, "Graph"), "Range"), "value")->valueint, 1);
    EXPECT_EQ(prefs::member(prefs::member(prefs::member(ui, "Meters"), "Scale"), "value")->valueint, 0);
    const cJSON* presets = prefs::member(bank.get(), "presets");
    EXPECT_STREQ(prefs::member(cJSON_GetArrayItem(presets, 4), "name")->valuestring, "Keep me");

    // Restoring brings the saved page back; the unsaved page keeps its bank value.
    plug->editorPreferenceTree().setUIPreference("Graph", "Range", 4);
    ASSERT_TRUE(plug->restoreAllDefaults());
    EXPECT_EQ(plug->editorPreferenceTree().getUIPreference("Graph", "Range"), 1);
    EXPECT_EQ(plug->editorPreferenceTree().getUIPreference("Meters", "Scale"), 0);
}

TEST(BankPresetList, OffersNamedPresetsInMenuOrder) {
    const std::string bank = R"({"presets": [
        {"name": "10 Bright"}, {"name": "-"}, {"name": "2 Warm"}, {"name": "Zed"},
        {"name": "Alpha"}, {"name": 7}, {"name": "2 Air"}, {"name": "2 Warm"}]})";
    const auto list = state::readBankPresets(bank.data(), bank.size());
    std::vector<std::string> names;
    for (const auto& p : list) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Zed", "2 Air", "2 Warm", "2 Warm", "10 Bright"}));
    EXPECT_TRUE(state::readBankPresets("junk", 4).empty());
    EXPECT_TRUE(state::readBankPresets(nullptr, 0).empty());
}

}  // namespace
}  // namespace hm
