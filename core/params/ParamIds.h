#pragma once
// Parameter indices and editor tags. Globals 0..13, four parameters per channel
// from 14, ten per band from 46; editor tags from 500 are not host parameters.
// The names of all of them live in one enumeration text (Enumeration.h); these
// constants mirror it and a test keeps the two in step.

namespace hm {

enum GlobalParam : int {
    kBypass = 0,
    kGain,
    kScale,
    kFShift,
    kMode,
    kParallel,
    kABBank,
    kIRLength,
    kIRWindow,
    kIRWindowParam,
    kIRPhase,
    kIRPad,
    kDPlusLen,
    kMsState,
    kNumGlobals
};

constexpr int kMaxChannels = 8;
constexpr int kNumBands = 32;
constexpr int kParamsPerChannel = 4;
constexpr int kParamsPerBand = 10;
constexpr int kFirstChannelParam = kNumGlobals;                                    // 14
constexpr int kFirstBandParam = kFirstChannelParam + kMaxChannels * kParamsPerChannel;  // 46
constexpr int kNumParams = kFirstBandParam + kNumBands * kParamsPerBand;             // 366
constexpr int kNumPrograms = 20;
constexpr int kNumABSlots = 8;

enum ChannelField : int { kChannelLevel = 0, kChannelPhase, kChannelMute, kChannelSolo };
enum BandField : int {
    kBandState = 0,
    kBandGroups,
    kBandType,
    kBandSubtype,
    kBandGain,
    kBandFrequency,
    kBandQ,
    kBandShift,
    kBandSlope,
    kBandPhase
};

constexpr int channelParam(int channel, int field) { return kFirstChannelParam + channel * kParamsPerChannel + field; }
constexpr int bandParam(int band, int field) { return kFirstBandParam + band * kParamsPerBand + field; }
constexpr bool isParam(int index) { return index >= 0 && index < kNumParams; }
// -1 for anything that is not a band parameter.
constexpr int bandOf(int index) { return index >= kFirstBandParam && index < kNumParams ? (index - kFirstBandParam) / kParamsPerBand : -1; }
constexpr int bandFieldOf(int index) { return index >= kFirstBandParam && index < kNumParams ? (index - kFirstBandParam) % kParamsPerBand : -1; }
constexpr int channelOf(int index) { return index >= kFirstChannelParam && index < kFirstBandParam ? (index - kFirstChannelParam) / kParamsPerChannel : -1; }
constexpr int channelFieldOf(int index) { return index >= kFirstChannelParam && index < kFirstBandParam ? (index - kFirstChannelParam) % kParamsPerChannel : -1; }

// Editor tags: controls of the editor that are not host parameters.
enum GuiTag : int {
    kGUIEQGraph = 500,
    kGUIPresetMenu,
    kGUIProcessMode,
    kGUIStereoMode,
    kGUIStereoMode2,
    kGUIAnalyser,
    kGUISetup,
    kGUISetupPage,
    kGUIPresetPage,
    kGUIPresetBox,
    kGUIPresetBank,
    kGUIPresetName,
    kGUIPresetPrev,
    kGUIPresetNext,
    kGUISave,
    kGUILoad,
    kGUISavePreset,
    kGUILoadPreset,
    kGUIPresetEQ,
    kGUIPresetDSP,
    kGUIPresetUI,
    kGUIUndo,
    kGUIRedo,
    kGUIABMenu,
    kGUIABMenuAlt,
    kGUICopyTo,
    kGUIMeterPrePost,
    kGUIMeterSection,
    kGUIMeterReadout,
    kGUIMeterFade,
    kGUIVU,
    kGUIClip,
    kGUIPrefsChange,
    kGUIUIPrefsChange,
    kGUIAbout,
    kGUIStripsChanged,
    kGUISelectOnly,
    kGUISelectToggle,
    kGUIUseMS1,
    kGUIUseMS2,
    kGUIUseMS3,
    kGUIUseMS4,
    kGUIPleaseRebuildStrips,
    kGUIGroupNamesChanged,  // 543
    kGUIInstanceName,
    kGUIChannelCount,
    kGUISurround,
    kGUIInstancesChanged,  // 547
    kGUIAnalyserUpdated,
    kGUIOpenScaleTray,
    kGUIScaleTray,
    kGUIWizardOpen,
    kGUIWizardCompleted,
    kGUIReloadFreqDefault,
    kGUIKeyboard,
    kGUIPhaseGraph,
    kGUIIRGraph,
    kGUIRoutingMatrix,
    kGUIBox1,
    kGUIBox2,
    kGUIBox3,
    kGUIBox4,
    kGUIBox5,
    kGUIChannel12Link,
    kGUIChannel34Link,
    kGUIChannel56Link,
    kGUIChannel78Link,
    kGUIMasterMeter1,
    kGUIMasterMeter2,
    kGUIChannel1Meter,
    kGUIChannel8Meter = kGUIChannel1Meter + 7,  // 576
    kGUIBandPressed,                            // a band's own control was pressed (value: the band)
    kGUISelectedBand = 700,                     // + band 0..31
};

static_assert(kNumParams == 366);
static_assert(kGUIGroupNamesChanged == 543);
static_assert(kGUIInstancesChanged == 547);
static_assert(kGUIChannel8Meter == 576);

}  // namespace hm
