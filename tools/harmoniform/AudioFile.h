#pragma once
// Audio files through libsndfile: every format it reads (WAV, FLAC, AIFF, OGG, ...),
// streamed in interleaved double-precision frames.
//
// Integer PCM is converted with the same full scale both ways (2^(bits-1)), so a
// file read and written again without change is bit-identical; libsndfile's own
// normalisation uses different factors for reading and writing.
// Written files appear atomically: the data goes to a temporary file in the
// destination's folder, which is synced and renamed over the destination only by
// commit(); an abandoned writer, or one interrupted by SIGINT, SIGTERM or SIGHUP,
// leaves nothing behind and the destination as it was. A destination that is a
// symbolic link is written through to the file it names.
#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

namespace hm::tool {

struct AudioFormat {
    int sndfileFormat = 0;  // SF_FORMAT_* major | subtype
    int rate = 0;
    int channels = 0;
};

class AudioReader {
public:
    AudioReader() = default;
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;
    ~AudioReader();

    // False with a message naming the file when it cannot be read as audio.
    // "-" reads standard input (a pipe works for formats that stream, such as WAV).
    bool open(const std::string& path, std::string& error);
    const AudioFormat& format() const { return format_; }
    // The frame count; meaningful only when lengthKnown().
    std::int64_t frames() const { return frames_; }
    bool lengthKnown() const { return lengthKnown_; }
    // Reads up to `frames` frames into `interleaved`; answers the count read (0 at the end).
    std::int64_t read(double* interleaved, std::int64_t frames);

private:
    SNDFILE* file_ = nullptr;
    AudioFormat format_;
    std::int64_t frames_ = 0;
    bool lengthKnown_ = false;
    double scale_ = 1.0;  // read values are divided by it
};

class AudioWriter {
public:
    AudioWriter() = default;
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;
    ~AudioWriter();  // abandons an uncommitted file

    // An existing destination's permission bits are kept.
    bool open(const std::string& path, const AudioFormat& format, std::string& error);
    // Samples outside the integer formats' range are clipped (and counted);
    // false on a write error.
    bool write(const double* interleaved, std::int64_t frames);
    // Finishes the file and moves it into place; false with a message otherwise.
    bool commit(std::string& error);
    // Samples clipped so far (integer formats only; float keeps every value).
    std::int64_t clippedSamples() const { return clipped_; }

private:
    void abandon();
    SNDFILE* file_ = nullptr;
    int fd_ = -1;
    int watchSlot_ = -1;
    std::string path_, tempPath_;
    AudioFormat format_;
    double scale_ = 1.0;
    bool failed_ = false;
    std::int64_t clipped_ = 0;
    std::vector<double> scaled_;
};

// True for integer PCM encodings, which clip at full scale.
bool isIntegerFormat(int sndfileFormat);
// "WAV (Microsoft), Signed 24 bit PCM" and similar, for summaries.
std::string describeFormat(int sndfileFormat);

}  // namespace hm::tool
