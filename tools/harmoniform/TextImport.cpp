#include "tools/harmoniform/TextImport.h"

#include "core/peq/PeqDocument.h"
#include "core/peq/PeqFidelity.h"
#include "platform/AtomicFile.h"
#include "tools/harmoniform/Messages.h"

namespace hm::tool {
namespace {

constexpr std::size_t kMaxTextBytes = 1u << 20;  // a filter list is a few kilobytes

}  // namespace

bool readTextImport(const std::string& path, bool lenient, TextImport& out, std::string& error) {
    const platform::FileRead file = platform::readWholeFile(path, kMaxTextBytes);
    switch (file.status) {
        case platform::ReadStatus::Ok: break;
        case platform::ReadStatus::Missing: error = "cannot open " + path + ": no such file"; return false;
        case platform::ReadStatus::Unreadable: error = "cannot read " + path; return false;
        case platform::ReadStatus::TooLarge: error = path + " is too large to be a filter list"; return false;
    }
    out.import = peq::importText(file.bytes);
    out.name = peq::presetNameFor(path);
    const peq::Import& im = out.import;
    if (!im.usable(lenient)) {
        error = path + ": " + countOf(static_cast<std::int64_t>(im.errors.size()), "line") + " cannot be imported" +
                (im.tooManyFilters ? "" : "; nothing was applied (--lenient skips such lines)") + ":";
        for (const peq::Diagnostic& d : im.errors) error += "\n  " + path + ":" + std::to_string(d.line) + ": " + d.message;
        return false;
    }
    for (const peq::Diagnostic& d : im.errors)
        out.lines.push_back(path + ":" + std::to_string(d.line) + ": skipped: " + d.message);
    out.lines.push_back(path + ": " + countOf(static_cast<std::int64_t>(im.mapped.size()), "filter") +
                        " imported; against the textbook biquads (Harmoniform minus textbook, below 20 kHz):");
    for (const peq::Fidelity& f : peq::fidelityReport(im)) out.lines.push_back("  " + peq::describe(f));
    return true;
}

}  // namespace hm::tool
