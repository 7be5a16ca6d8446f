// libFuzzer target: arbitrary bytes as a parametric EQ text, through the whole
// import path the command-line tool and the editor take: read and map (strict
// and lenient), the preset chunk loaded into an instance, the fidelity report,
// and the bands exported back to text and read again.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/peq/PeqDocument.h"
#include "core/peq/PeqExport.h"
#include "core/peq/PeqFidelity.h"
#include "tests/core/fuzz/FuzzInstance.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

bool normalised(float v) { return v >= 0.0f && v <= 1.0f; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace peq = hm::peq;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const peq::Import im = peq::importText(text);
    for (const float v : im.values) check(normalised(v));
    check(std::isfinite(im.preampDb));
    for (const peq::Diagnostic& d : im.errors) check(d.line >= 1 && !d.message.empty());
    check(im.mapped.size() <= static_cast<std::size_t>(hm::kNumBands));
    // A strict import is a lenient one without skipped lines.
    check(!im.usable(false) || im.usable(true));
    if (!im.usable(true)) {
        check(!im.errors.empty());
        return 0;
    }

    // Loaded as a preset, exactly as `--import` and the editor load it.
    std::vector<unsigned char> chunk = peq::presetChunk(im.values, peq::presetNameFor("fuzz.txt"));
    hm::Plug& plug = hm::fuzz::instance();
    plug.setChunk(chunk.data(), static_cast<vst::VstInt32>(chunk.size()), true);
    for (int i = 0; i < hm::kNumParams; ++i) {
        const float v = plug.getParameter(i);
        check(normalised(v));
        check(std::fabs(v - im.values[i]) <= 1e-6f);  // the preset arrives whole
    }

    for (const peq::Fidelity& f : peq::fidelityReport(im)) {
        check(std::isfinite(f.differenceDb) && f.atHz >= 20.0 && f.atHz <= 20000.001);  // on the report's grid
        check(!peq::describe(f).empty());
    }

    // What was imported exports to a text that reads back without a complaint
    // and imports again.
    const peq::Export out = peq::exportText(im.values, "fuzz");
    const peq::Text back = peq::readText(out.text);
    check(back.errors.empty());
    check(static_cast<int>(back.filters.size()) == out.filters);
    const peq::Import again = peq::importText(out.text);
    check(again.usable(false));
    return 0;
}
