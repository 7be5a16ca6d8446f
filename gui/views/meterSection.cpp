#include "gui/views/meterSection.h"

#include <cstring>
#include <string>

#include "core/Plug.h"
#include "gui/editor/GraphFlags.h"
#include "gui/editor/WindowSize.h"
#include "gui/layout/ViewFactory.h"
#include "gui/views/InstanceOf.h"
#include "gui/views/MeterContainers.h"
#include "gui/views/nVU.h"

namespace hm::gui {

meterSection::meterSection(const CRect& rect, CControlListener* editor) : nPage(rect, kGUIMeterSection, 0), editor_(editor) {}

bool meterSection::isTypeOf(const char* className) const {
    return std::strcmp(className, "meterSection") == 0 || nPage::isTypeOf(className);
}

int meterSection::widthFor(int channels, int flags) {
    const bool strips = (flags & kLayoutChannelMeters) != 0;
    const bool master = (flags & kLayoutMasterMeters) != 0;
    const bool small = (flags & kLayoutMasterMetersSmall) != 0;
    const int masterWidth = !master ? 0 : (small ? 66 : 130);
    if (!strips && !master) return -3;
    return (strips ? 66 * channels : 0) + masterWidth;
}

bool meterSection::attached(CView* parent) {
    nPage::attached(parent);
    // Built with the instance's channels and preferences until the editor says otherwise.
    if (channels_ < 0) {
        Plug* plug = instanceOf(editor_);
        const int channels = plug ? plug->channelCount() : 2;
        const int flags = plug ? layoutFlagsFrom(plug->editorPreferenceTree())
                               : (kLayoutChannelMeters | kLayoutMasterMeters);
        if (plug) {
            meterFlags_ = packMeterFlags(plug->editorPreferenceTree());
            scaleOffset_ = meterScaleOffsetDb(meterFlags_ & 3);
        }
        rebuild(channels, flags);
    }
    return true;
}

void meterSection::rebuild(int channels, int layoutFlags) {
    channels_ = channels < 1 ? 1 : (channels > kMaxChannels ? kMaxChannels : channels);
    flags_ = layoutFlags;
    build();
}

void meterSection::setViewSize(const CRect& rect, bool invalidate) {
    nPage::setViewSize(rect, invalidate);
    // The containers move and stretch with the section; their controls stay
    // (the editor holds them), only a rebuild makes new ones.
    for (CView* v : children()) {
        const CRect r = v->getViewSize();
        const int W = getWidth(), H = getHeight();
        if (dynamic_cast<groupMeters*>(v)) v->setViewSize(CRect(0, 3, r.width(), H - 3));
        else if (dynamic_cast<masterMeters*>(v)) v->setViewSize(CRect(W - r.width(), 0, W, H));
        else v->setViewSize(CRect(W - r.width(), 3, W, H - 3));
        v->setMouseableArea(v->getViewSize());
    }
}

void meterSection::build() {
    removeAll();
    const int W = getWidth(), H = getHeight();
    if (flags_ & kLayoutMasterMeters) {
        if (flags_ & kLayoutMasterMetersSmall)
            addView(new miniMasterMeters(CRect(W - miniMasterMeters::kWidth, 3, W, H - 3), editor_));
        else
            addView(new masterMeters(CRect(W - masterMeters::kWidth, 0, W, H), editor_, channels_));
    }
    if (flags_ & kLayoutChannelMeters) {
        std::vector<std::string> names;
        Plug* plug = instanceOf(editor_);
        for (int c = 0; c < channels_; ++c) names.emplace_back(plug ? plug->getChannelName(c) : std::to_string(c + 1));
        addView(new groupMeters(CRect(0, 3, groupMeters::kStripWidth * channels_, H - 3), editor_, names));
    }
    setMeterFlags(meterFlags_, scaleOffset_);
    setDirty();
}

void meterSection::setMeterFlags(int meterFlags, int scaleOffsetDb) {
    meterFlags_ = meterFlags;
    scaleOffset_ = scaleOffsetDb;
    forEachDescendant([&](CView* v) {
        if (auto* vu = dynamic_cast<nVU*>(v)) {
            vu->setMeterMode(meterFlags);
            vu->setLabelOffset(scaleOffsetDb);
        }
    });
}

namespace {
CView* makeMeterSection(const ViewRequest& r) { return new meterSection(r.rect, r.listener); }
}  // namespace

void registerMeterSection() { registerViewClass("meterSection", makeMeterSection); }

}  // namespace hm::gui
