#pragma once
// Wording shared by the tool's commands, so every command says the same thing
// the same way: counts with their noun in the right number, the empty program
// slot, and usage errors (one line and where to read more).
#include <cstdint>
#include <string>

#include "platform/AtomicFile.h"

namespace hm::tool {

// "1 channel", "2 channels", "0 samples".
std::string countOf(std::int64_t n, const char* singular);

// How a program name reads everywhere: "(empty)" for the empty slot "-".
std::string programLabel(const std::string& name);

// Whether a parameter's display text is a name ("Peak", "Mid/Side") rather
// than a number ("80", "-3.50", "8192").
bool namesAValue(std::string_view display);

// Prints "harmoniform COMMAND: MESSAGE" and "see 'harmoniform COMMAND --help'"
// on standard error; answers the usage-error exit status 2. An empty command
// points at the tool's own --help.
int usageError(const std::string& command, const std::string& message);

// Prints "harmoniform COMMAND: MESSAGE" on standard error; answers 1.
int failure(const std::string& command, const std::string& message);

// Prints "harmoniform COMMAND: warning: MESSAGE" on standard error.
void warning(const std::string& command, const std::string& message);

// Prints "harmoniform COMMAND: MESSAGE" on standard error (a report, not a failure).
void note(const std::string& command, const std::string& message);

// A whole input file of at most maxBytes; false with the message the tool gives
// for it ("cannot open F: no such file", "cannot read F", "F is too large to be
// WHAT").
bool readInputFile(const std::string& path, std::size_t maxBytes, const char* what, std::string& bytes,
                   std::string& error);

}  // namespace hm::tool
