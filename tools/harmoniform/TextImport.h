#pragma once
// A parametric EQ text file read for the tool: every line it cannot map is
// reported with its file name and line number; nothing is used when there is
// any unless the user asked for leniency (then those lines are skipped). A file
// with more filters than bands is refused either way. The bands are fitted to
// the textbook digital response at the rate the preset plays at, or with a
// rate of 0 left as the filters' analogue prototypes; the fidelity report says
// how far they are from the textbook biquads.
#include <string>
#include <vector>

#include "core/peq/PeqMapping.h"

namespace hm::tool {

struct TextImport {
    peq::Import import;
    std::string name;                // the program name it gets
    std::vector<std::string> lines;  // diagnostics ("FILE:LINE: ...") and the fidelity report, to print
};

// False with a message (which lists every diagnostic) when the file cannot be
// read or used.
bool readTextImport(const std::string& path, bool lenient, double playRate, TextImport& out, std::string& error);

}  // namespace hm::tool
