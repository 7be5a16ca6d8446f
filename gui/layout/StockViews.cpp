#include "gui/layout/StockViews.h"

#include "gui/controls/CButtons.h"
#include "gui/controls/CDisplays.h"
#include "gui/controls/CKnob.h"
#include "gui/controls/COptionMenu.h"
#include "gui/controls/CParamDisplay.h"
#include "gui/controls/CSlider.h"
#include "gui/controls/CSwitches.h"
#include "gui/draw/CBitmap.h"
#include "gui/framework/CGViewContainer.h"
#include "platform/TextCompare.h"

namespace hm::gui {

namespace {

CBitmap* bg(const ViewRequest& r) { return r.bitmap("background"); }

// Pictures of `frame` pixels that fit in `length` pixels of bitmap (0 without one).
int framesIn(int length, int frame) { return frame > 0 ? length / frame : 0; }
int framesDown(const ViewRequest& r) {
    CBitmap* b = bg(r);
    return b ? framesIn(b->getHeight(), r.rect.height()) : 0;
}
int framesAcross(const ViewRequest& r) {
    CBitmap* b = bg(r);
    return b ? framesIn(b->getWidth(), r.rect.width()) : 0;
}
int heightOfOneImage(const ViewRequest& r) { return r.integer("heightofoneimage"); }

// A control that does not take the listener and tag through its constructor.
template <class T>
T* wired(T* control, const ViewRequest& r) {
    control->setListener(r.listener);
    control->setTag(r.tag);
    return control;
}

CView* makeContainer(const ViewRequest& r) {
    auto* c = new CGViewContainer(r.rect, r.boolean("hide"));
    c->setBackground(bg(r));
    return c;
}
CView* makeOnOff(const ViewRequest& r) {
    return new COnOffButton(r.rect, r.listener, r.tag, bg(r), r.integer("style"));
}
CView* makeParamDisplay(const ViewRequest& r) {
    return wired(new CParamDisplay(r.rect, bg(r), r.integer("style")), r);
}
CView* makeTextLabel(const ViewRequest& r) {
    return wired(new CTextLabel(r.rect, r.string("txt").c_str(), bg(r), r.integer("style")), r);
}
CView* makeTextEdit(const ViewRequest& r) {
    return new CTextEdit(r.rect, r.listener, r.tag, r.string("txt").c_str(), bg(r), r.integer("style"));
}
CView* makeOptionMenu(const ViewRequest& r) {
    return new COptionMenu(r.rect, r.listener, r.tag, bg(r), r.bitmap("bgclicked"), r.integer("style"));
}
CView* makeKnob(const ViewRequest& r) {
    return new CKnob(r.rect, r.listener, r.tag, bg(r), r.bitmap("handle"), r.offset);
}
// Film strips whose frame count comes from the bitmap (plain form) or from
// `subpixmaps` (the "2" form): CAnimKnob, CMovieBitmap and CAutoAnimation.
template <class Film>
CView* makeFilm(const ViewRequest& r) {
    return new Film(r.rect, r.listener, r.tag, framesDown(r), r.rect.height(), bg(r), r.offset);
}
template <class Film>
CView* makeFilm2(const ViewRequest& r) {
    return new Film(r.rect, r.listener, r.tag, r.integer("subpixmaps"), heightOfOneImage(r), bg(r), r.offset);
}
CView* makeVSwitch(const ViewRequest& r) {
    const int frames = framesDown(r);
    return new CVerticalSwitch(r.rect, r.listener, r.tag, frames, r.rect.height(), frames, bg(r), r.offset);
}
CView* makeVSwitch2(const ViewRequest& r) {
    return new CVerticalSwitch(r.rect, r.listener, r.tag, r.integer("subpixmaps"), heightOfOneImage(r),
                               r.integer("maxpositions"), bg(r), r.offset);
}
CView* makeHSwitch(const ViewRequest& r) {
    const int frames = framesAcross(r);
    return new CHorizontalSwitch(r.rect, r.listener, r.tag, frames, r.rect.height(), frames, bg(r), r.offset);
}
CView* makeHSwitch2(const ViewRequest& r) {
    return new CHorizontalSwitch(r.rect, r.listener, r.tag, r.integer("subpixmaps"), heightOfOneImage(r),
                                 r.integer("maxpositions"), bg(r), r.offset);
}
CView* makeRocker(const ViewRequest& r) {
    return new CRockerSwitch(r.rect, r.listener, r.tag, r.rect.height(), bg(r), r.offset, r.integer("style"));
}
CView* makeRocker2(const ViewRequest& r) {
    return new CRockerSwitch(r.rect, r.listener, r.tag, heightOfOneImage(r), bg(r), r.offset,
                             r.integer("style"));
}
CView* makeMovieButton(const ViewRequest& r) {
    return new CMovieButton(r.rect, r.listener, r.tag, r.rect.height(), bg(r), r.offset);
}
CView* makeMovieButton2(const ViewRequest& r) {
    return new CMovieButton(r.rect, r.listener, r.tag, heightOfOneImage(r), bg(r), r.offset);
}

// Sliders: the plain form travels from `minpos` to `maxpos`, the "2" form
// `rangehandle` pixels from the handle offset.
template <class Slider>
CView* makeSliderRange(const ViewRequest& r, int styleBit) {
    return new Slider(r.rect, r.listener, r.tag, r.integer("minpos"), r.integer("maxpos"), r.bitmap("handle"),
                      bg(r), r.offset, r.integer("style") | styleBit);
}
template <class Slider>
CView* makeSliderTravel(const ViewRequest& r, int styleBit) {
    return new Slider(r.rect, r.listener, r.tag, r.handleOffset, r.integer("rangehandle"), r.bitmap("handle"),
                      bg(r), r.offset, r.integer("style") | styleBit);
}
CView* makeSlider(const ViewRequest& r) { return makeSliderRange<CSlider>(r, 0); }
CView* makeSlider2(const ViewRequest& r) { return makeSliderTravel<CSlider>(r, 0); }
CView* makeVSlider(const ViewRequest& r) { return makeSliderRange<CVerticalSlider>(r, kVertical); }
CView* makeVSlider2(const ViewRequest& r) { return makeSliderTravel<CVerticalSlider>(r, kVertical); }
CView* makeHSlider(const ViewRequest& r) { return makeSliderRange<CHorizontalSlider>(r, kHorizontal); }
CView* makeHSlider2(const ViewRequest& r) { return makeSliderTravel<CHorizontalSlider>(r, kHorizontal); }

CView* makeKickButton(const ViewRequest& r) {
    return new CKickButton(r.rect, r.listener, r.tag, r.rect.height(), bg(r), r.offset);
}
CView* makeKickButton2(const ViewRequest& r) {
    return new CKickButton(r.rect, r.listener, r.tag, heightOfOneImage(r), bg(r), r.offset);
}
CView* makeSplash(const ViewRequest& r) {
    const CRect display(r.integer("dleft"), r.integer("dtop"), r.integer("dright"), r.integer("dbottom"));
    return new CSplashScreen(r.rect, r.listener, r.tag, bg(r), display, r.offset);
}
CView* makeVuMeter(const ViewRequest& r) {
    return wired(new CVuMeter(r.rect, r.bitmap("on"), r.bitmap("off"), r.integer("nbled"), r.integer("style")), r);
}

struct StockClass {
    std::string_view name;
    ViewMaker maker;
};

constexpr StockClass kStockClasses[] = {
    {"CGViewContainer", makeContainer},
    {"COnOffButton", makeOnOff},
    {"CParamDisplay", makeParamDisplay},
    {"CTextLabel", makeTextLabel},
    {"CTextEdit", makeTextEdit},
    {"COptionMenu", makeOptionMenu},
    {"CKnob", makeKnob},
    {"CAnimKnob", makeFilm<CAnimKnob>},
    {"CAnimKnob2", makeFilm2<CAnimKnob>},
    {"CVerticalSwitch", makeVSwitch},
    {"CVerticalSwitch2", makeVSwitch2},
    {"CHorizontalSwitch", makeHSwitch},
    {"CHorizontalSwitch2", makeHSwitch2},
    {"CRockerSwitch", makeRocker},
    {"CRockerSwitch2", makeRocker2},
    {"CMovieBitmap", makeFilm<CMovieBitmap>},
    {"CMovieBitmap2", makeFilm2<CMovieBitmap>},
    {"CMovieButton", makeMovieButton},
    {"CMovieButton2", makeMovieButton2},
    {"CAutoAnimation", makeFilm<CAutoAnimation>},
    {"CAutoAnimation2", makeFilm2<CAutoAnimation>},
    {"CSlider", makeSlider},
    {"CSlider2", makeSlider2},
    {"CVerticalSlider", makeVSlider},
    {"CVerticalSlider2", makeVSlider2},
    {"CHorizontalSlider", makeHSlider},
    {"CHorizontalSlider2", makeHSlider2},
    {"CKickButton", makeKickButton},
    {"CKickButton2", makeKickButton2},
    {"CSplashScreen", makeSplash},
    {"CVuMeter", makeVuMeter},
};

}  // namespace

ViewMaker findStockClass(std::string_view name) {
    for (const StockClass& c : kStockClasses)
        if (platform::equalsIgnoreCase(c.name, name)) return c.maker;
    return nullptr;
}

}  // namespace hm::gui
