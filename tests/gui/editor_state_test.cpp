// The editor's state inside the instance's state: settings and preferences
// through getChunk/setChunk, analyser sources by instance name.
#include "core/InstanceRegistry.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/RegisterViews.h"
#include "tests/gui/editor_Rig.h"

namespace hm::gui::test {
namespace {

// Stands in for the frequency-response graph: records what the editor tells it.
class RecordingGraph : public CView, public iEditorGraph {
public:
    explicit RecordingGraph(const CRect& r) : CView(r) {}
    void setPrimaryView(int v) override { primary = v; }
    void setSecondaryView(int v) override { secondary = v; }
    int primaryView() const override { return primary; }
    int secondaryView() const override { return secondary; }
    void setSelection(std::uint64_t bands) override { selection = bands; }
    void setAnalyserOn(bool on) override { analyserOn = on; }
    void setAnalyserDecay(double d) override { decay = d; }
    void setRange(int r) override { range = r; }
    void setGraphFlags(std::uint32_t f1, std::uint32_t f2) override { flags1 = f1, flags2 = f2; }
    void setMetersBeside(bool b) override { metersBeside = b; }
    void setAnalyserSources(const AnalyserSources& s) override { sources = s; }
    AnalyserSources analyserSources() const override { return sources; }
    void recompute() override { ++recomputes; }
    void refreshGroups() override {}
    void instancesChanged() override { ++instanceChanges; }
    int tagUnderPoint(const CPoint&) override { return -1; }

    int primary = 0, secondary = 1, range = -1, recomputes = 0, instanceChanges = 0;
    std::uint64_t selection = 0;
    std::uint32_t flags1 = 0, flags2 = 0;
    bool analyserOn = false, metersBeside = false;
    double decay = -1.0;
    AnalyserSources sources;
};

// Puts the recording graph in the registry for one test and the real maker back afterwards.
class UseRecordingGraph {
public:
    UseRecordingGraph() {
        registerEditorViews();  // first, so that this registration is the one that counts
        previous_ = findViewClass("EQGraph");
        registerViewClass("EQGraph", [](const ViewRequest& r) -> CView* { return new RecordingGraph(r.rect); });
    }
    ~UseRecordingGraph() { registerViewClass("EQGraph", previous_); }

private:
    ViewMaker previous_ = nullptr;
};

RecordingGraph* graphOf(EditorRig& rig) { return rig.editor->findView<RecordingGraph>(); }

int positionOf(const Plug* plug) {
    int position = 0, found = -1;
    forEachInstance([&](Plug& p) {
        if (&p == plug) found = position;
        ++position;
    });
    return found;
}

std::vector<unsigned char> bankChunk(Plug& plug) {
    void* data = nullptr;
    const vst::VstInt32 size = plug.getChunk(&data, false);
    const auto* bytes = static_cast<const unsigned char*>(data);
    return std::vector<unsigned char>(bytes, bytes + size);
}

TEST(EditorState, SettingsAndPreferencesTravelThroughTheChunk) {
    UseRecordingGraph recording;
    EditorRig other;
    other.plug->setInstanceName("Drums");
    std::vector<unsigned char> chunk;
    {
        EditorRig source;
        RecordingGraph* graph = graphOf(source);
        ASSERT_NE(graph, nullptr);
        source.change(kGUIAnalyser, 1.f);
        source.change(kGUIMeterPrePost, 1.f);
        graph->sources = {3, 1, 0, positionOf(other.plug.get()), positionOf(source.plug.get())};
        source.change(kGUIAnalyserUpdated, 1.f);
        source.plug->editorPreferenceTree().setUIPreference("Graph", "Range", 1);
        source.change(kGUIABMenu, 4.f);
        source.change(kGUIABMenu, 6.f);
        chunk = bankChunk(*source.plug);
    }

    EditorRig target;
    target.plug->setChunk(chunk.data(), static_cast<vst::VstInt32>(chunk.size()), false);
    target.editor->forceIdlePass();
    RecordingGraph* graph = graphOf(target);
    ASSERT_NE(graph, nullptr);
    EXPECT_TRUE(graph->analyserOn);
    EXPECT_EQ(target.editor->shownValue(kGUIAnalyser), 1.f);
    EXPECT_EQ(target.editor->shownValue(kGUIMeterPrePost), 1.f);
    EXPECT_EQ(graph->range, 1);
    EXPECT_EQ(graph->sources.type, 3);
    EXPECT_EQ(graph->sources.channel1, 1);
    EXPECT_EQ(graph->sources.instance1, positionOf(other.plug.get()));  // by name: "Drums"
    EXPECT_EQ(graph->sources.instance2, positionOf(target.plug.get()));  // the source itself
    EXPECT_EQ(target.plug->getCurrentABSlot(), 6);
    EXPECT_EQ(target.editor->shownValue(kGUIABMenu), 6.f);
    EXPECT_EQ(target.plug->sessionState().lastAB, 4);
}

TEST(EditorState, AnalyserSourceOfAnInstanceThatIsGoneStaysHere) {
    UseRecordingGraph recording;
    std::vector<unsigned char> chunk;
    {
        auto other = std::make_unique<EditorRig>();
        other->plug->setInstanceName("Bass");
        EditorRig source;
        graphOf(source)->sources = {0, 0, 1, positionOf(other->plug.get()), positionOf(other->plug.get())};
        source.change(kGUIAnalyserUpdated, 1.f);
        EXPECT_EQ(source.plug->sessionState().analyserSourceInst1, "Bass");
        chunk = bankChunk(*source.plug);
    }
    EditorRig target;
    target.plug->setChunk(chunk.data(), static_cast<vst::VstInt32>(chunk.size()), false);
    target.editor->forceIdlePass();
    EXPECT_EQ(target.plug->sessionState().analyserSourceInst1, "");
    EXPECT_EQ(graphOf(target)->sources.instance1, positionOf(target.plug.get()));
}

TEST(EditorState, PresetBringsEditorStateOnlyWithTheUiOption) {
    UseRecordingGraph recording;
    EditorRig rig;
    rig.plug->editorPreferenceTree().setUIPreference("Graph", "Range", 5);
    void* data = nullptr;
    const vst::VstInt32 size = rig.plug->getChunk(&data, true);
    const std::vector<unsigned char> preset(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    rig.plug->editorPreferenceTree().setUIPreference("Graph", "Range", 2);

    rig.change(kGUIPresetUI, 0.f);  // the preset-load option "UI" off
    rig.plug->setChunk(const_cast<unsigned char*>(preset.data()), size, true);
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.plug->editorPreferenceTree().getUIPreference("Graph", "Range"), 2);

    rig.change(kGUIPresetUI, 1.f);
    rig.plug->setChunk(const_cast<unsigned char*>(preset.data()), size, true);
    rig.editor->forceIdlePass();
    EXPECT_EQ(rig.plug->editorPreferenceTree().getUIPreference("Graph", "Range"), 5);
    EXPECT_EQ(graphOf(rig)->range, 5);
}

TEST(EditorState, PreferencesReachTheGraph) {
    UseRecordingGraph recording;
    EditorRig rig;
    prefs::EditorPreferences& p = rig.plug->editorPreferenceTree();
    p.setUIPreference("Graph", "Display", 2);        // bits 1-2 of the first word
    p.setUIPreference("Graph", "Band Colours", 1);   // bit 4 of the second word
    p.setUIPreference("Analyser", "Decay", 3);       // "Slow"
    rig.change(kGUIUIPrefsChange, 1.f);
    RecordingGraph* graph = graphOf(rig);
    EXPECT_EQ((graph->flags1 >> 1) & 3u, 2u);
    EXPECT_EQ((graph->flags2 >> 4) & 1u, 1u);
    EXPECT_DOUBLE_EQ(graph->decay, 0.999);
}

TEST(EditorState, StereoModeMenuSetsTheGraphViews) {
    UseRecordingGraph recording;
    EditorRig rig;
    RecordingGraph* graph = graphOf(rig);
    rig.change(kGUIStereoMode, 2.f);
    EXPECT_EQ(graph->primary, 0);
    EXPECT_EQ(graph->secondary, 255);
    rig.change(kGUIStereoMode, 3.f);
    EXPECT_EQ(graph->primary, -1);
    EXPECT_EQ(graph->secondary, 1);
}

}  // namespace
}  // namespace hm::gui::test
