// harmoniform import FILE.txt -o PRESET.hmp and harmoniform export PRESET.hmp -o
// FILE.txt: parametric EQ text (headphone and room corrections) to a preset
// and back.
//
// The import maps the text in-process (core/peq) and writes the preset
// document the plug-in reads; the export asks a new instance for the bands, as
// a render does, so it sees what any host would load from the preset.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "core/peq/PeqDocument.h"
#include "core/peq/PeqExport.h"
#include "platform/AtomicFile.h"
#include "platform/TextCompare.h"
#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/HostSession.h"
#include "tools/harmoniform/Messages.h"
#include "tools/harmoniform/OutputPath.h"
#include "tools/harmoniform/TextImport.h"

namespace hm::tool {
namespace {

constexpr double kDefaultRate = 48000.0, kLowestRate = 22050.0, kHighestRate = 192000.0;

void importHelp() {
    std::printf("usage: harmoniform import FILE.txt -o PRESET.hmp [--rate HZ | --analogue] [--lenient]\n\n"
                "Reads a parametric EQ text (as headphone and room correction tools write: 'Preamp: -6.2 dB',\n"
                "'Filter 1: ON PK Fc 105 Hz Gain 4.5 dB Q 0.70', 'Channel: L') and writes it as a preset:\n"
                "one band per filter, in order (at most 32) (PK: Peak; LS/LSC, HS/HSC with Q or a slope such\n"
                "as 12dB: shelves, 6dB a first-order shelf; LP/LPQ, HP/HPQ: 12 dB/oct pass filters; NO: Notch;\n"
                "AP: all-pass). Preamp becomes the output Gain; OFF filters become bypassed bands; Channel\n"
                "L/R/ALL become band groups. Decimal commas are refused. Every line that cannot be imported is\n"
                "listed with its number, and nothing is written unless --lenient skips those lines.\n"
                "PRESET.hmp is written atomically.\n\n"
                "Correction tools compute their filters as the textbook digital biquads at the rate the\n"
                "correction plays at, whose peaks cramp toward the Nyquist frequency. By default the import\n"
                "fits each band's frequency, gain and Q (and a peak near Nyquist may become a high shelf) so\n"
                "that the bands, as Harmoniform runs them at that rate, follow the filters' textbook curve from\n"
                "20 Hz to 16 kHz; it prints the largest difference there and above, and where. Give the rate\n"
                "the preset will play at (44.1 kHz material, a 44.1 kHz device): the curves differ between\n"
                "rates in the treble. --analogue keeps each filter's own Fc, gain and Q instead (the analogue\n"
                "response, the same at every rate; export gives the same filters back) and prints the\n"
                "difference to the textbook biquads at 44.1 and 48 kHz below 20 kHz.\n\n"
                "options:\n"
                "  --output FILE, -o    the preset file to write (.hmp)\n"
                "  --rate HZ            the rate to fit for: 48000 (default), 44100, or any of 22050 to\n"
                "                       192000 (44.1k and 48k are read too)\n"
                "  --analogue           the filters' analogue prototypes, unfitted\n"
                "  --lenient            skip the lines that cannot be imported\n"
                "  --plugin FILE.so     accepted as by the other commands; the import needs no plug-in\n");
}

void exportHelp() {
    std::printf("usage: harmoniform export [PRESET.hmp | IN.txt] -o FILE.txt [options]\n\n"
                "Writes the bands of a preset as parametric EQ text: Preamp (the output Gain), then one\n"
                "Filter line per textbook filter with the same analogue response (bypassed bands as OFF,\n"
                "band groups as Channel lines). A band may need several filters (a 24 dB/oct Butterworth\n"
                "low-pass is two LPQ). Bands without an equivalent (odd pass orders, elliptic and vintage\n"
                "shapes, tilts, bands summed in parallel, mid or side alone) are listed on standard error\n"
                "and left out. FILE.txt is written atomically. PRESET.hmp is applied to a new instance as\n"
                "by --preset (a .txt as by --import); the other ways of choosing settings work too.\n\n"
                "options:\n"
                "  --output FILE, -o    the text file to write\n"
                "  --in-place           allow FILE to be the text read (rewritten in this form)\n%s",
                sessionOptionsHelp());
}

// The output option at args[i]; false when args[i] is not one.
bool takeOutput(const std::vector<std::string>& args, std::size_t& i, std::string& out, std::string& error) {
    if (args[i] != "-o" && args[i] != "--output") return false;
    if (i + 1 >= args.size()) error = args[i] + " needs a file name";
    else if (!out.empty()) error = "give one output file";
    else out = args[i + 1];
    i += 2;
    return true;
}

// "48000", "44.1k": a rate to fit for; none when it is no rate in range.
std::optional<double> parseRate(std::string text) {
    double factor = 1.0;
    if (!text.empty() && (text.back() == 'k' || text.back() == 'K')) {
        factor = 1000.0;
        text.pop_back();
    }
    const std::optional<double> value = peq::parseNumber(text);
    if (!value || !(*value * factor >= kLowestRate && *value * factor <= kHighestRate)) return std::nullopt;
    return *value * factor;
}

bool writeAtomically(const std::string& out, const std::string& input, bool inPlace, std::string_view bytes,
                     std::string& error) {
    OutputTarget target;
    if (!resolveOutput(out, input, inPlace, target, error)) return false;
    if (!platform::writeFileAtomically(target.path, bytes)) {
        error = "cannot write " + out;
        return false;
    }
    return true;
}

}  // namespace

int runImport(const std::vector<std::string>& args) {
    const std::string command = "import";
    std::string in, out, error;
    bool lenient = false, analogue = false, rateGiven = false;
    double rate = kDefaultRate;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            importHelp();
            return 0;
        }
        if (takeOutput(args, i, out, error)) {
            if (!error.empty()) return usageError(command, error);
        } else if (a == "--lenient" || a == "--analogue") {
            (a == "--lenient" ? lenient : analogue) = true;
            ++i;
        } else if (a == "--plugin") {
            // Accepted as every command accepts it; the import maps the text itself.
            if (i + 1 >= args.size()) return usageError(command, "--plugin needs a value");
            i += 2;
        } else if (a == "--rate") {
            if (i + 1 >= args.size()) return usageError(command, "--rate needs a sample rate in Hz");
            const std::optional<double> r = parseRate(args[i + 1]);
            if (!r) return usageError(command, "--rate takes a sample rate from 22050 to 192000 Hz, not '" + args[i + 1] + "'");
            rate = *r;
            rateGiven = true;
            i += 2;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError(command, "unknown option " + a);
        } else if (!in.empty()) {
            return usageError(command, "import reads one file; '" + a + "' is one too many");
        } else {
            in = a;
            ++i;
        }
    }
    if (in.empty()) return usageError(command, "import needs the text file to read (FILE.txt)");
    if (out.empty()) return usageError(command, "import needs the preset to write (-o PRESET.hmp)");
    if (!platform::endsWithIgnoreCase(out, ".hmp"))
        return usageError(command, out + ": a preset file's name ends in .hmp");

    if (analogue && rateGiven) return usageError(command, "--analogue is the same at every rate: give --rate or --analogue");

    TextImport text;
    if (!readTextImport(in, lenient, analogue ? 0.0 : rate, text, error)) return failure(command, error);
    const std::vector<unsigned char> chunk = peq::presetChunk(text.import.values, text.name);
    if (!writeAtomically(out, in, false, std::string_view(reinterpret_cast<const char*>(chunk.data()), chunk.size()), error))
        return failure(command, error);
    for (const std::string& line : text.lines) note(command, line);
    // The output Gain, then each channel whose preamp differs from it.
    const peq::Import& im = text.import;
    std::string preamp = "preamp " + peq::formatNumber(im.preampDb) + " dB";
    std::string channels;
    for (int c = 0; c < 8; ++c)
        if (im.channelPreampDb[c] != im.preampDb)
            channels += std::string(channels.empty() ? "" : ", ") + (c == 0 ? "L" : c == 1 ? "R" : std::to_string(c + 1)) +
                        " " + peq::formatNumber(im.channelPreampDb[c]) + " dB";
    if (!channels.empty()) preamp += " (channel " + channels + ")";
    std::fprintf(stderr, "harmoniform import: wrote %s: program \"%s\", %s, %s\n", out.c_str(), text.name.c_str(),
                 countOf(static_cast<std::int64_t>(im.mapped.size()), "band").c_str(), preamp.c_str());
    return 0;
}

int runExport(const std::vector<std::string>& args) {
    const std::string command = "export";
    SessionOptions options;
    std::string out, error;
    bool inPlace = false;
    for (std::size_t i = 0; i < args.size();) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            exportHelp();
            return 0;
        }
        if (a == "--in-place") {
            inPlace = true;
            ++i;
            continue;
        }
        if (takeOutput(args, i, out, error) || takeSessionOption(args, i, options, error)) {
            if (!error.empty()) return usageError(command, error);
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError(command, "unknown option " + a);
        } else if (!options.presetFile.empty() || !options.importFile.empty()) {
            return usageError(command, "export reads one preset; '" + a + "' is one too many");
        } else {
            // A text is read as by --import: exporting it tidies it into the form written here.
            (peq::isTextPath(a) ? options.importFile : options.presetFile) = a;
            ++i;
        }
    }
    if (out.empty()) return usageError(command, "export needs the text file to write (-o FILE.txt)");

    HostSession session;
    if (!session.open(options, 48000.0f, error)) return failure(command, error);
    for (const std::string& w : session.warnings()) warning(command, w);
    for (const std::string& n : session.notes()) note(command, n);
    peq::PresetValues values{};
    for (int i = 0; i < kNumParams; ++i) values[i] = session.instance().getParameter(i);
    const peq::Export text = peq::exportText(values, session.programName());
    const std::string& input = options.importFile.empty() ? options.presetFile : options.importFile;
    if (!writeAtomically(out, input, inPlace, text.text, error)) return failure(command, error);
    for (const std::string& band : text.leftOut) warning(command, "left out " + band);
    std::fprintf(stderr, "harmoniform export: wrote %s: %s\n", out.c_str(),
                 countOf(text.filters, "filter").c_str());
    return 0;
}

}  // namespace hm::tool
