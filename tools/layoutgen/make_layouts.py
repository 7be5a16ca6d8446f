#!/usr/bin/env python3
"""Writes the editor's layout texts, one per "UI Size", into resources/xml.

    make_layouts.py OUTDIR          write ui.xml (Med) and ui-<Size>.xml
    make_layouts.py --check OUTDIR  fail when the files differ from what
                                    this script writes now

Every size holds the same elements with the same tags; only the geometry
follows the window width. The geometry is the one the editor's relayout
gives with the default layout preferences (graph, keyboard and text band
strips shown, large master meters beside the strips, scale tray shown),
with the preset box, the scale tray and the setup window closed.
"""
import os
import sys

SIZES = [("Tiny", 555), ("Small", 650), ("Med", 750), ("Large", 1100), ("Huge", 1300)]
LARGE_LABELS_WIDTH = 1100
DEFAULT_SIZE = "Med"

TITLE_H = 25
KEYBOARD_H = 40
STRIPS_H = 280          # text strips with subtype, groups and extra rows; at least 280 beside meters
METERS_W = 133          # large master meters
FADE_W = 12             # meter fade tile
LOGO_W = 128            # title logo (skin 201); logo + tool bar = 560
TOOLBAR_W = 432         # tool bar page (skin 202)
BOX5_W = 205            # right group of the tool bar (skin 226)
PRESET_BOX_W, PRESET_BOX_H = 420, 54
PRESET_BOX_CLOSED_TOP = -29
TRAY_W, TRAY_H = 116, 250
TRAY_TAB_W = 14
GRAPH_SCROLLBAR_MARGIN = 35
SETUP_W, SETUP_MIN_H = 632, 403
WIZARD_W, WIZARD_H = 632, 428
PANE_X, PANE_Y, PANE_W = 170, 37, 450
LIST_X, LIST_W = 12, 150

AB_ITEMS = "\\n".join("ABCDEFGH")
MENUS = {
    "kParallel": ["All Series", "Peaks Parallel", "Peaks and Shelves Parallel"],
    "kGUIProcessMode": ["IIR", "FIR"],
    "kDPlusLen": ["Off", "16", "32", "64", "128", "256", "512"],
    "kIRPhase": ["Linear", "Full Minimum", "Zero-latency Analogue", "Analogue", "Free"],
    "kIRLength": [str(1024 << i) for i in range(9)],
    "kIRPad": ["x1", "x2", "x4", "x8"],
    "kIRWindow": ["Rectangular", "Hann", "Hamming", "Tukey", "Cosine", "Lanczos", "Triangular",
                  "Gaussian", "Bartlett-Hann", "Blackman", "Kaiser", "Nutall", "Blackman-Harris",
                  "Blackman-Nutall", "FlatTop"],
    "kGUIUseMS1": ["Mid/Side", "Left/Right"],
}
ABOUT = ("Harmoniform v1.00\\A 32-band parametric equaliser\\\\"
         "Filters, analyser, meters and editor:\\the Harmoniform developers\\\\"
         "Typeface: League Spartan Bold, \u00a9 2011-2020\\"
         "Micah Rich, Caroline Hadilaksono, Tyler Finck,\\"
         "under the SIL Open Font License 1.1")


TAG_KEYS = ("tag", "alttag")


def attr_text(key, value):
    """Numbers, booleans and enumerator names go unquoted (the notation's
    unquoted values), texts quoted with the XML references they need."""
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, int) or key in TAG_KEYS:
        return str(value)
    return '"' + str(value).replace("&", "&amp;").replace('"', "&quot;").replace("<", "&lt;") + '"'


class Writer:
    def __init__(self):
        self.lines = []
        self.depth = 0

    def comment(self, text):
        self.lines.append("  " * self.depth + "<!-- " + text + " -->")

    def element(self, name, x, y, w, h, **attrs):
        self.lines.append("  " * self.depth + self._open(name, x, y, w, h, attrs) + " />")

    def open(self, name, x, y, w, h, **attrs):
        self.lines.append("  " * self.depth + self._open(name, x, y, w, h, attrs) + ">")
        self.depth += 1
        return _Closer(self, name)

    @staticmethod
    def _open(name, x, y, w, h, attrs):
        parts = [f"<{name} x={x} y={y} width={max(w, 0)} height={max(h, 0)}"]
        parts += [f"{k}={attr_text(k, v)}" for k, v in attrs.items()]
        return " ".join(parts)


class _Closer:
    def __init__(self, writer, name):
        self.writer, self.name = writer, name

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.writer.depth -= 1
        self.writer.lines.append("  " * self.writer.depth + f"</{self.name}>")


def menu_row(w, y, label, tag, items=None, control="nTTMenu", **attrs):
    w.element("TextLabel", 16, y, 180, 20, txt=label)
    if items is not None:
        attrs["txt"] = "\\n".join(items)
    w.element(control, 200, y, 220, 20, tag=tag, **attrs)


def title_bar(w, width):
    w.comment("title bar: logo (opens the about page), filler, shadow, tool bar")
    w.element("nTiled", 0, 0, LOGO_W, TITLE_H, background=201)
    w.element("nPageSelect", 0, 0, LOGO_W, TITLE_H, tag="kGUIAbout", val=1)
    w.element("nTiled", LOGO_W, 0, width - TOOLBAR_W - LOGO_W, TITLE_H, tag="kGUIBox1", background=200)
    w.element("nTiled", 0, TITLE_H, width, 6, tag="kGUIBox3", background=225, clickthru=True)
    with w.open("nPage", width - TOOLBAR_W, 0, TOOLBAR_W, TITLE_H, tag="kGUIBox2", background=202):
        w.element("CKickButton", 6, 3, 54, 19, tag="kGUIPresetPage", background=203)
        w.element("CKickButton", 65, 3, 22, 19, tag="kGUIUndo", background=204)
        w.element("CKickButton", 88, 3, 22, 19, tag="kGUIRedo", background=205)
        w.element("SOptionMenu", 115, 3, 28, 19, tag="kGUIABMenu", alttag="kGUIABMenuAlt", background=206,
                  txt=AB_ITEMS)
        w.element("CopyToMenu", 147, 3, 42, 19, tag="kGUICopyTo", background=207, txt=AB_ITEMS)
        # The group menu sits right before the right group, which covers it
        # (moving 35 pixels left) when there is a single channel.
        box5_x = TOOLBAR_W - BOX5_W
        w.element("SGroupMenu", box5_x - 35, 3, 34, 19, tag="kGUIStereoMode", alttag="kGUIStereoMode2",
                  background=208)
        with w.open("nPage", box5_x, 0, BOX5_W, TITLE_H, tag="kGUIBox5", background=226):
            w.element("CKickButton", 5, 3, 44, 19, tag="kGUISetup", background=209)
            w.element("nAnalyserButton", 52, 3, 58, 19, tag="kGUIAnalyser", background=213)
            w.element("CMovieButton3", 113, 3, 52, 19, tag="kBypass", background=214)
            w.element("CMovieButton4", 168, 3, 34, 19, tag="kGUIClip", background=215)


def preset_box(w, width):
    w.comment("preset box: slides down from under the title bar")
    with w.open("nPage", (width - PRESET_BOX_W) // 2, PRESET_BOX_CLOSED_TOP, PRESET_BOX_W, PRESET_BOX_H,
                tag="kGUIPresetBox", background=211):
        w.element("CKickButton", 8, 5, 19, 19, tag="kGUIPresetPrev", background=216)
        w.element("CPresetMenu", 31, 5, 358, 19, tag="kGUIPresetMenu", background=224)
        w.element("CKickButton", 393, 5, 19, 19, tag="kGUIPresetNext", background=217)
        w.element("CMovieButton3", 52, 31, 36, 17, tag="kGUIPresetEQ", background=230)
        w.element("CMovieButton3", 91, 31, 36, 17, tag="kGUIPresetDSP", background=231)
        w.element("CMovieButton3", 130, 31, 36, 17, tag="kGUIPresetUI", background=232)
        w.element("CMovieButton3", 246, 31, 50, 17, tag="kGUIPresetBank", background=233)
        for page, (load, save) in enumerate([("kGUILoadPreset", "kGUISavePreset"), ("kGUILoad", "kGUISave")]):
            with w.open("nPage", 304, 31, 104, 17, tag="kGUIPresetBank", pagenumber=page):
                w.element("CKickButton", 0, 0, 50, 17, tag=load, background=234)
                w.element("CKickButton", 54, 0, 50, 17, tag=save, background=235)


def scale_tray(w, graph_h):
    w.comment("scale tray: slides in from the left; its tab stays in view")
    top = TITLE_H + (graph_h - GRAPH_SCROLLBAR_MARGIN - TRAY_H) // 2
    with w.open("nClickThruPage", -TRAY_W, top, TRAY_W + TRAY_TAB_W, TRAY_H, tag="kGUIScaleTray", background=220):
        for x, tag, caption in [(6, "kFShift", "SHIFT"), (62, "kScale", "SCALE")]:
            w.element("nTextDisplayC", x, 5, 46, 16, text=caption)
            w.element("CEQVSlider", x, 22, 46, 224, tag=tag, background=403, handle=400, rangehandle=208,
                      offsetx=9, offsety=0, style=64)
        w.element("SpecialArrows", TRAY_W, (TRAY_H - 40) // 2, TRAY_TAB_W, 40, tag="kGUIOpenScaleTray",
                  background=222, heightOfOneImage=40)


def setup_window(w, width, height):
    w.comment("setup window over the darkened editor")
    w.element("nDarken", 0, 0, width, height, tag="kGUISetup")
    pane_h = height - 82
    with w.open("nDraggablePage", max(0, (width - SETUP_W) // 2), TITLE_H, SETUP_W,
                max(SETUP_MIN_H, height - TITLE_H), tag="kGUISetup", pagenumber=1, background=210):
        w.element("nPageSelect", 603, 1, 24, 23, tag="kGUISetup", val=0)
        w.element("SetupWindow", LIST_X, PANE_Y, LIST_W, pane_h, tag="kGUISetupPage")
        w.element("CEQText", LIST_X + 8, PANE_Y + 4, LIST_W - 16, 17, tag="kGUIInstanceName")

        with w.open("nPageR", PANE_X, PANE_Y, PANE_W, pane_h, tag="kGUISetupPage", pagenumber=0):
            with w.open("nScrollBox", 0, 0, PANE_W, pane_h):
                menu_row(w, 16, "Parallel Mode:", "kParallel", MENUS["kParallel"])
                menu_row(w, 44, "Processing Mode:", "kGUIProcessMode", MENUS["kGUIProcessMode"])
                with w.open("nPage", 0, 72, PANE_W - 13, 28, tag="kGUIProcessMode", pagenumber=0):
                    menu_row(w, 0, "Digital+ Compensation:", "kDPlusLen", MENUS["kDPlusLen"])
                with w.open("nPage", 0, 72, PANE_W - 13, 448, tag="kGUIProcessMode", pagenumber=1):
                    menu_row(w, 0, "Phase:", "kIRPhase", MENUS["kIRPhase"])
                    w.element("PhaseGraph", 16, 28, 404, 130, tag="kGUIPhaseGraph", font=101, font2=102)
                    w.element("TextLabel", 16, 170, 180, 20, txt="Impulse Response:")
                    w.element("IRGraph", 16, 194, 404, 130, tag="kGUIIRGraph", font=101, font2=102)
                    menu_row(w, 336, "Impulse Length:", "kIRLength", MENUS["kIRLength"])
                    menu_row(w, 364, "Impulse Padding:", "kIRPad", MENUS["kIRPad"])
                    menu_row(w, 392, "Window Shape:", "kIRWindow", MENUS["kIRWindow"])
                    menu_row(w, 420, "Window Parameter:", "kIRWindowParam", control="CEQTextG")
        with w.open("nPageR", PANE_X, PANE_Y, PANE_W, pane_h, tag="kGUISetupPage", pagenumber=1):
            w.element("UIPreferences", 0, 0, PANE_W, pane_h, tag="kGUIUIPrefsChange")
        with w.open("nPageR", PANE_X, PANE_Y, PANE_W, pane_h, tag="kGUISetupPage", pagenumber=2):
            w.element("nTextDisplay", 16, 12, 418, 25, tag="kGUIChannelCount", text="This instance has 2 channels.")
            with w.open("nPage", 0, 48, PANE_W, 28, tag="kGUISurround", pagenumber=2):
                menu_row(w, 0, "Stereo Mode:", "kGUIUseMS1", MENUS["kGUIUseMS1"])
            with w.open("nPageR", 0, 48, PANE_W, pane_h - 48, tag="kGUISurround", pagenumber=1):
                w.element("RoutingMatrix", 16, 0, 418, pane_h - 64, tag="kGUIRoutingMatrix")
        with w.open("nPageR", PANE_X, PANE_Y, PANE_W, pane_h, tag="kGUISetupPage", pagenumber=3):
            w.element("Preferences", 0, 0, PANE_W, pane_h, tag="kGUIPrefsChange")
        with w.open("nPageR", PANE_X, PANE_Y, PANE_W, pane_h, tag="kGUISetupPage", pagenumber=4):
            w.element("nTextDisplay", 20, 16, 410, 300, text=ABOUT)


def layout(size_name, width):
    graph_area = width * 9 // 16          # title bar and graph
    height = graph_area + KEYBOARD_H + STRIPS_H
    graph_h = graph_area - TITLE_H
    strips_y = graph_area + KEYBOARD_H
    w = Writer()
    w.lines.append('<?xml version="1.0" encoding="UTF-8"?>')
    w.comment(f'Harmoniform editor layout, UI Size "{size_name}": {width} x {height}. '
              "Written by tools/layoutgen/make_layouts.py; edit that, not this.")
    with w.open("ui", 0, 0, width, height):
        with w.open("nPage", 0, 0, width, height, tag="kGUIWizardOpen", pagenumber=0):
            # From "Large" on, the dB scale, readouts and handle numbers take the
            # large face too: the small one reads as a footnote on a wide graph.
            w.element("EQGraph", 0, TITLE_H, width, graph_h, tag="kGUIEQGraph", font=101,
                      font2=101 if width >= LARGE_LABELS_WIDTH else 102)
            w.element("BandStrips", 0, strips_y, width - METERS_W, STRIPS_H)
            w.element("nTiledV", width - METERS_W - FADE_W, strips_y, FADE_W, STRIPS_H, tag="kGUIMeterFade",
                      background=807, clickthru=True)
            w.element("meterSection", width - METERS_W, strips_y, METERS_W, STRIPS_H)
            w.element("Keyboard", 0, graph_area, width, KEYBOARD_H, tag="kGUIKeyboard")
            preset_box(w, width)
            scale_tray(w, graph_h)
            title_bar(w, width)
            setup_window(w, width, height)
        with w.open("nPage", 0, 0, WIZARD_W, WIZARD_H, tag="kGUIWizardOpen", pagenumber=1):
            w.element("SetupWizard", 0, 0, WIZARD_W, WIZARD_H, tag="kGUIWizardOpen")
    return "\n".join(w.lines) + "\n"


def file_name(size_name):
    return "ui.xml" if size_name == DEFAULT_SIZE else f"ui-{size_name}.xml"


def main(argv):
    check = len(argv) == 3 and argv[1] == "--check"
    if len(argv) != (3 if check else 2):
        print(__doc__, file=sys.stderr)
        return 2
    out_dir = argv[-1]
    stale = []
    for name, width in SIZES:
        path = os.path.join(out_dir, file_name(name))
        text = layout(name, width)
        if check:
            try:
                with open(path, encoding="utf-8") as f:
                    if f.read() != text:
                        stale.append(path)
            except OSError:
                stale.append(path)
        else:
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
    for path in stale:
        print(f"{path} differs from what make_layouts.py writes", file=sys.stderr)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
