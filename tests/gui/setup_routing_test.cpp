// The routing matrix: cells flip single mask bits, the M/S column goes through
// kMsState, names typed over a group reach the instance and the editor, and a
// stereo instance gets no grid.
#include <gtest/gtest.h>

#include "core/params/ParamIds.h"
#include "gui/controls/CParamDisplay.h"
#include "gui/views/RoutingMatrix.h"
#include "tests/gui/editor_Rig.h"
#include "tests/gui/setup_Harness.h"

namespace hm::gui::test {
namespace {

CPoint centre(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

struct MatrixRig : InstanceRig {
    RoutingMatrix* matrix = nullptr;
    explicit MatrixRig(int channels) : InstanceRig(channels, 600, 400) {
        matrix = new RoutingMatrix(CRect::fromSize(40, 30, 418, 300), &editor, kGUIRoutingMatrix);
        h.frame->addView(matrix);
    }
    void click(int column, int row) {
        const CPoint p = centre(matrix->cellRect(column, row));
        h.click(p.x, p.y);
    }
};

TEST(RoutingMatrixView, AGroupCellFlipsExactlyOneMaskBit) {
    MatrixRig rig(8);
    ASSERT_TRUE(rig.matrix->active());
    EXPECT_FLOAT_EQ(rig.matrix->cellWidth(), 418.f / 10.f);
    EXPECT_FLOAT_EQ(rig.matrix->cellHeight(), 299.f / 9.f);
    unsigned char before[8];
    for (int g = 0; g < 8; ++g) before[g] = rig.plug->channelGroupMask(g);
    struct Case {
        int group, channel;
    };
    for (const Case c : {Case{2, 5}, Case{0, 0}, Case{7, 3}, Case{2, 5}}) {
        const unsigned char was = rig.plug->channelGroupMask(c.group);
        rig.click(c.group + 1, c.channel + 1);
        EXPECT_EQ(rig.plug->channelGroupMask(c.group), static_cast<unsigned char>(was ^ (1u << c.channel)));
    }
    EXPECT_EQ(rig.editor.count(kGUIRoutingMatrix), 4);
    for (int g : {1, 3, 4, 5, 6}) EXPECT_EQ(rig.plug->channelGroupMask(g), before[g]) << g;
    // The grid shows the routed cells in red.
    rig.h.frame->updateDirty();
    const CPoint routed = centre(rig.matrix->cellRect(1 + 7, 1 + 3));
    const CPoint empty = centre(rig.matrix->cellRect(1 + 6, 1 + 3));
    EXPECT_GT(rgbRed(rig.h.pixel(routed.x, routed.y)), 100);
    EXPECT_LT(rgbRed(rig.h.pixel(empty.x, empty.y)), 60);
}

TEST(RoutingMatrixView, TwoChannelsGetNoGrid) {
    MatrixRig rig(2);
    EXPECT_FALSE(rig.matrix->active());
    rig.h.frame->updateDirty();
    const unsigned char mask = rig.plug->channelGroupMask(0);
    rig.h.click(40 + 418 / 2, 30 + 150);
    rig.h.click(40 + 60, 30 + 10);
    EXPECT_TRUE(rig.editor.reports.empty());
    EXPECT_EQ(rig.plug->channelGroupMask(0), mask);
    for (int x = 40; x < 458; x += 23) EXPECT_EQ(rig.h.pixel(x, 30 + 150), 0u) << x;
}

// Through the real editor: the layout's matrix of an eight-channel instance.
struct EditorMatrix {
    EditorRig rig{8};
    RoutingMatrix* matrix = nullptr;
    EditorMatrix() {
        rig.change(kGUISetup, 1.f);
        rig.change(kGUISetupPage, 2.f);
        rig.editor->forceIdlePass();
        matrix = rig.editor->findView<RoutingMatrix>();
    }
    void click(int column, int row) {
        const CRect r = matrix->cellRect(column, row);
        const CPoint frameTopLeft = matrix->getFrameRect().topLeft();
        const CPoint p(frameTopLeft.x + (r.right - r.left) / 2 + (r.left - matrix->getViewSize().left),
                       frameTopLeft.y + (r.bottom - r.top) / 2 + (r.top - matrix->getViewSize().top));
        rig.window()->press(p.x, p.y, kLButton);
        rig.window()->release(p.x, p.y, kLButton);
    }
};

TEST(RoutingMatrixView, TheMidSideCellOfRowThreeTogglesTheSecondPair) {
    EditorMatrix e;
    ASSERT_NE(e.matrix, nullptr);
    ASSERT_TRUE(e.matrix->isVisibleInTree());
    const int before = static_cast<int>(e.rig.plug->getParameterReal(kMsState));
    e.click(8 + 1, 3);  // "M/S" column, the third channel's row
    EXPECT_EQ(static_cast<int>(e.rig.plug->getParameterReal(kMsState)), before ^ 0b0100);
    e.click(8 + 1, 4);  // the fourth channel: the same pair
    EXPECT_EQ(static_cast<int>(e.rig.plug->getParameterReal(kMsState)), before);
    e.click(8 + 1, 8);  // the last pair
    EXPECT_EQ(static_cast<int>(e.rig.plug->getParameterReal(kMsState)), before ^ 0b0001);
    // The host heard each as automation.
    EXPECT_GE(e.rig.countCalls(vst::audioMasterAutomate, kMsState), 3);
}

TEST(RoutingMatrixView, ARenamedGroupReachesTheInstanceAndTheEditor) {
    EditorMatrix e;
    ASSERT_NE(e.matrix, nullptr);
    const long announced = e.rig.editor->distributedCount(kGUIGroupNamesChanged);
    e.click(1 + 3, 0);
    ASSERT_TRUE(e.matrix->nameEditor()->isEditing());
    EXPECT_EQ(e.matrix->editedGroup(), 3);
    for (int i = 0; i < 8; ++i) e.rig.window()->key({platform::Key::kBackspace, 0, 0});
    e.rig.window()->typeText("Rears");
    e.rig.window()->key({platform::Key::kReturn, 0, 0});
    EXPECT_FALSE(e.matrix->nameEditor()->isEditing());
    EXPECT_EQ(e.rig.plug->groupName(3), "Rears");
    e.rig.editor->forceIdlePass();
    EXPECT_GT(e.rig.editor->distributedCount(kGUIGroupNamesChanged), announced);
    // A click elsewhere ends an edit too, keeping what was typed; groups past
    // the channel count cannot be named.
    e.click(1 + 0, 0);
    e.rig.window()->typeText("X");
    e.click(1 + 5, 2);
    EXPECT_EQ(e.rig.plug->groupName(0).back(), 'X');
    e.rig.plug->setGroupName(9, "nowhere");
    EXPECT_EQ(e.rig.plug->groupName(1), "2");
}

}  // namespace
}  // namespace hm::gui::test
