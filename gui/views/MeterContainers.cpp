#include "gui/views/MeterContainers.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/params/ParamIds.h"
#include "gui/controls/CButtons.h"
#include "gui/draw/BitmapCache.h"
#include "gui/draw/CDIB.h"
#include "gui/draw/Fonts.h"
#include "gui/draw/SkinIds.h"
#include "gui/views/CEQText.h"
#include "gui/views/meterFader.h"
#include "gui/views/meterText.h"
#include "gui/views/nMicroMeter.h"
#include "gui/views/nVU.h"

namespace hm::gui {

namespace {

constexpr Rgb kCaption = 0xA6A6A6;
constexpr float kCaptionSize = 12.f;
constexpr int kButtonFrame = 19;  // two-state skin buttons: 19-pixel frames

// Draws a body bitmap into r: rows top | middle in 264-row pieces | bottom
// (taken from bottomFrom), and, when r is wider than the bitmap, its left and
// right halves with the centre column repeated between them.
void drawSliced(CDIB& d, const CBitmap& body, const CRect& r, int top, int bottom, int bottomFrom) {
    const int bw = body.getWidth(), bh = body.getHeight();
    const int piece = std::max(1, bottomFrom - top);
    struct Span {
        int dest0, dest1, src;
    };
    std::vector<Span> rows;
    const int h = r.height();
    const int topRows = std::min(top, h), bottomRows = std::min(bottom, std::max(0, h - topRows));
    rows.push_back({0, topRows, 0});
    for (int y = topRows; y < h - bottomRows; y += piece) rows.push_back({y, std::min(y + piece, h - bottomRows), top});
    rows.push_back({h - bottomRows, h, std::min(bottomFrom, bh - bottomRows)});
    std::vector<Span> cols;
    const int w = r.width();
    if (w <= bw) {
        cols.push_back({0, w, 0});
    } else {
        const int half = bw / 2;
        cols.push_back({0, half, 0});
        for (int x = half; x < w - (bw - half); ++x) cols.push_back({x, x + 1, half});
        cols.push_back({w - (bw - half), w, half});
    }
    for (const Span& row : rows)
        for (const Span& col : cols) {
            if (row.dest1 <= row.dest0 || col.dest1 <= col.dest0) continue;
            body.draw(d, CRect(r.left + col.dest0, r.top + row.dest0, r.left + col.dest1, r.top + row.dest1),
                      CPoint(col.src, row.src));
        }
}

CMovieButton* skinButton(const CRect& r, CControlListener* l, int tag, int bitmapId) {
    return new CMovieButton(r, l, tag, kButtonFrame, getSkinBitmap(bitmapId));
}

}  // namespace

MeterContainer::MeterContainer(const CRect& rect, CControlListener* editor) : nPage(rect, -1, 0), editor_(editor) {}

MeterContainer::~MeterContainer() {
    if (picture_) picture_->release();
}

bool MeterContainer::isTypeOf(const char* className) const {
    return std::strcmp(className, "MeterContainer") == 0 || nPage::isTypeOf(className);
}

void MeterContainer::caption(CDIB& into, int x, int y, const std::string& text, bool centred) {
    const TrueTypeFont& font = TrueTypeFont::futura();
    if (!font.valid()) return;
    if (centred) x -= font.measure(text, kCaptionSize) / 2;
    font.draw(into, x, y, text, kCaptionSize, kCaption);
}

void MeterContainer::paintBackground(const Slices& s, const std::vector<CRect>& bodies, const std::vector<CRect>& grooves) {
    const int w = std::max(1, getWidth()), h = std::max(1, getHeight());
    if (picture_) picture_->release();
    picture_ = new CDIB(w, h);
    picture_->clear(0xFF16191Eu);
    if (const CBitmap* body = getSkinBitmap(s.bodyId))
        for (const CRect& r : bodies) drawSliced(*picture_, *body, r, s.top, s.bottom, s.bottomFrom);
    if (const CBitmap* groove = getSkinBitmap(skin::kMeterSeparator))
        for (const CRect& r : grooves)
            for (int y = r.top; y < r.bottom; y += groove->getHeight())
                groove->draw(*picture_, CRect(r.left, y, r.right, std::min(r.bottom, y + groove->getHeight())));
    for (const Caption& c : captions_) caption(*picture_, c.x, c.y, c.text, c.centred);
    setBackground(picture_);
}

// --- the large master ------------------------------------------------------

masterMeters::masterMeters(const CRect& rect, CControlListener* editor, int channels) : MeterContainer(rect, editor) {
    const int H = rect.height();
    auto* vu = new nVU(CRect(51, 55, 125, H - 117), editor, kGUIVU);
    vu->setValues(channels, 0.f, 0.f);
    auto* left = new meterText(CRect(47, H - 100, 89, H - 68), editor, kGUIMasterMeter1);
    auto* right = new meterText(CRect(90, H - 100, 130, H - 68), editor, kGUIMasterMeter2);
    // The stereo meter shows what the two readings receive.
    left->feedMeter(vu, 0);
    right->feedMeter(vu, 1);
    addView(new meterFader(CRect(13, 53, 40, H - 105), editor, kGain));
    addView(new CEQText(CRect(6, H - 100, 46, H - 68), editor, kGain, -1, skin::kFontLarge));
    addView(skinButton(CRect(58, H - 45, 117, H - 26), editor, kGUIMeterPrePost, skin::kMeterPointButton));
    addView(vu);
    addView(left);
    addView(right);
    captions_ = {{14, 18, "GAIN", false}, {61, 18, "VU METER", false}, {8, H - 43, "LISTEN :", false}};
    paintBackground({skin::kMeterBodyLarge, 49, 107, 313}, {CRect(0, 0, rect.width(), H)}, {CRect(24, 58, 30, H - 116)});
}

bool masterMeters::isTypeOf(const char* className) const {
    return std::strcmp(className, "masterMeters") == 0 || MeterContainer::isTypeOf(className);
}

// --- the small master ----------------------------------------------------------

miniMasterMeters::miniMasterMeters(const CRect& rect, CControlListener* editor) : MeterContainer(rect, editor) {
    const int H = rect.height();
    addView(new meterFader(CRect(3, 50, 30, H - 102), editor, kGain));
    addView(new CEQText(CRect(6, H - 98, 32, H - 65), editor, kGain, -1, skin::kFontLarge));
    addView(new nMicroMeter(CRect(33, 52, 60, H - 114), editor, kGUIMasterMeter1));
    addView(new meterText(CRect(33, H - 98, 62, H - 65), editor, kGUIMasterMeter1));
    addView(skinButton(CRect(3, H - 52, 62, H - 33), editor, kGUIMeterPrePost, skin::kMeterPointButton));
    captions_ = {{4, 15, "GAIN", false}, {41, 15, "VU", false}};
    paintBackground({skin::kMeterBody, 46, 104, 310}, {CRect(0, 0, rect.width(), H)}, {CRect(14, 55, 20, H - 113)});
}

bool miniMasterMeters::isTypeOf(const char* className) const {
    return std::strcmp(className, "miniMasterMeters") == 0 || MeterContainer::isTypeOf(className);
}

// --- channel strips ----------------------------------------------------------------

groupMeters::groupMeters(const CRect& rect, CControlListener* editor, const std::vector<std::string>& names)
    : MeterContainer(rect, editor) {
    const int H = rect.height();
    std::vector<CRect> bodies, grooves;
    for (int i = 0; i < static_cast<int>(names.size()) && i < kMaxChannels; ++i) {
        const int x0 = kStripWidth * i;
        addView(new meterFader(CRect(x0 + 3, 47, x0 + 30, H - 105), editor, channelParam(i, kChannelLevel)));
        addView(new CEQText(CRect(x0 + 3, H - 98, x0 + 32, H - 65), editor, channelParam(i, kChannelLevel), -1,
                            skin::kFontLarge));
        addView(new nMicroMeter(CRect(x0 + 33, 49, x0 + 60, H - 117), editor, kGUIChannel1Meter + i));
        addView(new meterText(CRect(x0 + 33, H - 98, x0 + 62, H - 65), editor, kGUIChannel1Meter + i));
        addView(skinButton(CRect(x0 + 3, H - 55, x0 + 31, H - 36), editor, channelParam(i, kChannelMute), skin::kMuteButton));
        addView(skinButton(CRect(x0 + 35, H - 55, x0 + 63, H - 36), editor, channelParam(i, kChannelSolo), skin::kSoloButton));
        addView(skinButton(CRect(x0 + 19, H - 28, x0 + 47, H - 9), editor, channelParam(i, kChannelPhase), skin::kPhaseButton));
        if (i % 2 == 1)
            addView(skinButton(CRect(x0 - 13, H - 28, x0 + 12, H - 9), editor, kGUIChannel12Link + i / 2, skin::kLinkButton));
        std::string upper = names[static_cast<std::size_t>(i)];
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        captions_.push_back({x0 + 33, 20, upper, true});
        bodies.push_back(CRect(x0, 0, x0 + kStripWidth, H));
        grooves.push_back(CRect(x0 + 14, 55, x0 + 20, H - 113));
    }
    paintBackground({skin::kMeterBody, 46, 104, 310}, bodies, grooves);
}

bool groupMeters::isTypeOf(const char* className) const {
    return std::strcmp(className, "groupMeters") == 0 || MeterContainer::isTypeOf(className);
}

}  // namespace hm::gui
