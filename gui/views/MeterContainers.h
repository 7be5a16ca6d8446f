#pragma once
// The meter section's containers: masterMeters (the large stereo master:
// fader, gain text, nVU, two readings, the meter-point button), its small
// form miniMasterMeters (fader, gain text, one nMicroMeter and reading, the
// button), and groupMeters (one 66-pixel strip per channel: fader, level
// text, nMicroMeter, reading, mute, solo and phase buttons, and a link button
// between the two strips of each pair). Each builds its children at the
// places the section's design gives them, relative to its own height, and
// paints its background once from the skin (body bitmap sliced into a top,
// a middle of 264-pixel pieces and a bottom; the fader grooves; the captions
// in FUTURAB 12) into a picture its children draw over. UI thread only.
#include <string>
#include <vector>

#include "gui/framework/nPage.h"

namespace hm {
class Plug;
}

namespace hm::gui {

class CControlListener;
class CDIB;

class MeterContainer : public nPage {
public:
    // A new height moves the children (their places hang from the top or the
    // bottom) and repaints the background; the children themselves stay, so the
    // editor's list of controls stays valid.
    void setViewSize(const CRect& rect, bool invalidate = true) override;
    bool isTypeOf(const char* className) const override;
    // Whether the painted captions include this text (headers, names).
    bool hasCaption(const std::string& text) const;

protected:
    // A child's place: y values marked fromBottom count up from the height.
    struct Place {
        int left, top, right, bottom;
        bool topFromBottom = false, bottomFromBottom = true;
    };
    struct Slices {
        int bodyId;
        int top;         // rows of the body's top slice
        int bottom;      // rows of the bottom slice
        int bottomFrom;  // source row the bottom slice starts at
    };
    MeterContainer(const CRect& size, CControlListener* editor);
    ~MeterContainer() override;
    // Adds a child at its place for the current height.
    void place(CView* view, const Place& where);
    CRect rectOf(const Place& where) const;
    // Paints body pieces (one per `bodies` place), grooves and captions.
    void paintBackground();
    void caption(CDIB& into, int x, int y, const std::string& text, bool centred = false);

    CControlListener* editor_;
    CDIB* picture_ = nullptr;
    struct Caption {
        int x, y;
        std::string text;
        bool centred;
        bool fromBottom = false;
    };
    std::vector<Caption> captions_;
    Slices slices_{};
    std::vector<Place> bodies_, grooves_;
    std::vector<std::pair<CView*, Place>> placed_;
};

class masterMeters : public MeterContainer {
public:
    static constexpr int kWidth = 133;
    masterMeters(const CRect& size, CControlListener* editor, int channels);
    bool isTypeOf(const char* className) const override;

protected:
    ~masterMeters() override = default;
};

class miniMasterMeters : public MeterContainer {
public:
    static constexpr int kWidth = 66;
    miniMasterMeters(const CRect& size, CControlListener* editor);
    bool isTypeOf(const char* className) const override;

protected:
    ~miniMasterMeters() override = default;
};

class groupMeters : public MeterContainer {
public:
    static constexpr int kStripWidth = 66;
    // names: the channels' names (upper-cased on the strips).
    groupMeters(const CRect& size, CControlListener* editor, const std::vector<std::string>& names);
    bool isTypeOf(const char* className) const override;

protected:
    ~groupMeters() override = default;
};

}  // namespace hm::gui
