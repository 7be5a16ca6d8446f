#include "tools/harmoniform/TextImport.h"

#include "core/peq/PeqDocument.h"
#include "core/peq/PeqFidelity.h"
#include "core/peq/PeqFit.h"
#include "tools/harmoniform/Messages.h"

namespace hm::tool {

bool readTextImport(const std::string& path, bool lenient, double playRate, TextImport& out, std::string& error) {
    std::string bytes;
    if (!readInputFile(path, peq::kMaxTextBytes, "a filter list", bytes, error)) return false;
    out.import = peq::importText(bytes);
    out.name = peq::presetNameFor(path);
    peq::Import& im = out.import;
    if (!im.usable(lenient)) {
        error = path + ": " + countOf(static_cast<std::int64_t>(im.errors.size()), "line") + " cannot be imported" +
                (im.tooManyFilters || im.refused ? "" : "; nothing was applied (--lenient skips such lines)") + ":";
        for (const peq::Diagnostic& d : im.errors) error += "\n  " + path + ":" + std::to_string(d.line) + ": " + d.message;
        return false;
    }
    if (playRate > 0.0) peq::fitToTextbook(im, playRate);
    for (const peq::Diagnostic& d : im.errors)
        out.lines.push_back(path + ":" + std::to_string(d.line) + ": skipped: " + d.message);
    out.lines.push_back(path + ": " + countOf(static_cast<std::int64_t>(im.mapped.size()), "filter") +
                        (playRate > 0.0 ? " imported, fitted for " + peq::formatNumber(playRate / 1000.0, 4) +
                                              " kHz; against the textbook biquads there (Harmoniform minus textbook):"
                                        : " imported as analogue filters; against the textbook biquads (Harmoniform "
                                          "minus textbook, below 20 kHz):"));
    for (const peq::Fidelity& f : peq::fidelityReport(im)) out.lines.push_back("  " + peq::describe(f));
    return true;
}

}  // namespace hm::tool
