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

#include "tools/harmoniform/OutputPath.h"
#include "tools/harmoniform/SignalCleanup.h"

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
    const bool standardInput = path == "-";
    const std::string name = standardInput ? "standard input" : path;
    file_ = standardInput ? sf_open_fd(STDIN_FILENO, SFM_READ, &info, SF_FALSE) : sf_open(path.c_str(), SFM_READ, &info);
    if (!file_) {
        error = "cannot read " + name + " as audio: " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        error = name + " has no usable channels or sample rate";
        return false;
    }
    format_ = {info.format, info.samplerate, info.channels};
    // A stream's header may promise no length (or any length): only a seekable
    // file's count is trusted.
    lengthKnown_ = info.seekable && info.frames >= 0 && info.frames < SF_COUNT_MAX;
    frames_ = lengthKnown_ ? info.frames : 0;
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
        const SignalHold hold;
        ::unlink(tempPath_.c_str());
        forgetTemporaryFile(watchSlot_);
        watchSlot_ = -1;
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
    OutputTarget target;
    if (!resolveOutput(path, "", false, target, error)) return false;
    path_ = target.path;
    fd_ = createWatchedTemporary(path_, tempPath_, watchSlot_);
    if (fd_ < 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    mode_t mode = target.mode;
    if (!target.exists) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd_, mode);
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
            const double v = std::isfinite(interleaved[i]) ? std::nearbyint(interleaved[i] * scale_) : 0.0;
            const double held = std::clamp(v, -scale_, scale_ - 1.0);
            clipped_ += held != v;
            scaled[i] = held;
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
    const SignalHold hold;
    const bool renamed = ::rename(tempPath_.c_str(), path_.c_str()) == 0;
    if (!renamed) {
        error = "cannot write " + path_ + ": " + std::strerror(errno);
        ::unlink(tempPath_.c_str());
    }
    forgetTemporaryFile(watchSlot_);
    watchSlot_ = -1;
    return renamed;
}

bool isIntegerFormat(int sndfileFormat) { return rawScale(sndfileFormat) > 0.0; }

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
