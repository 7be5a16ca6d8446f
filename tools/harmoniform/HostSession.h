#pragma once
// One equaliser instance prepared the way a host prepares it for a render:
// library loaded, instance created and started at the file's rate, preset or
// bank applied through the chunk call, NAME=VALUE settings applied through
// setParameter, then given time to settle:
//   - the instance's 10 ms timer finishes deferred filter-bank updates and
//     reports a latency change through audioMasterIOChanged, after which the
//     effect record's initial delay is read (as a host re-reads it);
//   - a stretch of silence is processed so that new recursive coefficients have
//     glided in and output gains have reached their targets before the audio.
// Audio goes only through the effect record's processing callbacks, and the
// host says it is working offline (audioMasterGetCurrentProcessLevel).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/harmoniform/ParameterAssignment.h"
#include "tools/harmoniform/PluginHost.h"

namespace hm::tool {

struct SessionOptions {
    std::string pluginPath;
    std::string presetFile;  // .hmp applied as a preset chunk
    std::string bankFile;    // .hmb applied as a bank chunk
    std::string importFile;  // parametric EQ text, mapped and applied as a preset chunk
    bool lenient = false;    // skip the text's lines that cannot be imported
    bool analogue = false;   // the text's filters as their analogue prototypes, not fitted to the rate
    int program = 0;         // 1..20 selects a program (of the bank, else of the bank a new
                             // instance loads; an error when there is none); 0 keeps
    std::vector<std::string> assignments;  // NAME=VALUE, applied in order
    int blockSize = 1024;
    bool useDouble = false;  // processDoubleReplacing instead of processReplacing
};

// Consumes the session option at args[i] (and its value), advancing i. Answers
// false when args[i] is no session option; sets `error` for a malformed one.
bool takeSessionOption(const std::vector<std::string>& args, std::size_t& i, SessionOptions& options,
                       std::string& error);

// The --help lines of the session options.
const char* sessionOptionsHelp();

// The settings host-facing values are read in (Scale, Shift, the first pair's
// mid/side state), as the instance has them now.
ParameterContext parameterContextOf(host::PluginInstance& instance);

// Applies one NAME=VALUE of the equaliser's own parameters (ParameterAssignment.h)
// to a running instance. False with a message when it does not parse.
bool applyAssignment(host::PluginInstance& instance, const std::string& text, std::string& error);

class HostSession {
public:
    // False with a message: library, instance, preset/bank files and every
    // assignment are checked here, before the caller writes anything.
    bool open(const SessionOptions& options, float sampleRate, std::string& error);

    int channels() const;         // what the instance takes (its input count)
    int latency() const { return latency_; }  // samples, as the effect record reports it
    int ioChangedCalls() const;   // how often the instance reported a latency change
    float sampleRate() const { return sampleRate_; }
    int blockSize() const { return options_.blockSize; }
    host::PluginInstance& instance() { return *instance_; }

    // Processes up to blockSize() frames of planar double buffers with the
    // instance's channel count, through the float or the double callback.
    void process(double** inputs, double** outputs, int frames);

    // A parameter's real value by the parameter model's base conversion (band
    // gains as a fraction of Scale, band frequencies before Shift).
    double realValue(int index);

    // Program name and the active bands' descriptions, as the instance shows them.
    std::string programName();
    std::vector<std::string> activeBands();

    // How many parameters the --set assignments changed (0 when none did).
    int changesBySet() const { return changesBySet_; }
    // Things the caller should pass on to the user (an empty program slot chosen).
    const std::vector<std::string>& warnings() const { return warnings_; }
    // What an imported text reported: skipped lines and the fidelity report.
    const std::vector<std::string>& notes() const { return notes_; }

    // Re-reads the initial delay after the timer had time to report a change.
    void settle();

private:
    bool applyStateFile(const std::string& path, bool bank, std::string& error);
    bool applyTextImport(std::string& error);
    bool applyAssignments(std::string& error);
    bool selectProgram(std::string& error);

    SessionOptions options_;
    float sampleRate_ = 44100.0f;
    std::unique_ptr<host::PluginLibrary> library_;
    std::unique_ptr<host::PluginInstance> instance_;
    int latency_ = 0;
    int changesBySet_ = 0;
    std::vector<std::string> warnings_;
    std::vector<std::string> notes_;
    std::vector<std::vector<float>> floatIn_, floatOut_;
    std::vector<float*> floatInPtr_, floatOutPtr_;
};

}  // namespace hm::tool
