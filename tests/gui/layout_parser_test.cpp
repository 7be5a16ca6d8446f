// The layout tokenizer and the attribute readers: the unquoted-value pairing,
// case-insensitive names, character references, skipped markup, errors that
// keep what was built, menu items and tag names.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "gui/draw/BitmapCache.h"
#include "gui/layout/Attributes.h"
#include "gui/layout/LayoutParser.h"
#include "gui/layout/TagNames.h"

namespace hm::gui {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// The first element inside a <ui> root.
std::unique_ptr<LayoutElement> parseOne(const std::string& element) {
    return parseLayout("<ui>" + element + "</ui>");
}

TEST(LayoutTokenizer, UnquotedValuesBecomeAttributesOfTheirOwn) {
    auto root = parseOne(R"(<nTextDisplayC x=0 y=9 width=56 height=20 text="SHIFT" />)");
    ASSERT_NE(root, nullptr);
    const LayoutElement* e = root->firstChild.get();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->name, "nTextDisplayC");
    const Pairs expected = {{"x", ""},     {"0", ""},  {"y", ""},      {"9", ""},     {"width", ""},
                            {"56", ""},    {"height", ""}, {"20", ""}, {"text", "SHIFT"}};
    EXPECT_EQ(e->attributes, expected);
}

TEST(LayoutAttributes, LookupPairsUnquotedValuesAndNeverFindsThemAsNames) {
    struct Case {
        const char* element;
        const char* name;
        const char* expected;  // null: absent
    };
    const Case cases[] = {
        {R"(<a x=0 y=25 width=760 />)", "x", "0"},
        {R"(<a x=0 y=25 width=760 />)", "y", "25"},
        {R"(<a x=0 y=25 width=760 />)", "WIDTH", "760"},
        {R"(<a x=0 y=25 width=760 />)", "25", nullptr},
        {R"(<a txt="Parallel Mode:" x=3 />)", "txt", "Parallel Mode:"},
        {R"(<a txt="Parallel Mode:" x=3 />)", "x", "3"},
        // A value spelled like an attribute name is not found as that name.
        {R"(<a foo=x y=2 />)", "x", nullptr},
        {R"(<a foo=x x=5 />)", "x", "5"},
        {R"(<a foo=x x=5 />)", "foo", "x"},
        // A valueless attribute takes the next unquoted attribute's name, and the pairing shifts.
        {R"(<a clickthru x=5 y=6 />)", "clickthru", "x"},
        {R"(<a clickthru x=5 y=6 />)", "x", nullptr},
        {R"(<a clickthru x=5 y=6 />)", "y", nullptr},
        // Before a quoted attribute it reads as empty.
        {R"(<a flag text="hi" />)", "flag", ""},
        {R"(<a flag text="hi" />)", "text", "hi"},
        // Names compare without regard to case.
        {R"(<a heightOfOneImage=40 />)", "heightofoneimage", "40"},
        {R"(<a heightofoneimage=40 />)", "heightOfOneImage", "40"},
        // White space around "=" and single quotes.
        {R"(<a  t =  'it is' u= 7/>)", "t", "it is"},
        {R"(<a  t =  'it is' u= 7/>)", "u", "7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.element) + " " + c.name);
        auto root = parseOne(c.element);
        ASSERT_NE(root, nullptr);
        ASSERT_NE(root->firstChild, nullptr);
        const auto found = findAttribute(*root->firstChild, c.name);
        if (!c.expected) {
            EXPECT_FALSE(found.has_value());
        } else {
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(*found, c.expected);
        }
    }
}

TEST(LayoutAttributes, ReadersConvertAsTheNotationSays) {
    auto root = parseOne(
        R"(<a n="12abc" bad="abc" neg=-116 h=ff hx="0x1A" t="TRUE" f="False" two=2 zero=0 word="yes" bg=211 none=0 />)");
    const LayoutElement& e = *root->firstChild;
    EXPECT_EQ(attributeInt(e, "n"), 12);
    EXPECT_EQ(attributeInt(e, "bad"), 0);
    EXPECT_EQ(attributeInt(e, "neg"), -116);
    EXPECT_EQ(attributeInt(e, "absent"), 0);
    EXPECT_EQ(attributeHex(e, "h"), 0xFFu);
    EXPECT_EQ(attributeHex(e, "hx"), 0x1Au);
    EXPECT_EQ(attributeHex(e, "absent"), 0u);
    EXPECT_TRUE(attributeBool(e, "t"));
    EXPECT_FALSE(attributeBool(e, "f"));
    EXPECT_TRUE(attributeBool(e, "two"));
    EXPECT_FALSE(attributeBool(e, "zero"));
    EXPECT_FALSE(attributeBool(e, "word"));
    EXPECT_FALSE(attributeBool(e, "absent"));
    EXPECT_EQ(attributeString(e, "absent"), "");
    EXPECT_NE(attributeBitmap(e, "bg"), nullptr);
    EXPECT_EQ(attributeBitmap(e, "none"), nullptr);
    EXPECT_EQ(attributeBitmap(e, "absent"), nullptr);
    clearSkinBitmaps();
}

TEST(LayoutTokenizer, DecodesCharacterReferencesInQuotedValues) {
    auto root = parseOne(R"(<a t="a &amp; b &lt;c&gt; &quot;q&quot; &apos;s&apos; &#65;&#x42;&#xe9; &foo; &#0; &#x110000; &" />)");
    EXPECT_EQ(attributeString(*root->firstChild, "t"), "a & b <c> \"q\" 's' AB\xC3\xA9 &foo; &#0; &#x110000; &");
}

TEST(LayoutTokenizer, SkipsDeclarationsCommentsCdataAndText) {
    const char* text = R"(<?xml version="1.0"?>
<!DOCTYPE ui [ <!ELEMENT ui ANY> ]>
<!-- before -->
<ui>some text<![CDATA[<b/> ]]><a x=1 /><!-- <c/> -->tail<d></d></ui>
<!-- after -->)";
    const LayoutParseResult r = parseLayoutText(text);
    EXPECT_EQ(r.error, "");
    ASSERT_NE(r.root, nullptr);
    EXPECT_EQ(r.root->name, "ui");
    ASSERT_NE(r.root->firstChild, nullptr);
    EXPECT_EQ(r.root->firstChild->name, "a");
    ASSERT_NE(r.root->firstChild->next, nullptr);
    EXPECT_EQ(r.root->firstChild->next->name, "d");
    EXPECT_EQ(r.root->firstChild->next->next, nullptr);
}

// Names of the root's children and grandchildren, in order ("a(b c) d").
std::string shape(const LayoutElement* e) {
    std::string s;
    for (; e; e = e->next.get()) {
        if (!s.empty()) s += ' ';
        s += e->name;
        if (e->firstChild) {
            s += '(';
            s.append(shape(e->firstChild.get()));
            s += ')';
        }
    }
    return s;
}

TEST(LayoutTokenizer, ErrorsStopTheParseAndKeepWhatWasBuilt) {
    struct Case {
        const char* text;
        const char* built;    // shape of the root and below, "" for no root
        const char* error;    // start of the message
    };
    const Case cases[] = {
        {"<ui><a x=1/><b x=2 ", "ui(a)", "missing >"},
        {"<ui><a x=1/><b x=2 / c=3></ui>", "ui(a)", "missing >"},
        {"<ui><a><b/></c></ui>", "ui(a(b))", "end tag </c>"},
        {R"(<ui><a/><b t="open /></ui>)", "ui(a)", "missing closing quote"},
        {"<ui><a><b/>", "ui(a(b))", "unclosed tag"},
        {"<ui/><x/>", "ui", "element outside the root"},
        {"<ui>< a/></ui>", "ui", "bad element name"},
        {"<ui><1a/></ui>", "ui", "bad element name"},
        {"<ui><!-- open </ui>", "ui", "unterminated comment"},
        {"", "", "no root element"},
        {"just text", "", "no root element"},
        {"</ui>", "", "end tag"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const LayoutParseResult r = parseLayoutText(c.text);
        EXPECT_EQ(r.error.rfind(c.error, 0), 0u) << r.error;
        EXPECT_EQ(r.root ? shape(r.root.get()) : std::string(), c.built);
    }
}

TEST(LayoutTokenizer, TheTextEndsAtAZeroByte) {
    const std::string text("<ui><a/>\0<b/></ui>", 18);
    const LayoutParseResult r = parseLayoutText(text);
    EXPECT_EQ(r.error.rfind("unclosed tag", 0), 0u);
    EXPECT_EQ(shape(r.root.get()), "ui(a)");
}

TEST(LayoutTokenizer, DeepNestingIsRefusedAndLongListsFreeWithoutRecursion) {
    std::string deep = "<ui>";
    for (int i = 0; i < 5000; ++i) deep += "<a>";
    const LayoutParseResult r = parseLayoutText(deep);
    EXPECT_EQ(r.error, "elements nested too deeply");
    ASSERT_NE(r.root, nullptr);

    std::string wide = "<ui>";
    for (int i = 0; i < 200000; ++i) wide += "<a/>";
    wide += "</ui>";
    auto root = parseLayout(wide);
    ASSERT_NE(root, nullptr);
    int count = 0;
    for (const LayoutElement* e = root->firstChild.get(); e; e = e->next.get()) ++count;
    EXPECT_EQ(count, 200000);
    root.reset();  // must not overflow the stack
}

TEST(LayoutMenuItems, BackslashNSeparatesItemsAndAnEmptyLastPieceCounts) {
    using Items = std::vector<std::string>;
    EXPECT_EQ(splitMenuItems(R"(x1\nx2\nx4\nx8)"), (Items{"x1", "x2", "x4", "x8"}));
    EXPECT_EQ(splitMenuItems(R"(A\nB\n)"), (Items{"A", "B", ""}));
    EXPECT_EQ(splitMenuItems(""), (Items{""}));
    EXPECT_EQ(splitMenuItems(R"(\n)"), (Items{"", ""}));
    EXPECT_EQ(splitMenuItems("one\ntwo"), (Items{"one\ntwo"}));  // a real line break is not a separator
    EXPECT_EQ(splitMenuItems(R"(a\b)"), (Items{R"(a\b)"}));
}

TEST(LayoutTagNames, ResolveThroughTheParameterEnumeration) {
    const std::pair<const char*, int> cases[] = {
        {"kBypass", 0},          {"kBand1State", 46},      {"kBand32Phase", 365},
        {"kGUIEQGraph", 500},    {"kGUIChannel8Meter", 576}, {"kGUISelectedBand", 700},
        {"kbypass", -1},         {"kNoSuchTag", -1},       {"", -1},
        {" kBypass", -1},
    };
    for (const auto& [name, value] : cases) EXPECT_EQ(resolveTagName(name), value) << name;
}

}  // namespace
}  // namespace hm::gui
