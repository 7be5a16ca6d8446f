#include "gui/views/MeterContainers.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/Plug.h"
#include "core/params/ParamIds.h"
#include "gui/controls/CButtons.h"
#include "gui/draw/BitmapCache.h"
#include "gui/draw/CDIB.h"
#include "gui/draw/Fonts.h"
#include "gui/draw/SkinIds.h"
#include "gui/views/CEQText.h"
#include "gui/views/InstanceOf.h"
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

CRect MeterContainer::rectOf(const Place& p) const {
    const int H = getHeight();
    return CRect(p.left, p.top + (p.topFromBottom ? H : 0), p.right, p.bottom + (p.bottomFromBottom ? H : 0));
}

void MeterContainer::place(CView* view, const Place& where) {
    view->setViewSize(rectOf(where), false);
    view->setMouseableArea(rectOf(where));
    addView(view);
    placed_.push_back({view, where});
}

void MeterContainer::setViewSize(const CRect& rect, bool invalidate) {
    const bool taller = rect.height() != getHeight() || rect.width() != getWidth();
    nPage::setViewSize(rect, invalidate);
    if (!taller) return;
    for (auto& [view, where] : placed_) {
        view->setViewSize(rectOf(where), false);
        view->setMouseableArea(rectOf(where));
    }
    paintBackground();
}

bool MeterContainer::hasCaption(const std::string& text) const {
    return std::any_of(captions_.begin(), captions_.end(), [&](const Caption& c) { return c.text == text; });
}

void MeterContainer::paintBackground() {
    const int w = std::max(1, getWidth()), h = std::max(1, getHeight());
    if (picture_) picture_->release();
    picture_ = new CDIB(w, h);
    picture_->clear(0xFF16191Eu);
    if (const CBitmap* body = getSkinBitmap(slices_.bodyId))
        for (const Place& p : bodies_) drawSliced(*picture_, *body, rectOf(p), slices_.top, slices_.bottom, slices_.bottomFrom);
    if (const CBitmap* groove = getSkinBitmap(skin::kMeterSeparator))
        for (const Place& p : grooves_) {
            const CRect r = rectOf(p);
            for (int y = r.top; y < r.bottom; y += groove->getHeight())
                groove->draw(*picture_, CRect(r.left, y, r.right, std::min(r.bottom, y + groove->getHeight())));
        }
    for (const Caption& c : captions_) caption(*picture_, c.x, c.y + (c.fromBottom ? h : 0), c.text, c.centred);
    setBackground(picture_);
}

// --- the large master ------------------------------------------------------

namespace {
// What the master meter's header says: the ballistics it shows ("Meters" /
// "Ballistic Type": Digital, PPM, VU, BBC), large and small.
std::string ballisticsCaption(CControlListener* editor, bool small) {
    const Plug* plug = instanceOf(editor);
    const int type = plug ? plug->editorPreferences().ballistics : 0;
    static constexpr const char* kLarge[4] = {"DIGITAL", "PPM", "VU METER", "BBC PPM"};
    static constexpr const char* kSmall[4] = {"PK", "PPM", "VU", "BBC"};
    const int i = type >= 0 && type < 4 ? type : 0;
    return small ? kSmall[i] : kLarge[i];
}
}  // namespace

masterMeters::masterMeters(const CRect& rect, CControlListener* editor, int channels) : MeterContainer(rect, editor) {
    auto* vu = new nVU(CRect(), editor, kGUIVU);
    vu->setValues(channels, 0.f, 0.f);
    auto* left = new meterText(CRect(), editor, kGUIMasterMeter1);
    auto* right = new meterText(CRect(), editor, kGUIMasterMeter2);
    // The stereo meter shows what the two readings receive.
    left->feedMeter(vu, 0);
    right->feedMeter(vu, 1);
    place(new meterFader(CRect(13, 53, 40, rect.height() - 105), editor, kGain), {13, 53, 40, -105});
    // The gain reads "-12.50 dB" at its longest: the field takes the room the two
    // meter readings ("-96.0") do not need.
    place(new CEQText(CRect(), editor, kGain, -1, skin::kFontSmall), {1, -100, 51, -68, true});
    place(skinButton(CRect(), editor, kGUIMeterPrePost, skin::kMeterPointButton), {58, -45, 117, -26, true});
    place(vu, {51, 55, 125, -117});
    place(left, {53, -100, 91, -68, true});
    place(right, {93, -100, 131, -68, true});
    captions_ = {{14, 18, "GAIN", false}, {61, 18, ballisticsCaption(editor, false), false}, {8, -43, "LISTEN :", false, true}};
    slices_ = {skin::kMeterBodyLarge, 49, 107, 313};
    bodies_ = {{0, 0, rect.width(), 0}};
    grooves_ = {{24, 58, 30, -116}};
    paintBackground();
}

bool masterMeters::isTypeOf(const char* className) const {
    return std::strcmp(className, "masterMeters") == 0 || MeterContainer::isTypeOf(className);
}

// A value field as wide as the column under its fader, its text nearly to the
// edges: "-12.60" has to fit whole in the narrow strips (the unit gives way).
namespace {
CEQText* narrowValueField(CControlListener* editor, int tag) {
    auto* field = new CEQText(CRect(), editor, tag, -1, skin::kFontSmall);
    field->setTextInset(1);
    return field;
}
}  // namespace

// --- the small master ----------------------------------------------------------

miniMasterMeters::miniMasterMeters(const CRect& rect, CControlListener* editor) : MeterContainer(rect, editor) {
    place(new meterFader(CRect(3, 50, 30, rect.height() - 102), editor, kGain), {3, 50, 30, -102});
    place(narrowValueField(editor, kGain), {1, -98, 33, -65, true});
    place(new nMicroMeter(CRect(), editor, kGUIMasterMeter1), {33, 52, 60, -114});
    place(new meterText(CRect(), editor, kGUIMasterMeter1), {33, -98, 62, -65, true});
    place(skinButton(CRect(), editor, kGUIMeterPrePost, skin::kMeterPointButton), {3, -52, 62, -33, true});
    captions_ = {{4, 15, "GAIN", false}, {41, 15, ballisticsCaption(editor, true), false}};
    slices_ = {skin::kMeterBody, 46, 104, 310};
    bodies_ = {{0, 0, rect.width(), 0}};
    grooves_ = {{14, 55, 20, -113}};
    paintBackground();
}

bool miniMasterMeters::isTypeOf(const char* className) const {
    return std::strcmp(className, "miniMasterMeters") == 0 || MeterContainer::isTypeOf(className);
}

// --- channel strips ----------------------------------------------------------------

groupMeters::groupMeters(const CRect& rect, CControlListener* editor, const std::vector<std::string>& names)
    : MeterContainer(rect, editor) {
    const int H = rect.height();
    for (int i = 0; i < static_cast<int>(names.size()) && i < kMaxChannels; ++i) {
        const int x0 = kStripWidth * i;
        place(new meterFader(CRect(x0 + 3, 47, x0 + 30, H - 105), editor, channelParam(i, kChannelLevel)),
              {x0 + 3, 47, x0 + 30, -105});
        place(narrowValueField(editor, channelParam(i, kChannelLevel)), {x0 + 1, -98, x0 + 33, -65, true});
        place(new nMicroMeter(CRect(), editor, kGUIChannel1Meter + i), {x0 + 33, 49, x0 + 60, -117});
        place(new meterText(CRect(), editor, kGUIChannel1Meter + i), {x0 + 33, -98, x0 + 62, -65, true});
        place(skinButton(CRect(), editor, channelParam(i, kChannelMute), skin::kMuteButton), {x0 + 3, -55, x0 + 31, -36, true});
        place(skinButton(CRect(), editor, channelParam(i, kChannelSolo), skin::kSoloButton), {x0 + 35, -55, x0 + 63, -36, true});
        place(skinButton(CRect(), editor, channelParam(i, kChannelPhase), skin::kPhaseButton), {x0 + 19, -28, x0 + 47, -9, true});
        if (i % 2 == 1)
            place(skinButton(CRect(), editor, kGUIChannel12Link + i / 2, skin::kLinkButton), {x0 - 13, -28, x0 + 12, -9, true});
        std::string upper = names[static_cast<std::size_t>(i)];
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        captions_.push_back({x0 + 33, 20, upper, true});
        bodies_.push_back({x0, 0, x0 + kStripWidth, 0});
        grooves_.push_back({x0 + 14, 55, x0 + 20, -113});
    }
    slices_ = {skin::kMeterBody, 46, 104, 310};
    paintBackground();
}

bool groupMeters::isTypeOf(const char* className) const {
    return std::strcmp(className, "groupMeters") == 0 || MeterContainer::isTypeOf(className);
}

}  // namespace hm::gui
