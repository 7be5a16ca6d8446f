#pragma once
// The LV2 face of the parameter model: every host parameter as a control port in
// its real unit. The bundle's Turtle is written from these descriptions at build
// time and the wrapper converts port values with them, so the two cannot drift.
#include <string>
#include <vector>

#include "core/params/ParamIds.h"

namespace hm::lv2 {

enum class PortUnit { None, Decibel, Hertz, Percent };

struct ScalePoint {
    float value;
    std::string label;
};

struct ControlPort {
    int index = 0;            // the host parameter, also the LV2 port index
    std::string symbol;       // band1_gain
    std::string name;         // Band1 Gain
    PortUnit unit = PortUnit::None;
    float minimum = 0.0f, maximum = 1.0f, defaultValue = 0.0f;
    bool integer = false;
    bool toggled = false;
    bool enumeration = false;  // only the scale points are values
    bool logarithmic = false;
    std::vector<ScalePoint> scalePoints;
};

// Ports after the controls: the reported latency and the MIDI input; the audio
// inputs follow, then the audio outputs, then the host's freewheel flag and its
// enable switch. Stored
// sessions name ports by index and symbol: new ports only ever go at the end.
constexpr int kLatencyPort = kNumParams;
constexpr int kMidiPort = kNumParams + 1;
constexpr int kFirstAudioPort = kNumParams + 2;
constexpr int freewheelPort(int channels) { return kFirstAudioPort + 2 * channels; }
// The host's own bypass, designated lv2:enabled: 1 while processing, 0 to bypass.
constexpr int enabledPort(int channels) { return freewheelPort(channels) + 1; }

// A channel level at or below this port value is silence.
constexpr float kSilentLevelDb = -90.0f;
// A band's gain port spans the widest Scale.
constexpr float kBandGainRangeDb = 36.0f;

// The port symbol of an enumerator name: kBand1Gain -> band1_gain, kIRWindowParam ->
// ir_window_param, kABBank -> ab_bank.
std::string portSymbol(const std::string& enumeratorName);

// The description of the control port of parameter `index` (0..kNumParams-1)
// in the plug-in with `channels` channels (which names a band's groups). Any thread.
ControlPort describeControlPort(int index, int channels = 2);

// The instance's current global settings that band values in real units depend on.
struct PortContext {
    double scaleDb = 18.0;     // the dB a band Gain of +1 stands for
    double shiftFactor = 1.0;  // the global frequency Shift as a factor
};

// The host-normalised value (0..1) that sets parameter `index` to port value
// `value`. Out-of-range values give the nearest end; a non-finite value gives NaN,
// which the instance ignores as it ignores any non-finite host value. Real-time safe.
float portToNormalised(int index, float value, const PortContext& context);

// The port value that stands for the host-normalised value `normalised` of
// parameter `index`: the way back of portToNormalised, clamped to the port's
// range. Real-time safe.
float normalisedToPort(int index, float normalised, const PortContext& context);

// The context from the instance's current normalised Scale and Shift. Real-time safe.
PortContext portContextFrom(float scaleNormalised, float shiftNormalised);

}  // namespace hm::lv2
