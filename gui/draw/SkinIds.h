#pragma once
// The skin's bitmap ids (PNG resources resources/PNG/<id>.png, drawn by
// tools/skingen). Sizes are those the generator draws; film strips hold their
// frames top to bottom unless said otherwise. The layout text and the views
// name bitmaps by these numbers.
namespace hm::gui::skin {

// Strip fonts: 70 glyph cells side by side (large: 11 rows, small: 9 rows).
inline constexpr int kFontLarge = 101;
inline constexpr int kFontSmall = 102;

// Title bar and tool bar (25 pixels high).
inline constexpr int kTitleTile = 200;        // 16×25 tile for nTiled strips (kGUIBox1, kGUIBox3)
inline constexpr int kTitleLogo = 201;        // kTitleLogoWidth×25 mark and product name on the bar
inline constexpr int kToolbarBack = 202;      // kToolbarWidth×25 tool bar page (kGUIBox2)
inline constexpr int kPresetPageButton = 203; // 54×19, 2 frames (up, down): "PRESETS"
inline constexpr int kUndoButton = 204;       // 22×19, 2 frames
inline constexpr int kRedoButton = 205;       // 22×19, 2 frames
inline constexpr int kABMenu = 206;           // cells 28×19: column 0 closed, 1 open; rows "A".."H"
inline constexpr int kCopyToMenu = 207;       // cells 42×19: column 0 closed, 1 open; row 0 "COPY"
inline constexpr int kGroupMenu = 208;        // cells 34×19: column 0 closed, 1 open; empty menu frame
inline constexpr int kSetupButton = 209;      // 44×19, 2 frames: "SETUP"
inline constexpr int kSetupWindow = 210;      // 632×403 setup window panel with title bar and close box;
                                              // list field (12,37)-(162,383), page field (170,37)-(620,383);
                                              // rows 48 .. 379 repeat when it is drawn taller
inline constexpr int kPresetBox = 211;        // 420×54 sliding preset box panel
inline constexpr int kStripTextFrame = 212;   // 59×17 frame around a text-mode value
inline constexpr int kAnalyserButton = 213;   // 58×19, 2 frames (off, on): "ANALYSER"
inline constexpr int kBypassButton = 214;     // 52×19, 2 frames (off, on): "BYPASS"
inline constexpr int kClipLight = 215;        // 34×19, 2 frames (clear, clipped): "CLIP"
inline constexpr int kPresetPrev = 216;       // 19×19, 2 frames: left arrow
inline constexpr int kPresetNext = 217;       // 19×19, 2 frames: right arrow
inline constexpr int kScaleTray = 220;        // 116×250 scale tray panel (divider at x 57)
inline constexpr int kScaleTrayArrows = 222;  // 14×40, 2 frames (closed: points right, open: left)
inline constexpr int kPresetMenuBack = 224;   // kPresetMenuWidth×19 preset menu field
inline constexpr int kTitleShadow = 225;      // 16×6 alpha tile: the title bar's shadow (kGUIBox3)
inline constexpr int kToolbarRightBack = 226; // kToolbarRightWidth×25 page of the tool bar's right group (kGUIBox5)
inline constexpr int kPresetEQ = 230;         // 36×17, 2 frames (off, on): "EQ"
inline constexpr int kPresetDSP = 231;        // 36×17, 2 frames: "DSP"
inline constexpr int kPresetUI = 232;         // 36×17, 2 frames: "UI"
inline constexpr int kPresetBankToggle = 233; // 50×17, 2 frames (preset, bank): "PRESET" / "BANK"
inline constexpr int kLoadButton = 234;       // 50×17, 2 frames: "LOAD"
inline constexpr int kSaveButton = 235;       // 50×17, 2 frames: "SAVE"

// Widths the title bar is laid out with: the logo and the tool bar together
// are 560 pixels, so the filler between them closes at every window width.
inline constexpr int kTitleLogoWidth = 128;
inline constexpr int kToolbarWidth = 432;
inline constexpr int kToolbarRightWidth = 205;
inline constexpr int kPresetMenuWidth = 358;

// Sliders.
inline constexpr int kSliderHandle = 400;     // 28×16 scale tray slider handle
inline constexpr int kSliderTrack = 403;      // 46×224 scale tray slider track (handle at x 9, travel 208)

// Band on/off buttons (layout element BandButton): cells 20×16, one column
// per band 1..32; rows: on, off, then on and off while the partner is on.
inline constexpr int kBandButtons = 404;

// Band type button, 31×32 cells.
inline constexpr int kTypeIcons = 401;        // 2 columns (off, on) × 6 rows: peak, high-pass,
                                              // low shelf, high shelf, low-pass, notch
inline constexpr int kTypeButtonRing = 402;   // 31×32, 3 frames (off, bypassed, on), alpha overlay

// Band strips (65 pixels wide).
inline constexpr int kStripBody = 600;        // 65×400 body; sliced top 40 / middle / bottom 40
inline constexpr int kStripBodySelected = 601;// same, for the selected band
inline constexpr int kStripHeader = 602;      // 65×22 band-number header
inline constexpr int kKnobWell = 603;         // 34×41 recess behind a knob (alpha)
inline constexpr int kStripMenuBack = 604;    // 59×17 subtype / group menu and value field

// Meter section.
inline constexpr int kMeterBody = 605;        // 66×414 channel strip body (top 46, bottom 104 from row 310)
inline constexpr int kMeterBodyLarge = 606;   // 90×420 large master body (top 49, bottom 107 from row 313)
inline constexpr int kFaderHandle = 607;      // 27×15 fader handle (alpha)
inline constexpr int kMeterSeparator = 608;   // 6×264 groove between fader and meter (alpha)
inline constexpr int kMuteButton = 610;       // 28×19, 2 frames: "M"
inline constexpr int kLinkButton = 611;       // 25×19, 2 frames: chain link
inline constexpr int kPhaseButton = 612;      // 28×19, 2 frames: "Ø"
inline constexpr int kMeterPointButton = 613; // 59×19, 2 frames: "POST" / "PRE"
inline constexpr int kSoloButton = 614;       // 28×19, 2 frames: "S"

// Knob film strip: 30×30 frames, kKnobFrames of them, 0 at the left stop.
inline constexpr int kKnob = 700;
inline constexpr int kKnobFrames = 64;

// Vertical fade beside the meter section (nTiledV), 12×32 alpha tile.
inline constexpr int kMeterFade = 807;

// Setup wizard.
inline constexpr int kWizardRadio = 900;      // 20×20, 2 frames (clear, chosen)
inline constexpr int kWizardBack = 901;       // 632×428 background
inline constexpr int kWizardPicture = 902;    // 240×160 hidden picture: top 80 rows and bottom 80 rows
inline constexpr int kWizardPreview = 903;    // 244×720: 5 frames of 244×144, one per answer of page 0

}  // namespace hm::gui::skin
