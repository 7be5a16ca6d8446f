#include "tools/harmoniform/TextImport.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/peq/PeqDocument.h"
#include "core/peq/PeqFidelity.h"
#include "core/peq/PeqFit.h"
#include "tools/harmoniform/Messages.h"

namespace hm::tool {

namespace {
constexpr double kFitAimDb = 0.1;  // what the fit aims for up to 16 kHz
}  // namespace

bool readTextImport(const std::string& path, bool lenient, double playRate, TextImport& out, std::string& error) {
    // A pipe or a device would be read until its writer stops, maybe never.
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        error = path + " is not a regular file: a filter list is read from a file";
        return false;
    }
    std::string bytes;
    if (!readInputFile(path, peq::kMaxTextBytes, "a filter list", bytes, error)) return false;
    out.import = peq::importText(bytes, lenient);
    out.name = peq::presetNameFor(path);
    peq::Import& im = out.import;
    const auto listed = [&](std::string text) {
        for (const peq::Diagnostic& d : im.errors) text += "\n  " + path + ":" + std::to_string(d.line) + ": " + d.message;
        return text;
    };
    if (im.tooManyFilters) {
        error = listed(path + ": more filters than Harmoniform's " + std::to_string(kNumBands) +
                       " bands (one band a filter); nothing was applied:");
        return false;
    }
    if (!im.usable(lenient)) {
        error = listed(path + ": " + countOf(static_cast<std::int64_t>(im.errors.size()), "line") + " cannot be imported" +
                       (im.refused ? "" : "; nothing was applied (--lenient skips such lines)") + ":");
        return false;
    }
    if (im.mapped.empty()) {
        error = im.errors.empty() ? path + ": no filter to import (the file has no Filter line)"
                                  : listed(path + ": no filter to import; every Filter line was skipped:");
        return false;
    }
    if (playRate > 0.0) peq::fitToTextbook(im, playRate);
    if (playRate > 0.0 && im.playRate == 0.0)
        out.lines.push_back(path + ": a filter lies at or above the Nyquist frequency of " +
                            peq::formatNumber(playRate / 1000.0, 4) + " kHz: the filters are kept as analogue filters");
    for (const peq::Diagnostic& d : im.errors)
        out.lines.push_back(path + ":" + std::to_string(d.line) + (d.applied ? ": " : ": skipped: ") + d.message);
    out.lines.push_back(path + ": " + countOf(static_cast<std::int64_t>(im.mapped.size()), "filter") +
                        (im.playRate > 0.0 ? " imported, fitted for " + peq::formatNumber(im.playRate / 1000.0, 4) +
                                              " kHz; against the textbook biquads there (Harmoniform minus textbook):"
                                        : " imported as analogue filters; against the textbook biquads (Harmoniform "
                                          "minus textbook, below 20 kHz):"));
    bool beyondAim = false;
    for (const peq::Fidelity& f : peq::fidelityReport(im)) {
        out.lines.push_back("  " + peq::describe(f));
        beyondAim = beyondAim || (f.fitted && f.toHz <= peq::kFitUpToHz && std::fabs(f.differenceDb) > kFitAimDb);
    }
    if (beyondAim)
        out.lines.push_back(path + ": the bands could not follow the textbook curve within " +
                            peq::formatNumber(kFitAimDb) + " dB up to 16 kHz");
    return true;
}

}  // namespace hm::tool
