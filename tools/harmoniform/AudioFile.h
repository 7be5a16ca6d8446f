#pragma once
// Audio files through libsndfile: every format it reads (WAV, FLAC, AIFF, OGG, ...),
// streamed in interleaved double-precision frames.
//
// Integer PCM is converted with the same full scale both ways (2^(bits-1)), so a
// file read and written again without change is bit-identical; libsndfile's own
// normalisation uses different factors for reading and writing.
// Written files appear atomically: the data goes to a temporary file in the
// destination's folder, which is synced and renamed over the destination only by
// commit(); an abandoned writer leaves nothing behind.
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
    bool open(const std::string& path, std::string& error);
    const AudioFormat& format() const { return format_; }
    std::int64_t frames() const { return frames_; }
    // Reads up to `frames` frames into `interleaved`; answers the count read (0 at the end).
    std::int64_t read(double* interleaved, std::int64_t frames);

private:
    SNDFILE* file_ = nullptr;
    AudioFormat format_;
    std::int64_t frames_ = 0;
    double scale_ = 1.0;  // read values are divided by it
};

class AudioWriter {
public:
    AudioWriter() = default;
    AudioWriter(const AudioWriter&) = delete;
    AudioWriter& operator=(const AudioWriter&) = delete;
    ~AudioWriter();  // abandons an uncommitted file

    bool open(const std::string& path, const AudioFormat& format, std::string& error);
    // Samples outside -1..1 are clipped for integer formats; false on a write error.
    bool write(const double* interleaved, std::int64_t frames);
    // Finishes the file and moves it into place; false with a message otherwise.
    bool commit(std::string& error);

private:
    void abandon();
    SNDFILE* file_ = nullptr;
    int fd_ = -1;
    std::string path_, tempPath_;
    AudioFormat format_;
    double scale_ = 1.0;
    bool failed_ = false;
    std::vector<double> scaled_;
};

// Output format names for --format: wav, wav16, wav24, wav32, wavf (32-bit float),
// aiff, aiff24, flac, flac24, ogg. False for an unknown name.
bool formatFromName(const std::string& name, int& sndfileFormat);
// The names formatFromName accepts, comma-separated, for messages.
const char* formatNames();
// "WAV 32-bit float" and similar, for summaries.
std::string describeFormat(int sndfileFormat);

}  // namespace hm::tool
