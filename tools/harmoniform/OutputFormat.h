#pragma once
// Which audio format the render command writes.
//
// The container follows OUT's extension (.wav, .flac, .aif/.aiff, .ogg) or the
// --format name; a name the tool cannot write is refused rather than filled
// with another format's data. The sample encoding follows the input wherever
// the container can hold it, so a 24-bit input stays 24-bit:
//   - WAV and AIFF hold every integer width and 32/64-bit float;
//   - FLAC holds 8-, 16- and 24-bit integers only: 32-bit and float input is
//     written as 24-bit FLAC (and the choice says so);
//   - Ogg Vorbis is lossy and has no sample width;
//   - a compressed input (Ogg, MP3, ...) becomes 32-bit float WAV/AIFF and
//     24-bit FLAC, which lose nothing of the decoded signal.
// --format names with a width (wav16, flac24, wavf, ...) set the encoding.
#include <string>

namespace hm::tool {

struct OutputFormatChoice {
    int sndfileFormat = 0;  // SF_FORMAT_* container | encoding
    std::string note;       // what the container could not keep of the input; empty when nothing
};

// Chooses OUT's format for an input of `inputFormat` (SF_FORMAT_*). `formatName`
// is the --format value, empty when none was given. False with a message when
// OUT's extension names no format the tool writes (and no --format was given),
// the --format name is unknown, or the two name different containers.
bool chooseOutputFormat(const std::string& outPath, const std::string& formatName, int inputFormat,
                        OutputFormatChoice& choice, std::string& error);

// The --format names, comma-separated, for messages and help.
const char* formatNames();
// The extensions OUT may have, for messages and help.
const char* formatExtensions();

}  // namespace hm::tool
