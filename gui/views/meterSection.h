#pragma once
// meterSection: the layout element that holds the meters. It builds, from the
// layout preferences, the large or small master section against its right
// edge and the channel strips at its left, and rebuilds them from scratch when
// the layout or the channel count changes (peaks start again at 0). The
// editor finds it as its iEditorMeters. UI thread only.
#include <vector>

#include "gui/editor/EditorViews.h"
#include "gui/framework/nPage.h"

namespace hm::gui {

class CControlListener;

class meterSection : public nPage, public iEditorMeters {
public:
    meterSection(const CRect& size, CControlListener* editor);

    // Width the section needs (a width below 1 means no section).
    static int widthFor(int channels, int layoutFlags);

    // iEditorMeters
    void rebuild(int channels, int layoutFlags) override;
    int preferredWidth(int channels, int layoutFlags) const override { return widthFor(channels, layoutFlags); }
    void setMeterFlags(int meterFlags, int scaleOffsetDb) override;

    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool attached(CView* parent) override;
    bool isTypeOf(const char* className) const override;

    int builtChannels() const { return channels_; }
    int builtFlags() const { return flags_; }

protected:
    ~meterSection() override = default;

private:
    void build();

    CControlListener* editor_;
    int channels_ = -1;
    int flags_ = -1;
    int meterFlags_ = 0;
    int scaleOffset_ = 0;
};

void registerMeterSection();

}  // namespace hm::gui
