#include "tools/gallery/GalleryLayout.h"

#include <cstdio>
#include <string>

#include "gui/controls/CButtons.h"
#include "gui/controls/CDisplays.h"
#include "gui/controls/CKnob.h"
#include "gui/controls/COptionMenu.h"
#include "gui/controls/CParamDisplay.h"
#include "gui/controls/CSlider.h"
#include "gui/controls/CSwitches.h"
#include "gui/draw/BitmapCache.h"
#include "gui/draw/Fonts.h"
#include "gui/draw/SkinIds.h"
#include "gui/framework/CGViewContainer.h"
#include "gui/framework/CHighlightControl.h"
#include "gui/framework/nControl.h"
#include "gui/framework/nPage.h"

namespace hm::gallery {

using namespace hm::gui;

namespace {

constexpr Rgb kBody = 0x1B1D21;
constexpr Rgb kPanel = 0x23262B;
constexpr Rgb kCaption = 0xA6A6A6;

// A caption under or above a control, in the prose face.
class Caption : public CView {
public:
    Caption(const CRect& r, const char* text, TextAlign align = TextAlign::kCentre, float px = 11.f,
            Rgb colour = kCaption)
        : CView(r), text_(text), align_(align), px_(px), colour_(colour) {
        setMouseEnabled(false);
    }
    void draw(CDrawContext* c) override {
        TrueTypeFont::futura().drawInRect(*c, size, text_, px_, colour_, align_);
        setDirty(false);
    }

private:
    std::string text_;
    TextAlign align_;
    float px_;
    Rgb colour_;
};

// A panel: rounded dark card with a title.
class Card : public CViewContainer {
public:
    Card(const CRect& r, const char* title) : CViewContainer(r), title_(title) {}
    void drawBackgroundRect(CDrawContext* c, const CRect& update) override {
        CDIB::StateSaver saved(*c);
        CRect clip = c->getClipRect();
        clip.bound(update);
        c->setClipRect(clip);
        c->fillRoundRect(size, 6.f, kPanel);
        c->frameRoundRect(size, 6.f, 0x33373D);
        TrueTypeFont::futura().drawInRect(*c, CRect(size.left + 10, size.top + 4, size.right - 10, size.top + 22),
                                          title_, 12.f, 0xE0E0E0, TextAlign::kLeft);
        c->drawHLine(size.left + 10, size.right - 11, size.top + 23, 0x33373D);
    }

private:
    std::string title_;
};

// A buffered control: composes a level bar in its own work buffer over the
// picture it captured from its parent, then copies the buffer out.
class LevelBar : public nControl {
public:
    LevelBar(const CRect& r, int tag) : nControl(r, nullptr, tag) { setMouseEnabled(false); }
    void draw(CDrawContext* c) override {
        restoreBackground();
        CDIB& w = *workBuffer();
        const int lit = static_cast<int>(getValueNormalized() * width);
        w.fillGradientH(CRect(0, height / 2 - 3, lit, height / 2 + 3), 0x2E7D5B, 0x7FE0A8);
        w.frameRect(CRect(0, height / 2 - 4, width, height / 2 + 4), 0x50555C);
        blitWork(c);
        setDirty(false);
    }
};

// A highlight around whatever sits beneath it.
class HighlightFrame : public CView, public CHighlightControl {
public:
    HighlightFrame(const CRect& r, bool fill) : CView(r) {
        setMouseEnabled(false);
        if (fill) initFill(2, 0x333A6EA8u);
        else initOutline(2, 0xFF4A90D9u);
    }
    void draw(CDrawContext* c) override {
        CHighlightControl::draw(*c, size);
        setDirty(false);
    }
};

// Ten digit pictures drawn with the large strip font, for CSpecialDigit.
CDIB* makeDigitStrip(int w, int h) {
    CDIB* strip = new CDIB(w, h * 10);
    strip->fillRect(CRect(0, 0, w, h * 10), 0x101214);
    const StripFont font(skin::kFontLarge);
    for (int d = 0; d < 10; ++d) {
        const char text[2] = {static_cast<char>('0' + d), 0};
        font.drawInRect(*strip, CRect(0, d * h, w, (d + 1) * h), text, 0x7FE0A8, TextAlign::kCentre);
    }
    return strip;
}

template <class T>
T* add(CViewContainer* parent, T* view) {
    parent->addView(view);
    return view;
}

}  // namespace

void buildGallery(CFrame* frame, CControlListener* l) {
    frame->setBackgroundColor(kBody);
    int tag = 0;

    // Title strip from the skin tiles with the product logo.
    auto* title = add(frame, new CViewContainer(CRect(0, 0, kWidth, 25)));
    title->setBackgroundColor(0x16181B);
    if (CDIB* logo = getSkinBitmap(skin::kTitleLogo)) {
        auto* v = new CView(CRect(0, 0, logo->getWidth(), 25));
        v->setBackground(logo);
        v->setMouseEnabled(false);
        title->addView(v);
    }
    add(title, new Caption(CRect(kWidth - 330, 0, kWidth - 10, 25), "Control gallery", TextAlign::kRight, 13.f));

    // --- Rotary and linear controls ---
    auto* dials = add(frame, new Card(CRect(10, 35, 370, 295), "Knobs and sliders"));
    {
        auto* knob = add(dials, new CKnob(CRect(20, 45, 64, 89), l, ++tag, nullptr, nullptr));
        knob->setValue(0.62f);
        add(dials, new Caption(CRect(5, 92, 80, 110), "CKnob"));

        CDIB* well = getSkinBitmap(skin::kKnobWell);
        auto* wellView = add(dials, new CView(CRect(95, 40, 129, 81)));
        wellView->setBackground(well);
        wellView->setTransparency(true);
        wellView->setMouseEnabled(false);
        auto* anim = add(dials, new CAnimKnob(CRect(97, 45, 127, 75), l, ++tag, skin::kKnobFrames, 30,
                                              getSkinBitmap(skin::kKnob)));
        anim->setValue(0.35f);
        add(dials, new Caption(CRect(75, 92, 150, 110), "CAnimKnob"));

        CDIB* track = getSkinBitmap(skin::kSliderTrack);
        auto* vs = add(dials, new CVerticalSlider(CRect(161, 30, 207, 254), l, ++tag, CPoint(9, 0), 208,
                                                  getSkinBitmap(skin::kSliderHandle), track, CPoint(), kBottom));
        vs->setValue(0.7f);
        add(dials, new Caption(CRect(50, 232, 166, 248), "CVerticalSlider", TextAlign::kRight));

        auto* hs = add(dials, new CHorizontalSlider(CRect(20, 135, 150, 155), l, ++tag, CPoint(0, 2), 114, nullptr,
                                                    nullptr, CPoint(), kLeft));
        hs->setValue(0.4f);
        add(dials, new Caption(CRect(10, 158, 160, 174), "CHorizontalSlider"));

        auto* plain = add(dials, new CSlider(CRect(232, 40, 252, 200), l, ++tag, 40, 200 - 8, nullptr, nullptr,
                                             CPoint(), kVertical | kBottom));
        plain->setValue(0.25f);
        add(dials, new Caption(CRect(212, 206, 272, 222), "CSlider"));

        auto* auto1 = add(dials, new CAutoAnimation(CRect(300, 45, 330, 75), l, ++tag, skin::kKnobFrames, 30,
                                                    getSkinBitmap(skin::kKnob)));
        (void)auto1;
        add(dials, new Caption(CRect(262, 80, 366, 96), "CAutoAnimation"));
        auto* movieBmp = add(dials, new CMovieBitmap(CRect(297, 120, 333, 139), l, ++tag, 2, 19,
                                                     getSkinBitmap(skin::kClipLight)));
        movieBmp->setValue(1.f);
        add(dials, new Caption(CRect(262, 142, 366, 158), "CMovieBitmap"));
        add(dials, new HighlightFrame(CRect(16, 41, 68, 93), false));
    }

    // --- Buttons and switches ---
    auto* buttons = add(frame, new Card(CRect(380, 35, 750, 295), "Buttons and switches"));
    {
        auto* onoff = add(buttons, new COnOffButton(CRect(20, 40, 76, 59), l, ++tag,
                                                    getSkinBitmap(skin::kBypassButton)));
        onoff->setValue(1.f);
        add(buttons, new Caption(CRect(5, 62, 95, 78), "COnOffButton"));
        add(buttons, new CKickButton(CRect(115, 40, 134, 59), l, ++tag, 19, getSkinBitmap(skin::kPresetPrev)));
        add(buttons, new CKickButton(CRect(138, 40, 157, 59), l, ++tag, 19, getSkinBitmap(skin::kPresetNext)));
        add(buttons, new Caption(CRect(100, 62, 172, 78), "CKickButton"));
        auto* movie = add(buttons, new CMovieButton(CRect(195, 40, 257, 59), l, ++tag, 19,
                                                    getSkinBitmap(skin::kAnalyserButton)));
        movie->setValue(1.f);
        add(buttons, new Caption(CRect(180, 62, 272, 78), "CMovieButton"));
        add(buttons, new CRockerSwitch(CRect(290, 40, 340, 59), l, ++tag, 19, nullptr, CPoint(), kHorizontal));
        add(buttons, new Caption(CRect(262, 62, 368, 78), "CRockerSwitch"));

        auto* vsw = add(buttons, new CVerticalSwitch(CRect(20, 95, 51, 127), l, ++tag, 6, 32, 6,
                                                     getSkinBitmap(skin::kTypeIcons)));
        vsw->setValue(0.4f);
        add(buttons, new Caption(CRect(0, 130, 96, 146), "CVerticalSwitch"));
        auto* hsw = add(buttons, new CHorizontalSwitch(CRect(115, 100, 165, 117), l, ++tag, 2, 17, 2,
                                                       getSkinBitmap(skin::kPresetBankToggle)));
        hsw->setValue(1.f);
        add(buttons, new Caption(CRect(90, 130, 192, 146), "CHorizontalSwitch"));

        auto* vu = add(buttons, new CVuMeter(CRect(215, 90, 227, 190), nullptr, nullptr, 16, kVertical));
        vu->setValue(0.78f);
        auto* vu2 = add(buttons, new CVuMeter(CRect(231, 90, 243, 190), nullptr, nullptr, 16, kVertical));
        vu2->setValue(0.55f);
        add(buttons, new Caption(CRect(195, 192, 265, 208), "CVuMeter"));

        CDIB* digits = makeDigitStrip(11, 16);
        auto* digit = add(buttons, new CSpecialDigit(CRect(280, 100, 280 + 44, 116), l, ++tag, 2048, 4, nullptr,
                                                     nullptr, 11, 16, digits));
        digits->release();
        (void)digit;
        add(buttons, new Caption(CRect(250, 120, 356, 136), "CSpecialDigit"));

        auto* splashHint = add(buttons, new CTextLabel(CRect(20, 165, 180, 185), "Click: splash screen"));
        splashHint->setBackColor(0x2C3035);
        splashHint->setFontColor(0xE0E0E0);
        add(buttons, new CSplashScreen(CRect(20, 165, 180, 185), l, ++tag, getSkinBitmap(902),
                                       CRect(260, 150, 500, 310)));
        add(buttons, new Caption(CRect(20, 188, 180, 204), "CSplashScreen"));
    }

    // --- Text and menus ---
    auto* text = add(frame, new Card(CRect(10, 305, 370, 500), "Text and menus"));
    {
        auto* menu = add(text, new COptionMenu(CRect(20, 40, 240, 59), l, ++tag,
                                               getSkinBitmap(skin::kPresetMenuBack), nullptr, kNoFrame | kCheckStyle));
        for (const char* t : {"Linear", "Full Minimum", "Zero-latency Analogue", "Analogue", "Free"})
            menu->addEntry(t);
        menu->addSeparator();
        auto* pad = new COptionMenu(CRect(0, 0, 10, 10), nullptr, -1);
        for (const char* t : {"x1", "x2", "x4", "x8"}) pad->addEntry(t);
        menu->addEntry(pad, "Padding");
        pad->release();
        menu->setCurrent(2);
        menu->setFontColor(0xE0E0E0);
        add(text, new Caption(CRect(250, 40, 350, 59), "COptionMenu", TextAlign::kLeft));

        auto* display = add(text, new CParamDisplay(CRect(20, 75, 79, 92), getSkinBitmap(skin::kStripTextFrame)));
        display->setStripFont(skin::kFontLarge);
        display->setFontColor(0xC0C0C0);
        display->setStringConvert([](float v) {
            char s[16];
            std::snprintf(s, sizeof s, "%.1fdB", v * 24.0 - 12.0);
            return std::string(s);
        });
        display->setValue(0.8f);
        add(text, new Caption(CRect(90, 75, 240, 92), "CParamDisplay", TextAlign::kLeft));

        auto* label = add(text, new CTextLabel(CRect(20, 105, 240, 124), "A plain label"));
        label->setBackColor(0x1B1D21);
        label->setFrameColor(0x3A3E44);
        label->setFontColor(0xE0E0E0);
        add(text, new Caption(CRect(250, 105, 350, 124), "CTextLabel", TextAlign::kLeft));

        auto* edit = add(text, new CTextEdit(CRect(20, 135, 240, 154), l, ++tag, "EQ: 1"));
        edit->setBackColor(0x101214);
        edit->setFrameColor(0x4A4F57);
        edit->setMaxLength(31);
        add(text, new Caption(CRect(250, 135, 350, 154), "CTextEdit", TextAlign::kLeft));
    }

    // --- Pages and containers ---
    auto* pages = add(frame, new Card(CRect(380, 305, 750, 500), "Pages and containers"));
    {
        constexpr int kPageTag = 900;
        const char* names[] = {"Page 0", "Page 1", "Page 2"};
        for (int i = 0; i < 3; ++i) {
            const CRect tab = CRect::fromSize(20 + i * 70, 35, 64, 19);
            auto* tabLabel = add(pages, new CTextLabel(tab, names[i]));
            tabLabel->setBackColor(0x2C3035);
            tabLabel->setFontColor(0xE0E0E0);
            tabLabel->setFrameColor(0x4A4F57);
            add(pages, new nPageSelect(tab, l, kPageTag, static_cast<float>(i)));
        }
        for (int i = 0; i < 3; ++i) {
            auto* page = add(pages, new nPage(CRect(20, 60, 350, 180), kPageTag, i));
            page->setBackgroundColor(0x1B1D21);
            char line[64];
            std::snprintf(line, sizeof line, "nPage %d: shown while tag %d carries %d", i, kPageTag, i);
            add(page, new Caption(CRect(10, 5, 320, 25), line, TextAlign::kLeft));
            if (i == 0) {
                // A hideable container and one that captures the picture beneath it.
                auto* hideable = add(page, new CGViewContainer(CRect(10, 30, 150, 110)));
                hideable->setBackgroundColor(0x2C3035);
                add(hideable, new Caption(CRect(5, 5, 135, 25), "CGViewContainer", TextAlign::kLeft));
                auto* level = add(hideable, new LevelBar(CRect(5, 40, 135, 60), ++tag));
                level->setValue(0.66f);
                add(hideable, new Caption(CRect(5, 60, 135, 76), "nControl", TextAlign::kLeft, 11.f));

                auto* setupArt = add(page, new CViewContainer(CRect(165, 30, 320, 110)));
                setupArt->setBackground(getSkinBitmap(skin::kSetupWindow));
                auto* captured = add(setupArt, new nCGViewContainer(CRect(15, 30, 140, 70)));
                add(captured, new Caption(CRect(0, 0, 125, 40), "nCGViewContainer", TextAlign::kCentre, 11.f,
                                          0xFFFFFF));
                add(page, new HighlightFrame(CRect(163, 28, 322, 112), true));
            } else if (i == 1) {
                auto* k = add(page, new CAnimKnob(CRect(20, 40, 50, 70), l, ++tag, skin::kKnobFrames, 30,
                                                  getSkinBitmap(skin::kKnob)));
                k->setValue(0.8f);
            }
        }
        for (CView* v : pages->children())
            if (auto* p = dynamic_cast<nPage*>(v)) p->setValue(0.f);
    }
}

void distributeToPages(CFrame* frame, int tag, float value) {
    frame->forEachDescendant([&](CView* v) {
        if (auto* page = dynamic_cast<nPage*>(v); page && page->getTag() == tag) page->setValue(value);
    });
}

CControl* galleryControl(CFrame* frame, int tag) {
    CControl* found = nullptr;
    frame->forEachDescendant([&](CView* v) {
        if (auto* c = dynamic_cast<CControl*>(v); c && c->getTag() == tag && !found) found = c;
    });
    return found;
}

}  // namespace hm::gallery
