// harmoniform bench PLUGIN.so [options]: CPU cost of a plug-in, alone or beside another.
//
// Machines running other work time nothing exactly, so the two plug-ins take turns
// in one process (A B, then B A, ...) and what is reported is the median over the
// rounds: of each one's cost and of the per-round ratio, which cancels most of the
// drift that a busy machine adds to both alike.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/harmoniform/BenchTarget.h"
#include "tools/harmoniform/Commands.h"
#include "tools/harmoniform/Messages.h"

namespace hm::tool {
namespace {

void benchHelp(std::FILE* out) {
    std::fprintf(out,
                 "usage: harmoniform bench PLUGIN.so [options] [--compare OTHER.so [--compare-set NAME=VALUE]...]\n\n"
                 "Loads VST 2.4 plug-ins as a host does, feeds them noise in blocks through the float\n"
                 "processing callback and reports the processing thread's CPU time per second of\n"
                 "audio (as a share of one core). With --compare the two run in turns in this one\n"
                 "process and the median of the per-round ratios is reported.\n\n"
                 "options:\n"
                 "  --set NAME=VALUE          a setting of PLUGIN.so (repeatable, applied in order)\n"
                 "  --compare OTHER.so        a second plug-in to run in turns with the first\n"
                 "  --compare-set NAME=VALUE  a setting of OTHER.so (repeatable)\n"
                 "  --automate I=FROM..TO     host automation of PLUGIN.so: parameter I (its index, as\n"
                 "                            'harmoniform info' lists them) set before every block,\n"
                 "                            sweeping between the normalised values FROM and TO and back\n"
                 "                            once a second\n"
                 "  --compare-automate I=FROM..TO  the same for OTHER.so\n"
                 "  --block N                 frames per processing call (1..65536, default 512)\n"
                 "  --rate R                  sample rate in Hz (8000..384000, default 48000)\n"
                 "  --seconds S               audio per run in seconds (0.01..600, default 2)\n"
                 "  --rounds N                runs of each plug-in (1..1000, default 7)\n"
                 "  --verbose                 list every setting as the plug-in shows it\n\n"
                 "Settings of Harmoniform take the forms of 'harmoniform render --help'. Any other\n"
                 "plug-in's are found by the names it reports ('harmoniform info' lists them) and\n"
                 "matched on its display: a choice (Bell), a number as shown (3 for 3.00 dB, 1k5),\n"
                 "or norm:X for a normalised value.\n\n"
                 "example:\n"
                 "  harmoniform bench ~/.vst/Harmoniform.so --set \"Band1 State=On\" --set kBand1Gain=3dB \\\n"
                 "      --compare other.so --compare-set ft_0=Bell --compare-set g_0=3\n");
}

struct Options {
    std::string plugin, other;
    std::vector<std::string> sets, otherSets;
    BenchSweep sweep, otherSweep;
    BenchSetup setup;
    double seconds = 2.0;
    int rounds = 7;
    bool verbose = false;
};

bool number(const std::string& text, double lo, double hi, double& out) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(v >= lo && v <= hi)) return false;
    out = v;
    return true;
}

bool parse(const std::vector<std::string>& args, Options& o, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--verbose") {
            o.verbose = true;
            continue;
        }
        if (a.rfind("--", 0) != 0) {
            if (!o.plugin.empty()) {
                error = "one plug-in to bench; give the second with --compare (got '" + a + "')";
                return false;
            }
            o.plugin = a;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = a + " needs a value";
            return false;
        }
        const std::string& v = args[++i];
        double x = 0.0;
        if (a == "--set") o.sets.push_back(v);
        else if (a == "--compare") o.other = v;
        else if (a == "--compare-set") o.otherSets.push_back(v);
        else if ((a == "--automate" && parseSweep(v, o.sweep)) || (a == "--compare-automate" && parseSweep(v, o.otherSweep)))
            continue;
        else if (a == "--automate" || a == "--compare-automate") {
            error = a + " takes INDEX=FROM..TO with normalised values 0..1 (got '" + v + "')";
            return false;
        }
        else if (a == "--block" && number(v, 1, 65536, x) && x == static_cast<int>(x)) o.setup.block = static_cast<int>(x);
        else if (a == "--rate" && number(v, 8000, 384000, x)) o.setup.rate = static_cast<float>(x);
        else if (a == "--seconds" && number(v, 0.01, 600, x)) o.seconds = x;
        else if (a == "--rounds" && number(v, 1, 1000, x) && x == static_cast<int>(x)) o.rounds = static_cast<int>(x);
        else if (a == "--block" || a == "--rate" || a == "--seconds" || a == "--rounds") {
            error = a + " takes no '" + v + "' (see --help)";
            return false;
        } else {
            error = "unknown option " + a;
            return false;
        }
    }
    if (o.plugin.empty()) error = "name the plug-in library to bench";
    else if (o.other.empty() && !o.otherSets.empty()) error = "--compare-set needs --compare";
    else if (o.other.empty() && o.otherSweep.index >= 0) error = "--compare-automate needs --compare";
    return error.empty();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void printTarget(const char* tag, const BenchTarget& t, const std::vector<double>& cpu,
                 const std::vector<double>& worst, double seconds, bool verbose) {
    const auto [lo, hi] = std::minmax_element(cpu.begin(), cpu.end());
    const double scale = 100.0 / seconds;
    std::printf("%s  %-40s %d ch  %8.4f %% of a core  (min %.4f, max %.4f); worst call %.3f ms\n", tag,
                baseName(t.path()).c_str(), t.channels(), median(cpu) * scale, *lo * scale, *hi * scale,
                1000.0 * *std::max_element(worst.begin(), worst.end()));
    if (verbose)
        for (const std::string& s : t.applied()) std::printf("     %s\n", s.c_str());
}

}  // namespace

int runBench(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        benchHelp(stdout);
        return 0;
    }
    Options o;
    std::string error;
    if (!parse(args, o, error)) return usageError("bench", error);
    BenchTarget a, b;
    if (!a.open(o.plugin, o.sets, o.setup, error, o.sweep) ||
        (!o.other.empty() && !b.open(o.other, o.otherSets, o.setup, error, o.otherSweep)))
        return failure("bench", error);
    const bool compare = !o.other.empty();
    std::vector<double> cpuA, cpuB, ratios, worstA, worstB;
    for (int r = 0; r < o.rounds; ++r) {
        // Alternate who goes first, so a trend in the machine's load favours neither.
        double ta = 0.0, tb = 0.0;
        if (compare && r % 2) tb = b.run(o.seconds);
        ta = a.run(o.seconds);
        if (compare && !(r % 2)) tb = b.run(o.seconds);
        cpuA.push_back(ta);
        worstA.push_back(a.worstCall());
        if (!compare) continue;
        cpuB.push_back(tb);
        worstB.push_back(b.worstCall());
        ratios.push_back(tb > 0.0 ? ta / tb : 0.0);
    }
    std::printf("%g Hz, %d-frame blocks, %d round%s of %g s of audio; processing-thread CPU, medians\n",
                static_cast<double>(o.setup.rate), o.setup.block, o.rounds, o.rounds == 1 ? "" : "s", o.seconds);
    printTarget("A", a, cpuA, worstA, o.seconds, o.verbose);
    if (!compare) return 0;
    printTarget("B", b, cpuB, worstB, o.seconds, o.verbose);
    const auto [lo, hi] = std::minmax_element(ratios.begin(), ratios.end());
    std::printf("A/B %8.3f  median of the per-round ratios (min %.3f, max %.3f)\n", median(ratios), *lo, *hi);
    return 0;
}

}  // namespace hm::tool
