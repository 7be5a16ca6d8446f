#pragma once
// Where a command's output file really goes, checked before anything is
// computed or written:
//   - "-" is refused: the tool writes its files atomically (a temporary file
//     renamed into place), which standard output cannot offer, and a file
//     named "-" is never what was meant (write ./- for that);
//   - a symbolic link is followed to the file it names (also when that file
//     does not exist yet), so the link stays a link and its target is replaced;
//   - a folder is refused;
//   - OUT naming the input file, by any name (symbolic or hard links), is
//     refused unless the caller allows writing in place.
#include <sys/types.h>

#include <string>

namespace hm::tool {

struct OutputTarget {
    std::string path;      // the file to replace: OUT, or the end of its chain of links
    bool exists = false;   // a file is there now
    mode_t mode = 0;       // its permission bits when it exists
};

// Resolves OUT. `input` is the input file's name ("-" for standard input, empty
// when the command reads no file); `inPlace` allows OUT to be the input.
// False with a message.
bool resolveOutput(const std::string& out, const std::string& input, bool inPlace, OutputTarget& target,
                   std::string& error);

}  // namespace hm::tool
