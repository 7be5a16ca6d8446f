#include <gtest/gtest.h>

#include "platform/AtomicFile.h"
#include "prefs/ChunkCodec.h"
#include "prefs/EditorPreferences.h"
#include "tests/prefs/TempFolder.h"

namespace hm::prefs {
namespace {

JsonPtr json(const std::string& text) {
    JsonPtr j = parseJson(text);
    EXPECT_TRUE(j) << text;
    return j;
}

// Compact print of a document, for exact comparisons.
std::string compact(const cJSON* j) { return printJson(j, false); }

EditorPreferences tree(const std::string& text) { return EditorPreferences(json(text)); }

TEST(EditorPreferences, ResourceDefaultsAndMissingLookups) {
    const EditorPreferences prefs = EditorPreferences::fromResources();
    struct Case {
        const char* page;
        const char* name;
        int value;
    };
    // Documented defaults, plus misses that must read 0.
    const Case cases[] = {
        {"Layout", "UI Size", 2},          {"Layout", "Master Meters", 2}, {"Graph", "Range", 3},
        {"Graph", "Background", 2},        {"BandStrips", "Number", 0},    {"Meters", "Scale", 0},
        {"Analyser", "Display", 2},        {"Misc", "Refresh Rate", 2},    {"Misc", "MIDI Bend Range", 2},
        {"misc", "refresh rate", 2},       {"Graph", "Nope", 0},           {"Nope", "Range", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(prefs.getUIPreference(c.page, c.name), c.value) << c.page << "/" << c.name;
    EXPECT_EQ(EditorPreferences().getUIPreference("Layout", "UI Size"), 0);
    EXPECT_EQ(tree("{\"P\":{\"A\":{\"values\":[\"x\"]}}}").getUIPreference("P", "A"), 0);
}

TEST(EditorPreferences, SetChangesOnlyExistingMembers) {
    EditorPreferences prefs = EditorPreferences::fromResources();
    const std::string before = compact(prefs.tree());
    EXPECT_FALSE(prefs.setUIPreference("Graph", "No Such", 1));
    EXPECT_FALSE(prefs.setUIPreference("No Page", "Range", 1));
    EXPECT_EQ(compact(prefs.tree()), before);
    EXPECT_TRUE(prefs.setUIPreference("graph", "RANGE", 5));
    EXPECT_EQ(prefs.getUIPreference("Graph", "Range"), 5);
    EXPECT_EQ(member(member(member(prefs.tree(), "Graph"), "Range"), "value")->valuedouble, 5.0);
}

TEST(EditorPreferences, AddOpenMembersOnlyWhereMissing) {
    EditorPreferences prefs = tree("{\"A\":{\"x\":{\"value\":1}},\"B\":{\"open\":1}}");
    prefs.addOpenMembers();
    EXPECT_EQ(compact(prefs.tree()), "{\"A\":{\"x\":{\"value\":1},\"open\":0},\"B\":{\"open\":1}}");
}

// Destination and source trees; the expected destination afterwards.
struct MergeCase {
    const char* what;
    const char* destination;
    const char* source;
    const char* expected;
};

TEST(MergePreferences, CopiesOnlyValuesBothSidesKnow) {
    const MergeCase cases[] = {
        {"same layout", R"({"P":{"a":{"value":0},"b":{"value":0}}})", R"({"P":{"a":{"value":1},"b":{"value":2}}})",
         R"({"P":{"a":{"value":1},"b":{"value":2}}})"},
        {"page missing in source", R"({"P":{"a":{"value":0}},"Q":{"a":{"value":0}}})", R"({"Q":{"a":{"value":1}}})",
         R"({"P":{"a":{"value":0}},"Q":{"a":{"value":1}}})"},
        {"extra page and member in source", R"({"P":{"a":{"value":0}}})",
         R"({"P":{"a":{"value":1},"z":{"value":1}},"X":{"a":{"value":1}}})", R"({"P":{"a":{"value":1}}})"},
        {"pages and members reordered", R"({"P":{"a":{"value":0},"b":{"value":0}},"Q":{"c":{"value":0}}})",
         R"({"Q":{"c":{"value":3}},"P":{"b":{"value":2},"a":{"value":1}}})",
         R"({"P":{"a":{"value":1},"b":{"value":2}},"Q":{"c":{"value":3}}})"},
        {"names differ in case", R"({"Page":{"Name":{"value":0}}})", R"({"PAGE":{"name":{"value":4}}})",
         R"({"Page":{"Name":{"value":4}}})"},
        {"open is never copied", R"({"P":{"a":{"value":0},"open":0}})", R"({"P":{"a":{"value":1},"open":1}})",
         R"({"P":{"a":{"value":1},"open":0}})"},
        {"labels are never replaced", R"({"P":{"a":{"value":0,"values":["x","y"]}}})",
         R"({"P":{"a":{"value":1,"values":["q"]}}})", R"({"P":{"a":{"value":1,"values":["x","y"]}}})"},
        {"index beyond the labels is ignored", R"({"P":{"a":{"value":0,"values":["x","y"]}}})",
         R"({"P":{"a":{"value":2}}})", R"({"P":{"a":{"value":0,"values":["x","y"]}}})"},
        {"negative, fractional, text and huge values are ignored",
         R"({"P":{"a":{"value":0},"b":{"value":0},"c":{"value":0},"d":{"value":0}}})",
         R"({"P":{"a":{"value":-1},"b":{"value":1.5},"c":{"value":"1"},"d":{"value":1e300}}})",
         R"({"P":{"a":{"value":0},"b":{"value":0},"c":{"value":0},"d":{"value":0}}})"},
        {"source member without value", R"({"P":{"a":{"value":1}}})", R"({"P":{"a":{}}})", R"({"P":{"a":{"value":1}}})"},
        {"wrong shapes in source", R"({"P":{"a":{"value":1}}})", R"({"P":[1,2]})", R"({"P":{"a":{"value":1}}})"},
        {"source not an object", R"({"P":{"a":{"value":1}}})", R"([{"P":{"a":{"value":0}}}])", R"({"P":{"a":{"value":1}}})"},
    };
    for (const MergeCase& c : cases) {
        JsonPtr dest = json(c.destination);
        JsonPtr source = json(c.source);
        mergePreferences(dest.get(), source.get());
        EXPECT_EQ(compact(dest.get()), compact(json(c.expected).get())) << c.what;
    }
}

TEST(MergePreferences, ExactNameAtSamePositionWinsOverCaseInsensitiveMatch) {
    // Two source members that differ only in case: the one at the destination's
    // position with the exact name is taken.
    JsonPtr dest = json(R"({"P":{"x":{"value":0},"a":{"value":0}}})");
    JsonPtr source = json(R"({"P":{"A":{"value":1},"a":{"value":2}}})");
    mergePreferences(dest.get(), source.get());
    EXPECT_EQ(compact(dest.get()), R"({"P":{"x":{"value":0},"a":{"value":2}}})");
}

// Holds the default bank document in memory.
class FakeBank : public DefaultBankDocument {
public:
    explicit FakeBank(const std::string& text) : text_(text) {}
    JsonPtr load() override {
        ++loads;
        return parseJson(text_);
    }
    bool write(const cJSON& document) override {
        ++writes;
        text_ = printJson(&document, true);
        return true;
    }
    JsonPtr document() const { return parseJson(text_); }
    int loads = 0, writes = 0;

private:
    std::string text_;
};

constexpr const char* kBankWithPrefs =
    R"({"presets":[{"name":"one"}],"uiprefs":{"Layout":{"UI Size":{"value":4}},"Graph":{"Range":{"value":0},"Handles":{"value":2}},"Analyser":{"Decay":{"value":0}}},"routing":{"groups":[1,2]}})";

TEST(DefaultBankCommands, SavePageReplacesOnlyThatPage) {
    FakeBank bank(kBankWithPrefs);
    EditorPreferences prefs = EditorPreferences::fromResources();
    prefs.setUIPreference("Graph", "Range", 5);
    ASSERT_TRUE(prefs.savePageAsDefault(bank, "graph"));
    EXPECT_EQ(bank.writes, 1);

    JsonPtr before = json(kBankWithPrefs);
    JsonPtr after = bank.document();
    // Everything but uiprefs/Graph is as before.
    for (const char* top : {"presets", "routing"}) {
        EXPECT_TRUE(cJSON_Compare(member(before.get(), top), member(after.get(), top), true)) << top;
    }
    for (const char* page : {"Layout", "Analyser"}) {
        EXPECT_TRUE(cJSON_Compare(member(member(before.get(), "uiprefs"), page),
                                  member(member(after.get(), "uiprefs"), page), true))
            << page;
    }
    EXPECT_TRUE(cJSON_Compare(member(member(after.get(), "uiprefs"), "Graph"), member(prefs.tree(), "Graph"), true));
    EXPECT_EQ(cJSON_GetArraySize(member(after.get(), "uiprefs")), 3);
}

TEST(DefaultBankCommands, SaveAllReplacesUiprefsAndKeepsTheRest) {
    FakeBank bank(kBankWithPrefs);
    const EditorPreferences prefs = EditorPreferences::fromResources();
    ASSERT_TRUE(prefs.saveAllAsDefault(bank));
    JsonPtr after = bank.document();
    EXPECT_TRUE(cJSON_Compare(member(after.get(), "uiprefs"), prefs.tree(), true));
    EXPECT_TRUE(cJSON_Compare(member(after.get(), "presets"), member(json(kBankWithPrefs).get(), "presets"), true));
}

TEST(DefaultBankCommands, RestoreAllLeavesPagesTheFileLacksUnchanged) {
    FakeBank bank(kBankWithPrefs);
    EditorPreferences prefs = EditorPreferences::fromResources();
    prefs.setUIPreference("Meters", "Scale", 3);  // "Meters" is not in the file
    ASSERT_TRUE(prefs.restoreAllDefaults(bank));
    EXPECT_EQ(prefs.getUIPreference("Layout", "UI Size"), 4);
    EXPECT_EQ(prefs.getUIPreference("Graph", "Handles"), 2);
    EXPECT_EQ(prefs.getUIPreference("Analyser", "Decay"), 0);
    EXPECT_EQ(prefs.getUIPreference("Meters", "Scale"), 3);
    EXPECT_EQ(bank.writes, 0);
}

TEST(DefaultBankCommands, RestorePageTouchesOnlyThatPage) {
    FakeBank bank(kBankWithPrefs);
    EditorPreferences prefs = EditorPreferences::fromResources();
    ASSERT_TRUE(prefs.restorePageDefault(bank, "Graph"));
    EXPECT_EQ(prefs.getUIPreference("Graph", "Range"), 0);
    EXPECT_EQ(prefs.getUIPreference("Layout", "UI Size"), 2);
    EXPECT_FALSE(prefs.restorePageDefault(bank, "Meters")) << "file has no such page";
    EXPECT_FALSE(prefs.restorePageDefault(bank, "Nonexistent"));
}

TEST(DefaultBankCommands, DoNothingWithoutUsableDocument) {
    const char* docs[] = {"", "not json", "[1]", R"({"presets":[]})"};
    for (const char* text : docs) {
        FakeBank bank(text);
        EditorPreferences prefs = EditorPreferences::fromResources();
        const std::string before = compact(prefs.tree());
        EXPECT_FALSE(prefs.savePageAsDefault(bank, "Graph")) << text;
        EXPECT_FALSE(prefs.restoreAllDefaults(bank)) << text;
        EXPECT_FALSE(prefs.restorePageDefault(bank, "Graph")) << text;
        EXPECT_EQ(compact(prefs.tree()), before) << text;
        EXPECT_EQ(bank.writes, 0) << text;
    }
    // Saving all needs only a document object.
    FakeBank empty(R"({"presets":[]})");
    EXPECT_TRUE(EditorPreferences::fromResources().saveAllAsDefault(empty));
    FakeBank array("[1]");
    EXPECT_FALSE(EditorPreferences::fromResources().saveAllAsDefault(array));
}

TEST(DefaultBankFile, CreatesMissingFileFromCurrentStateThenRewritesAsText) {
    hm::test::TempFolder dir;
    const std::string path = dir.file("Corvanta/Harmoniform/Default Bank.hmp");
    int chunkCalls = 0;
    DefaultBankFile bank(path, [&] {
        ++chunkCalls;
        return state::encodeChunk(kBankWithPrefs);
    });
    EditorPreferences prefs = EditorPreferences::fromResources();
    ASSERT_TRUE(prefs.restoreAllDefaults(bank));
    EXPECT_EQ(chunkCalls, 1);
    EXPECT_EQ(prefs.getUIPreference("Layout", "UI Size"), 4);
    EXPECT_EQ(hm::test::slurp(path).substr(0, 4), "ZIP ");

    ASSERT_TRUE(prefs.savePageAsDefault(bank, "Layout"));
    EXPECT_EQ(chunkCalls, 1) << "an existing file must not be recreated";
    const std::string text = hm::test::slurp(path);
    EXPECT_EQ(text.front(), '{') << "saved defaults are plain formatted text";
    EXPECT_NE(text.find("\n\t"), std::string::npos);
    JsonPtr doc = json(text);
    EXPECT_EQ(compact(member(doc.get(), "presets")), R"([{"name":"one"}])");
}

TEST(DefaultBankFile, UnreadableOrDamagedFileChangesNothing) {
    hm::test::TempFolder dir;
    const std::string damaged = dir.file("Default Bank.hmp");
    hm::test::spit(damaged, std::string("ZIP \x78\xda\x01\x02", 8));
    DefaultBankFile bank(damaged, [] { return state::encodeChunk("{}"); });
    EXPECT_FALSE(bank.load());
    EXPECT_FALSE(EditorPreferences::fromResources().saveAllAsDefault(bank));
    EXPECT_EQ(hm::test::slurp(damaged), std::string("ZIP \x78\xda\x01\x02", 8));

    // A file in place of the folder: the bank can be neither created nor read.
    hm::test::spit(dir.file("blocker"), "x");
    DefaultBankFile blocked(dir.file("blocker/Default Bank.hmp"), [] { return state::encodeChunk("{}"); });
    EXPECT_FALSE(blocked.load());
    EXPECT_FALSE(blocked.saveCurrentState());
}

TEST(DefaultBankFile, SaveCurrentStateReplacesTheFile) {
    hm::test::TempFolder dir;
    const std::string path = dir.file("Default Bank.hmp");
    hm::test::spit(path, "{\"old\":1}");
    DefaultBankFile bank(path, [] { return state::encodeChunk("{\"new\":2}"); });
    ASSERT_TRUE(bank.saveCurrentState());
    JsonPtr doc = bank.load();
    EXPECT_EQ(compact(doc.get()), "{\"new\":2}");
}

}  // namespace
}  // namespace hm::prefs

namespace hm::prefs {
namespace {

// An existing bank that cannot be read may hold the user's defaults: it must
// not be replaced by the current state.
TEST(DefaultBankFile, ExistingUnreadableBankIsNeverReplaced) {
    hm::test::TempFolder dir;
    const std::string path = dir.file("Default Bank.hmp");
    ASSERT_TRUE(platform::createFolders(path));  // a folder where the file should be
    int chunkCalls = 0;
    DefaultBankFile bank(path, [&] {
        ++chunkCalls;
        return state::encodeChunk("{}");
    });
    EditorPreferences prefs = EditorPreferences::fromResources();
    EXPECT_FALSE(prefs.restoreAllDefaults(bank));
    EXPECT_FALSE(prefs.saveAllAsDefault(bank));
    EXPECT_EQ(chunkCalls, 0);
    EXPECT_EQ(platform::readWholeFile(path, 10).status, platform::ReadStatus::Unreadable);
}

}  // namespace
}  // namespace hm::prefs

namespace hm::prefs {
namespace {

// Hostile nesting must be refused by the parser, not recursed into.
TEST(EditorPreferences, DeeplyNestedDocumentsAreRefusedWithoutHarm) {
    const std::string arrays = std::string(200000, '[') + std::string(200000, ']');
    std::string objects;
    for (int i = 0; i < 5000; ++i) objects += "{\"Graph\":";
    objects += "1" + std::string(5000, '}');
    for (const std::string* text : {&arrays, static_cast<const std::string*>(&objects)}) {
        EditorPreferences prefs = EditorPreferences::fromResources();
        EXPECT_FALSE(prefs.loadSchema(*text));
        EXPECT_EQ(prefs.getUIPreference("Layout", "UI Size"), 2);
        JsonPtr parsed = parseJson(*text);
        prefs.merge(parsed.get());
        EXPECT_EQ(prefs.getUIPreference("Layout", "UI Size"), 2);
    }
}

}  // namespace
}  // namespace hm::prefs
