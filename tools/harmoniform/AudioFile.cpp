#include "tools/harmoniform/AudioFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace hm::tool {
namespace {

// Full scale of integer PCM read and written raw (libsndfile's normalisation off).
// Zero for the encodings libsndfile must convert itself (float, compressed, ...).
double rawScale(int sndfileFormat) {
    switch (sndfileFormat & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8: return 128.0;
        case SF_FORMAT_PCM_16: return 32768.0;
        case SF_FORMAT_PCM_24: return 8388608.0;
        case SF_FORMAT_PCM_32: return 2147483648.0;
        default: return 0.0;
    }
}

void useRawIntegers(SNDFILE* file, double scale) {
    if (scale > 0.0) sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
}

}  // namespace

AudioReader::~AudioReader() {
    if (file_) sf_close(file_);
}

bool AudioReader::open(const std::string& path, std::string& error) {
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (!file_) {
        error = "cannot read " + path + " as audio: " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        error = path + " has no usable channels or sample rate";
        return false;
    }
    format_ = {info.format, info.samplerate, info.channels};
    frames_ = info.frames;
    const double raw = rawScale(info.format);
    useRawIntegers(file_, raw);
    scale_ = raw > 0.0 ? raw : 1.0;
    return true;
}

std::int64_t AudioReader::read(double* interleaved, std::int64_t frames) {
    const sf_count_t n = sf_readf_double(file_, interleaved, frames);
    if (n <= 0) return 0;
    if (scale_ != 1.0) {
        const double inverse = 1.0 / scale_;
        for (sf_count_t i = 0; i < n * format_.channels; ++i) interleaved[i] *= inverse;
    }
    return n;
}

AudioWriter::~AudioWriter() { abandon(); }

void AudioWriter::abandon() {
    if (file_) sf_close(file_);
    file_ = nullptr;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(tempPath_.c_str());
    }
}

bool AudioWriter::open(const std::string& path, const AudioFormat& format, std::string& error) {
    SF_INFO info{};
    info.samplerate = format.rate;
    info.channels = format.channels;
    info.format = format.sndfileFormat;
    if (!sf_format_check(&info)) {
        error = "cannot write " + describeFormat(format.sndfileFormat) + " with " + std::to_string(format.channels) +
                " channels at " + std::to_string(format.rate) + " Hz";
        return false;
    }
    path_ = path;
    tempPath_ = path + ".XXXXXX";
    std::vector<char> name(tempPath_.begin(), tempPath_.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    tempPath_ = name.data();
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    file_ = sf_open_fd(fd_, SFM_WRITE, &info, SF_FALSE);
    if (!file_) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        abandon();
        return false;
    }
    format_ = format;
    const double raw = rawScale(format.sndfileFormat);
    useRawIntegers(file_, raw);
    scale_ = raw;
    return true;
}

bool AudioWriter::write(const double* interleaved, std::int64_t frames) {
    if (!file_ || failed_) return false;
    if (scale_ > 0.0) {
        // Integer PCM: clip to the representable range and round to nearest.
        std::vector<double>& scaled = scaled_;
        scaled.resize(static_cast<std::size_t>(frames * format_.channels));
        for (std::size_t i = 0; i < scaled.size(); ++i) {
            const double v = std::isfinite(interleaved[i]) ? interleaved[i] * scale_ : 0.0;
            scaled[i] = std::nearbyint(std::clamp(v, -scale_, scale_ - 1.0));
        }
        failed_ = sf_writef_double(file_, scaled.data(), frames) != frames;
    } else {
        failed_ = sf_writef_double(file_, interleaved, frames) != frames;
    }
    return !failed_;
}

bool AudioWriter::commit(std::string& error) {
    if (!file_) {
        error = "nothing to write";
        return false;
    }
    const int closed = sf_close(file_);
    file_ = nullptr;
    if (failed_ || closed != 0 || ::fsync(fd_) != 0) {
        error = "cannot write " + path_ + (failed_ ? ": write failed" : ": " + std::string(std::strerror(errno)));
        abandon();
        return false;
    }
    ::close(fd_);
    fd_ = -1;
    if (::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        ::unlink(tempPath_.c_str());
        return false;
    }
    return true;
}

namespace {

struct NamedFormat {
    const char* name;
    int format;
};

constexpr NamedFormat kFormats[] = {
    {"wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},     {"wav16", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
    {"wav24", SF_FORMAT_WAV | SF_FORMAT_PCM_24},   {"wav32", SF_FORMAT_WAV | SF_FORMAT_PCM_32},
    {"wavf", SF_FORMAT_WAV | SF_FORMAT_FLOAT},     {"aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
    {"aiff24", SF_FORMAT_AIFF | SF_FORMAT_PCM_24}, {"flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
    {"flac24", SF_FORMAT_FLAC | SF_FORMAT_PCM_24}, {"ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
};

}  // namespace

bool formatFromName(const std::string& name, int& sndfileFormat) {
    for (const NamedFormat& f : kFormats) {
        if (name == f.name) {
            sndfileFormat = f.format;
            return true;
        }
    }
    return false;
}

const char* formatNames() { return "wav, wav16, wav24, wav32, wavf, aiff, aiff24, flac, flac24, ogg"; }

std::string describeFormat(int sndfileFormat) {
    SF_FORMAT_INFO major{}, sub{};
    major.format = sndfileFormat & SF_FORMAT_TYPEMASK;
    sub.format = sndfileFormat & SF_FORMAT_SUBMASK;
    std::string text = sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof(major)) == 0 && major.name
                           ? major.name
                           : "unknown container";
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &sub, sizeof(sub)) == 0 && sub.name) text += std::string(", ") + sub.name;
    return text;
}

}  // namespace hm::tool
