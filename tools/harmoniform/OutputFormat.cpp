#include "tools/harmoniform/OutputFormat.h"

#include <sndfile.h>

#include <cctype>

#include "tools/harmoniform/AudioFile.h"

namespace hm::tool {
namespace {

struct NamedFormat {
    const char* name;
    int container;
    int encoding;  // 0: follow the input
};

constexpr NamedFormat kNames[] = {
    {"wav", SF_FORMAT_WAV, 0},
    {"wav16", SF_FORMAT_WAV, SF_FORMAT_PCM_16},
    {"wav24", SF_FORMAT_WAV, SF_FORMAT_PCM_24},
    {"wav32", SF_FORMAT_WAV, SF_FORMAT_PCM_32},
    {"wavf", SF_FORMAT_WAV, SF_FORMAT_FLOAT},
    {"aiff", SF_FORMAT_AIFF, 0},
    {"aiff16", SF_FORMAT_AIFF, SF_FORMAT_PCM_16},
    {"aiff24", SF_FORMAT_AIFF, SF_FORMAT_PCM_24},
    {"aifff", SF_FORMAT_AIFF, SF_FORMAT_FLOAT},
    {"flac", SF_FORMAT_FLAC, 0},
    {"flac16", SF_FORMAT_FLAC, SF_FORMAT_PCM_16},
    {"flac24", SF_FORMAT_FLAC, SF_FORMAT_PCM_24},
    {"ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS},
};

struct Extension {
    const char* ext;
    int container;
};

constexpr Extension kExtensions[] = {
    {"wav", SF_FORMAT_WAV}, {"flac", SF_FORMAT_FLAC}, {"aif", SF_FORMAT_AIFF},
    {"aiff", SF_FORMAT_AIFF}, {"ogg", SF_FORMAT_OGG},
};

const char* containerName(int container) {
    switch (container) {
        case SF_FORMAT_WAV: return "WAV";
        case SF_FORMAT_AIFF: return "AIFF";
        case SF_FORMAT_FLAC: return "FLAC";
        case SF_FORMAT_OGG: return "Ogg Vorbis";
        default: return "unknown";
    }
}

// Lower-case extension of the file name, without the dot; "" when none.
std::string extensionOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

int containerOfExtension(const std::string& ext) {
    for (const Extension& e : kExtensions)
        if (ext == e.ext) return e.container;
    return 0;
}

const char* widthName(int encoding) {
    switch (encoding) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8: return "8-bit";
        case SF_FORMAT_PCM_16: return "16-bit";
        case SF_FORMAT_PCM_24: return "24-bit";
        case SF_FORMAT_PCM_32: return "32-bit integer";
        case SF_FORMAT_FLOAT: return "32-bit float";
        case SF_FORMAT_DOUBLE: return "64-bit float";
        default: return nullptr;
    }
}

// The input's encoding as near as the container holds it; `note` says what was lost.
int encodingFor(int container, int input, std::string& note) {
    const bool plain = widthName(input) != nullptr;
    switch (container) {
        case SF_FORMAT_WAV:
            if (!plain) return SF_FORMAT_FLOAT;
            return input == SF_FORMAT_PCM_S8 ? SF_FORMAT_PCM_U8 : input;  // WAV's 8-bit is unsigned
        case SF_FORMAT_AIFF:
            if (!plain) return SF_FORMAT_FLOAT;
            return input == SF_FORMAT_PCM_U8 ? SF_FORMAT_PCM_S8 : input;
        case SF_FORMAT_FLAC:
            if (input == SF_FORMAT_PCM_S8 || input == SF_FORMAT_PCM_16 || input == SF_FORMAT_PCM_24) return input;
            if (input == SF_FORMAT_PCM_U8) return SF_FORMAT_PCM_S8;
            if (plain)
                note = std::string("FLAC holds at most 24-bit integer samples: the ") + widthName(input) +
                       " input is written as 24-bit FLAC";
            return SF_FORMAT_PCM_24;
        default: return SF_FORMAT_VORBIS;
    }
}

}  // namespace

const char* formatNames() {
    return "wav, wav16, wav24, wav32, wavf, aiff, aiff16, aiff24, aifff, flac, flac16, flac24, ogg";
}

const char* formatExtensions() { return ".wav, .flac, .aif, .aiff, .ogg"; }

bool chooseOutputFormat(const std::string& outPath, const std::string& formatName, int inputFormat,
                        OutputFormatChoice& choice, std::string& error) {
    choice = {};
    const std::string ext = extensionOf(outPath);
    const int byExtension = containerOfExtension(ext);
    int container = byExtension, encoding = 0;
    if (!formatName.empty()) {
        const NamedFormat* named = nullptr;
        for (const NamedFormat& f : kNames)
            if (formatName == f.name) named = &f;
        if (!named) {
            error = "unknown format '" + formatName + "' (known: " + formatNames() + ")";
            return false;
        }
        if (byExtension != 0 && byExtension != named->container) {
            error = outPath + " names a " + containerName(byExtension) + " file but --format " + formatName +
                    " asks for " + containerName(named->container) + "; give the file a matching extension";
            return false;
        }
        container = named->container;
        encoding = named->encoding;
    } else if (container == 0) {
        error = (ext.empty() ? "cannot tell the format of " + outPath + " without an extension"
                             : "cannot write ." + ext + " files") +
                "; name OUT " + formatExtensions() + " or give --format (" + formatNames() + ")";
        return false;
    }
    if (encoding == 0) encoding = encodingFor(container, inputFormat & SF_FORMAT_SUBMASK, choice.note);
    choice.sndfileFormat = container | encoding;
    return true;
}

}  // namespace hm::tool
