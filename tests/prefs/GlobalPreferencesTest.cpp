#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/SettingsStore.h"
#include "prefs/GlobalPreferences.h"
#include "tests/prefs/TempFolder.h"

namespace hm::prefs {
namespace {

using hm::test::TempFolder;

// The global preferences as the product documents them: name, default, page,
// number of labels.
struct Expected {
    const char* name;
    int value;
    int page;
    int labels;
};
constexpr Expected kGlobals[] = {
    {"FFT Update throttle", 1, 1, 3}, {"AutoListen Gain", 0, 1, 3},   {"AutoListen Q", 0, 1, 2},
    {"AutoListen Ignores Q", 0, 1, 2}, {"AutoListen Disabled", 0, 1, 2}, {"MIDI Disabled", 0, 1, 2},
    {"Solo Mode", 0, 1, 2},           {"A/B Automation", 1, 1, 2},    {"A/B Toggle", 1, 1, 3},
    {"Clip threshold", 0, 0, 2},      {"ProTools Opt/Shift", 0, 0, 2},
};

class GlobalPreferencesTest : public ::testing::Test {
protected:
    void SetUp() override { resetGlobalSettingsForTesting(settingsPath()); }
    void TearDown() override { resetGlobalSettingsForTesting(dir_.file("unused.json")); }
    std::string settingsPath() const { return dir_.file("Harmoniform/settings.json"); }
    std::optional<std::string> stored() const { return platform::SettingsStore(settingsPath()).get("globals"); }
    void storeGlobals(const std::string& text) {
        ASSERT_TRUE(platform::SettingsStore(settingsPath()).set("globals", text));
        resetGlobalSettingsForTesting(settingsPath());
    }
    TempFolder dir_;
};

TEST_F(GlobalPreferencesTest, FirstRunReadsDefaultsAndStoresThemInSchemaOrder) {
    EXPECT_EQ(getGlobalPreference("Solo Mode"), kNoGlobalValues);  // nothing stored, no schema yet
    ASSERT_TRUE(loadGlobalSchemaFromResources());
    for (const Expected& e : kGlobals) EXPECT_EQ(getGlobalPreference(e.name), e.value) << e.name;
    EXPECT_EQ(stored().value_or(""),
              "{\"FFT Update throttle\":1,\"AutoListen Gain\":0,\"AutoListen Q\":0,\"AutoListen Ignores Q\":0,"
              "\"AutoListen Disabled\":0,\"MIDI Disabled\":0,\"Solo Mode\":0,\"A/B Automation\":1,"
              "\"A/B Toggle\":1,\"Clip threshold\":0,\"ProTools Opt/Shift\":0}");
}

TEST_F(GlobalPreferencesTest, SchemaAccessorsFollowResourceOrder) {
    EXPECT_EQ(globalPreferenceCount(), 0);
    ASSERT_TRUE(loadGlobalSchemaFromResources());
    ASSERT_EQ(globalPreferenceCount(), static_cast<int>(std::size(kGlobals)));
    for (int i = 0; i < globalPreferenceCount(); ++i) {
        EXPECT_EQ(globalPreferenceName(i), kGlobals[i].name);
        EXPECT_EQ(globalPreferencePage(i), kGlobals[i].page) << kGlobals[i].name;
        EXPECT_EQ(globalPreferenceValueCount(i), kGlobals[i].labels) << kGlobals[i].name;
    }
    EXPECT_EQ(globalPreferenceName(11), "");
    EXPECT_EQ(globalPreferencePage(-1), -1);
    EXPECT_EQ(globalPreferenceValueCount(99), -1);
}

TEST_F(GlobalPreferencesTest, StoredValuesWinAndMissingOnesReadTheirDefault) {
    storeGlobals("{\"Solo Mode\":1,\"Clip threshold\":1}");  // an older version's store: no "A/B Toggle"
    EXPECT_EQ(getGlobalPreference("Solo Mode"), 1);
    EXPECT_EQ(getGlobalPreference("A/B Toggle"), 0) << "without a schema a missing value reads 0";
    ASSERT_TRUE(loadGlobalSchemaFromResources());
    EXPECT_EQ(getGlobalPreference("A/B Toggle"), 1);
    EXPECT_EQ(getGlobalPreference("CLIP THRESHOLD"), 1);
    EXPECT_EQ(getGlobalPreference("clip threshold"), 1);
    EXPECT_EQ(getGlobalPreference("No Such Preference"), kUnknownGlobalPreference);
    EXPECT_EQ(stored().value_or(""), "{\"Solo Mode\":1,\"Clip threshold\":1}") << "existing values are not rewritten";
}

TEST_F(GlobalPreferencesTest, SetStoresAtOnceAndSurvivesANewProcess) {
    ASSERT_TRUE(loadGlobalSchemaFromResources());
    EXPECT_TRUE(setGlobalPreference("midi disabled", 1));  // existing member, other spelling
    EXPECT_TRUE(setGlobalPreference("Future Option", 3));  // new member
    resetGlobalSettingsForTesting(settingsPath());         // as a new process would start
    EXPECT_EQ(getGlobalPreference("MIDI Disabled"), 1);
    EXPECT_EQ(getGlobalPreference("Future Option"), 3);
    const std::string text = stored().value_or("");
    EXPECT_NE(text.find("\"MIDI Disabled\":1"), std::string::npos) << text;
    EXPECT_EQ(text.find("midi disabled"), std::string::npos) << "a second member was added: " << text;
}

TEST_F(GlobalPreferencesTest, SetWithoutValuesDoesNothing) {
    EXPECT_FALSE(setGlobalPreference("Solo Mode", 1));
    EXPECT_FALSE(stored());
}

// Stored text that is not a usable values object counts as absent: defaults
// apply and are stored again.
TEST_F(GlobalPreferencesTest, UnusableStoredTextFallsBackToDefaults) {
    const std::string texts[] = {"{\"Solo Mode\":", "[1,2]", "7", "x", "{}garbage",
                                 "{\"Solo Mode\":\"" + std::string(kMaxGlobalsTextBytes, 'a') + "\"}"};
    for (const std::string& t : texts) {
        storeGlobals(t);
        loadGlobalSchemaFromResources();
        EXPECT_EQ(getGlobalPreference("A/B Automation"), 1) << t.substr(0, 40);
        EXPECT_NE(stored().value_or("").find("\"A/B Automation\":1"), std::string::npos) << t.substr(0, 40);
    }
}

TEST_F(GlobalPreferencesTest, NonNumberStoredValueReadsTheDefault) {
    storeGlobals("{\"FFT Update throttle\":\"Intensive\"}");
    ASSERT_TRUE(loadGlobalSchemaFromResources());
    EXPECT_EQ(getGlobalPreference("FFT Update throttle"), 1);
    ASSERT_TRUE(setGlobalPreference("FFT Update throttle", 2));
    EXPECT_EQ(getGlobalPreference("FFT Update throttle"), 2);
}

TEST_F(GlobalPreferencesTest, NonJsonSettingsFileGivesDefaultsAndIsKept) {
    ASSERT_TRUE(platform::createFolders(dir_.file("Harmoniform")));
    hm::test::spit(settingsPath(), "\x01\x02 not json");
    resetGlobalSettingsForTesting(settingsPath());
    ASSERT_TRUE(loadGlobalSchemaFromResources());
    EXPECT_EQ(getGlobalPreference("FFT Update throttle"), 1);
    EXPECT_EQ(hm::test::slurp(settingsPath() + ".bad"), "\x01\x02 not json");
    EXPECT_TRUE(stored());
}

TEST_F(GlobalPreferencesTest, UnreadableSettingsFileGivesDefaultsInMemoryOnly) {
    ASSERT_TRUE(platform::createFolders(settingsPath()));  // a folder in the file's place
    resetGlobalSettingsForTesting(settingsPath());
    ASSERT_TRUE(loadGlobalSchemaFromResources());
    EXPECT_EQ(getGlobalPreference("A/B Toggle"), 1);
    EXPECT_FALSE(setGlobalPreference("A/B Toggle", 2)) << "reported stored although nothing was written";
    EXPECT_EQ(getGlobalPreference("A/B Toggle"), 2) << "the value still holds for this process";
}

TEST_F(GlobalPreferencesTest, FirstSchemaWinsAndMemberWithoutDefaultAnswersMinus3) {
    loadGlobalSchema(globalSettings(), "{\"Alpha\":{\"page\":0,\"values\":[\"a\",\"b\"]},\"Beta\":{\"value\":1}}");
    loadGlobalSchema(globalSettings(), "{\"Gamma\":{\"value\":1}}");
    EXPECT_EQ(globalPreferenceCount(), 2);
    EXPECT_EQ(stored().value_or(""), "{\"Alpha\":0,\"Beta\":1}");
    // The created values hold Alpha, so only a member unknown to the values
    // object reaches the schema's missing "value".
    storeGlobals("{}");
    loadGlobalSchema(globalSettings(), "{\"Alpha\":{\"page\":0}}");
    EXPECT_EQ(getGlobalPreference("Alpha"), kGlobalPreferenceWithoutDefault);
    EXPECT_EQ(getGlobalPreference("Gamma"), kUnknownGlobalPreference);
}

TEST_F(GlobalPreferencesTest, SchemaTextThatIsNotAnObjectInstallsNothing) {
    for (const char* text : {"", "[]", "{", "3"}) {
        resetGlobalSettingsForTesting(settingsPath());
        loadGlobalSchema(globalSettings(), text);
        EXPECT_EQ(globalPreferenceCount(), 0) << text;
        EXPECT_EQ(getGlobalPreference("Solo Mode"), kNoGlobalValues) << text;
    }
}

// Several instances on different threads share the store; every change must
// land and the stored text must stay a whole JSON object.
TEST_F(GlobalPreferencesTest, ConcurrentUseKeepsEveryChange) {
    ASSERT_TRUE(loadGlobalSchemaFromResources());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            const std::string name = "Thread " + std::to_string(t);
            for (int i = 0; i < 25; ++i) {
                setGlobalPreference(name, i);
                (void)getGlobalPreference("Solo Mode");
                (void)globalPreferenceName(i % 11);
            }
        });
    }
    for (auto& th : threads) th.join();
    resetGlobalSettingsForTesting(settingsPath());
    for (int t = 0; t < 4; ++t) EXPECT_EQ(getGlobalPreference("Thread " + std::to_string(t)), 24);
}

}  // namespace
}  // namespace hm::prefs
