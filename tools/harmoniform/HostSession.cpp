#include "tools/harmoniform/HostSession.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "core/params/Conversion.h"
#include "core/params/ParamTable.h"
#include "core/peq/PeqDocument.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "prefs/ChunkCodec.h"
#include "prefs/Json.h"
#include "tools/harmoniform/Messages.h"
#include "tools/harmoniform/ParameterAssignment.h"
#include "tools/harmoniform/PluginPath.h"
#include "tools/harmoniform/TextImport.h"

namespace hm::tool {
namespace {

constexpr std::size_t kMaxStateFileBytes = 64u << 20;
// Several ticks of the instance's 10 ms timer at least; longer while it keeps
// reporting latency changes, up to a limit.
constexpr auto kSettleTime = std::chrono::milliseconds(60);
constexpr auto kQuietTime = std::chrono::milliseconds(30);
constexpr auto kSettleLimit = std::chrono::seconds(2);
// Silence processed before the audio: twice the 1000-sample coefficient glide.
constexpr int kPrerollFrames = 4096;

double realOf(host::PluginInstance& plugin, int index) {
    const ParamRecord& r = staticParamTable()[index];
    return normalisedToRealBase(r.kind, r.minimum, r.maximum, plugin.getParameter(index));
}

const char* const kTypeNames[] = {"Peak", "High-pass", "Low shelf", "High shelf", "Low-pass", "Notch"};

}  // namespace

const char* sessionOptionsHelp() {
    return "  --preset FILE.hmp    apply a preset file (as a host applies a preset chunk)\n"
           "  --bank FILE.hmb      apply a bank file (as a host restores a project)\n"
           "  --import FILE.txt    apply a parametric EQ text (Preamp and Filter lines) as a preset;\n"
           "                       fitted to the textbook digital biquads at the rate of the run;\n"
           "                       prints how far the bands are from them\n"
           "  --lenient            with --import: skip the lines that cannot be imported (otherwise\n"
           "                       any such line stops the command)\n"
           "  --analogue           with --import: the filters' analogue prototypes, unfitted\n"
           "  --program N          use program N (1..20) of the bank, or of the bank a new instance\n"
           "                       loads (Default Bank.hmp, else Factory Bank.hmp; an error when\n"
           "                       there is none); a preset is then applied to that program\n"
           "  --set NAME=VALUE     set a parameter; repeatable, applied in order after the preset\n"
           "                       NAME: kBand1Gain, \"Band1 Gain\" or the index info prints (50)\n"
           "                       VALUE: the value as a host shows it, in the parameter's own unit:\n"
           "                       Gain=-3 (dB), Frequency=1000 or 1k or \"1 kHz\", Q=0.7, Shift=25 (%),\n"
           "                       IRLength=8192; units may be written (6dB, \"6 dB\", 2Q); choices by\n"
           "                       name: State=On|Bypass|Off, Type=Peak|HPF|LowShelf|HighShelf|LPF|Notch,\n"
           "                       Mode=IIR|FIR, Groups=Left|Right|Mid|Side|Stereo|All; a host's\n"
           "                       normalised 0..1 with the suffix n (0.25n). Out of range is an error.\n"
           "  --block N            frames per processing call (1..65536, default 1024)\n"
           "  --double             use the double-precision processing callback\n"
           "  --plugin FILE.so     the plug-in library (default: $HARMONIFORM_PLUGIN, else searched\n"
           "                       beside this tool, in ~/.vst, $VST_PATH and the system folders)\n";
}

bool takeSessionOption(const std::vector<std::string>& args, std::size_t& i, SessionOptions& options,
                       std::string& error) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    const auto value = [&]() -> const std::string& { return args[++i]; };
    if (a == "--double" || a == "--lenient" || a == "--analogue") {
        (a == "--double" ? options.useDouble : a == "--lenient" ? options.lenient : options.analogue) = true;
        ++i;
        return true;
    }
    if (a != "--preset" && a != "--bank" && a != "--import" && a != "--program" && a != "--set" && a != "--block" &&
        a != "--plugin")
        return false;
    if (!hasValue) {
        error = a + " needs a value";
        ++i;
        return true;
    }
    if (a == "--preset") options.presetFile = value();
    else if (a == "--bank") options.bankFile = value();
    else if (a == "--import") options.importFile = value();
    else if (a == "--plugin") options.pluginPath = value();
    else if (a == "--set") options.assignments.push_back(value());
    else {
        const std::string& text = value();
        char* end = nullptr;
        const long n = std::strtol(text.c_str(), &end, 10);
        const bool program = a == "--program";
        const long hi = program ? 20 : 65536;
        if (!end || *end != '\0' || n < 1 || n > hi) error = a + " takes a number from 1 to " + std::to_string(hi);
        else if (program) options.program = static_cast<int>(n);
        else options.blockSize = static_cast<int>(n);
    }
    ++i;
    return true;
}

bool HostSession::open(const SessionOptions& options, float sampleRate, std::string& error) {
    options_ = options;
    sampleRate_ = sampleRate;
    if (!options_.presetFile.empty() && !options_.bankFile.empty()) {
        error = "give either --preset or --bank, not both";
        return false;
    }
    if (!options_.presetFile.empty() && !options_.importFile.empty()) {
        error = "give either --preset or --import, not both";
        return false;
    }
    library_ = openPlugin(options_.pluginPath, error);
    if (!library_) return false;
    const std::string& path = library_->path();
    host::HostBehaviour behaviour;
    behaviour.sampleRate = sampleRate;
    behaviour.blockSize = options_.blockSize;
    // Every command with a session processes audio offline (renders, measurements,
    // the settling silence): the instance may take its time and stay exact.
    behaviour.processLevel = vst::kVstProcessLevelOffline;
    instance_ = host::PluginInstance::create(*library_, behaviour);
    if (!instance_) {
        error = path + ": the plug-in refused to start";
        return false;
    }
    vst::AEffect* e = instance_->effect();
    if (options_.useDouble && !(e->flags & vst::effFlagsCanDoubleReplacing)) {
        error = "the plug-in offers no double-precision processing";
        return false;
    }
    if (e->numInputs < 1 || e->numInputs != e->numOutputs) {
        error = "the plug-in has " + std::to_string(e->numInputs) + " inputs and " + std::to_string(e->numOutputs) +
                " outputs; an equaliser needs as many outputs as inputs";
        return false;
    }
    instance_->start(sampleRate, options_.blockSize);

    // A bank brings the programs to choose from; a preset goes into the program chosen.
    if (!options_.bankFile.empty() && !applyStateFile(options_.bankFile, true, error)) return false;
    if (!selectProgram(error)) return false;
    if (!options_.presetFile.empty() && !applyStateFile(options_.presetFile, false, error)) return false;
    if (!options_.importFile.empty() && !applyTextImport(error)) return false;
    if (!applyAssignments(error)) return false;

    const auto buffers = [&](std::vector<std::vector<float>>& b, std::vector<float*>& p) {
        b.assign(static_cast<std::size_t>(channels()), std::vector<float>(static_cast<std::size_t>(options_.blockSize)));
        p.clear();
        for (auto& v : b) p.push_back(v.data());
    };
    buffers(floatIn_, floatInPtr_);
    buffers(floatOut_, floatOutPtr_);

    settle();
    std::vector<std::vector<double>> silence(static_cast<std::size_t>(channels()),
                                             std::vector<double>(static_cast<std::size_t>(options_.blockSize)));
    std::vector<std::vector<double>> out = silence;
    std::vector<double*> in, outp;
    for (auto& v : silence) in.push_back(v.data());
    for (auto& v : out) outp.push_back(v.data());
    for (int done = 0; done < kPrerollFrames; done += options_.blockSize)
        process(in.data(), outp.data(), std::min(options_.blockSize, kPrerollFrames - done));
    settle();
    return true;
}

bool HostSession::applyStateFile(const std::string& path, bool bank, std::string& error) {
    std::string bytes;
    if (!readInputFile(path, kMaxStateFileBytes, "a preset or bank file", bytes, error)) return false;
    // The instance applies what it can read and ignores the rest without a word,
    // as a host expects; a command line wants to hear about a damaged file.
    const auto text = state::decodeChunk(bytes);
    const prefs::JsonPtr document = text ? prefs::parseJson(*text) : nullptr;
    if (!cJSON_IsObject(document.get())) {
        error = path + " is not a preset or bank file (it cannot be decoded as one)";
        return false;
    }
    const bool isBank = prefs::member(document.get(), "presets") != nullptr;
    if (isBank != bank) {
        error = path + (isBank ? " is a bank file: use --bank" : " is a preset file: use --preset");
        return false;
    }
    if (!isBank && !cJSON_IsObject(prefs::member(document.get(), "parameters"))) {
        error = path + " holds no parameters";
        return false;
    }
    instance_->dispatch(vst::effSetChunk, bank ? 0 : 1, static_cast<std::intptr_t>(bytes.size()), bytes.data());
    return true;
}

bool HostSession::applyTextImport(std::string& error) {
    TextImport text;
    const double rate = options_.analogue ? 0.0 : static_cast<double>(sampleRate_);
    if (!readTextImport(options_.importFile, options_.lenient, rate, text, error)) return false;
    std::vector<unsigned char> chunk = peq::presetChunk(text.import.values, text.name);
    instance_->dispatch(vst::effSetChunk, 1, static_cast<std::intptr_t>(chunk.size()), chunk.data());
    notes_ = text.lines;
    return true;
}

bool HostSession::selectProgram(std::string& error) {
    if (options_.program <= 0) return true;
    std::string bank = options_.bankFile;
    if (bank.empty()) {
        // The instance loaded the first of these it could read, if any.
        const platform::SettingsStore settings(platform::SettingsStore::defaultFilePath());
        const std::vector<std::string> files = platform::startupBankFiles(settings);
        for (const std::string& f : files)
            if (platform::readWholeFile(f, kMaxStateFileBytes).status == platform::ReadStatus::Ok) {
                bank = f;
                break;
            }
        if (bank.empty()) {
            error = "--program " + std::to_string(options_.program) +
                    ": no bank to choose a program from; looked for, in order:";
            for (const std::string& f : files) error += "\n  " + f;
            error += "\ngive --bank FILE";
            return false;
        }
    }
    instance_->dispatch(vst::effSetProgram, 0, options_.program - 1);
    if (programName() == "-")
        warnings_.push_back("program " + std::to_string(options_.program) + " of " + bank +
                            " is an empty slot: it holds the default settings");
    return true;
}

ParameterContext parameterContextOf(host::PluginInstance& instance) {
    ParameterContext context;
    context.scaleDb = realOf(instance, kScale);
    context.shiftFactor = realOf(instance, kFShift) * 0.01;
    context.firstPairMidSide = (std::lround(realOf(instance, kMsState)) & 8) != 0;
    return context;
}

bool applyAssignment(host::PluginInstance& instance, const std::string& text, std::string& error) {
    // Band gains, frequencies and groups are read at the Scale, Shift and
    // mid/side state in force now, including changes by earlier assignments.
    Assignment a;
    if (!parseAssignment(text, parameterContextOf(instance), a, error)) return false;
    instance.setParameter(a.index, a.normalised);
    return true;
}

bool HostSession::applyAssignments(std::string& error) {
    std::vector<float> before(kNumParams);
    for (int i = 0; i < kNumParams; ++i) before[i] = instance_->getParameter(i);
    for (const std::string& text : options_.assignments)
        if (!applyAssignment(*instance_, text, error)) return false;
    changesBySet_ = 0;
    for (int i = 0; i < kNumParams; ++i) changesBySet_ += instance_->getParameter(i) != before[i];
    return true;
}

int HostSession::channels() const { return instance_ ? instance_->effect()->numInputs : 0; }

int HostSession::ioChangedCalls() const { return instance_ ? instance_->countCalls(vst::audioMasterIOChanged) : 0; }

void HostSession::settle() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastChange = start;
    int reports = ioChangedCalls();
    while (true) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const Clock::time_point now = Clock::now();
        if (const int n = ioChangedCalls(); n != reports) {
            reports = n;
            lastChange = now;
        }
        if ((now - start >= kSettleTime && now - lastChange >= kQuietTime) || now - start >= kSettleLimit) break;
    }
    // As a host does after audioMasterIOChanged: read the effect record again.
    latency_ = std::max(0, instance_->effect()->initialDelay);
}

void HostSession::process(double** inputs, double** outputs, int frames) {
    if (options_.useDouble) {
        instance_->processDouble(inputs, outputs, frames);
        return;
    }
    const int c = channels();
    for (int ch = 0; ch < c; ++ch)
        for (int i = 0; i < frames; ++i) floatIn_[ch][i] = static_cast<float>(inputs[ch][i]);
    instance_->processFloat(floatInPtr_.data(), floatOutPtr_.data(), frames);
    for (int ch = 0; ch < c; ++ch)
        for (int i = 0; i < frames; ++i) outputs[ch][i] = floatOut_[ch][i];
}

double HostSession::realValue(int index) { return realOf(*instance_, index); }

std::string HostSession::programName() {
    char name[256] = {};
    instance_->dispatch(vst::effGetProgramName, 0, 0, name);
    return name;
}

std::vector<std::string> HostSession::activeBands() {
    std::vector<std::string> bands;
    for (int b = 0; b < kNumBands; ++b) {
        if (std::lround(realOf(*instance_, bandParam(b, kBandState))) != 2) continue;
        const int type = static_cast<int>(std::lround(realOf(*instance_, bandParam(b, kBandType))));
        const bool pass = type == 2 || type == 5;
        // The host's display text names the value and its label carries the unit.
        const auto shown = [&](int field) {
            const std::string label = instance_->parameterLabel(bandParam(b, field));
            const std::string display = instance_->parameterDisplay(bandParam(b, field));
            return label.empty() ? display : display + " " + label;
        };
        std::string text = "Band" + std::to_string(b + 1) + ": " + kTypeNames[std::clamp(type, 1, 6) - 1] + " " +
                           shown(kBandFrequency);
        if (pass) text += ", " + shown(kBandSlope) + "/oct";
        else if (type != 6) text += ", " + shown(kBandGain);
        text += ", " + shown(kBandQ);
        bands.push_back(text);
    }
    return bands;
}

}  // namespace hm::tool
