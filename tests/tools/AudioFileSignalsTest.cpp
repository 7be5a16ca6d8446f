// Audio files through the libsndfile wrapper, and the generated test signals
// against their defining properties.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <random>

#include "tests/tools/ToolTestSupport.h"
#include "tools/harmoniform/AudioFile.h"
#include "tools/harmoniform/OutputFormat.h"
#include "tools/harmoniform/SignalGenerators.h"

namespace hm::tool {
namespace {

// Every value an integer format can hold, spread over its range, survives a
// write and a read exactly; floats survive any value.
TEST(AudioFile, RoundTripsEveryFormatExactly) {
    struct Case {
        int format;
        double fullScale;  // 0: floating point
    };
    const Case cases[] = {
        {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 32768.0},   {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 8388608.0},
        {SF_FORMAT_WAV | SF_FORMAT_PCM_32, 2147483648.0}, {SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 32768.0},
        {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 32768.0},  {SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 8388608.0},
        {SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0.0},        {SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 0.0},
    };
    test::ScratchFolder folder;
    std::mt19937 random(7);
    for (const Case& c : cases) {
        SCOPED_TRACE(describeFormat(c.format));
        std::vector<double> x(2 * 1000);
        std::uniform_real_distribution<double> uniform(-1.0, 1.0);
        for (double& v : x) {
            v = uniform(random);
            if (c.fullScale > 0.0) v = std::round(v * c.fullScale) / c.fullScale;
            else if ((c.format & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT) v = static_cast<float>(v);
        }
        x[0] = -1.0;  // negative full scale is representable in every format
        const std::string path = folder.file("a");
        test::writeAudio(path, x, 2, 44100, c.format);
        const test::Audio a = test::readAudio(path);
        EXPECT_EQ(a.channels, 2);
        EXPECT_EQ(a.rate, 44100);
        EXPECT_EQ(a.format, c.format);
        ASSERT_EQ(a.samples.size(), x.size());
        for (std::size_t i = 0; i < x.size(); ++i) ASSERT_EQ(a.samples[i], x[i]) << i;
    }
}

TEST(AudioFile, IntegerFormatsClipInsteadOfWrapping) {
    test::ScratchFolder folder;
    const std::vector<double> x = {1.5, -1.5, 1.0, NAN};
    test::writeAudio(folder.file("c.wav"), x, 1, 8000, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const test::Audio a = test::readAudio(folder.file("c.wav"));
    ASSERT_EQ(a.samples.size(), 4u);
    EXPECT_EQ(a.samples[0], 32767.0 / 32768.0);
    EXPECT_EQ(a.samples[1], -1.0);
    EXPECT_EQ(a.samples[2], 32767.0 / 32768.0);
    EXPECT_EQ(a.samples[3], 0.0);
}

TEST(AudioFile, AnAbandonedWriteLeavesNoFile) {
    test::ScratchFolder folder;
    {
        AudioWriter w;
        std::string error;
        ASSERT_TRUE(w.open(folder.file("x.wav"), {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1}, error));
        const double v = 0.5;
        w.write(&v, 1);
    }
    EXPECT_FALSE(test::fileExists(folder.file("x.wav")));
    AudioWriter w;
    std::string error;
    EXPECT_FALSE(w.open(folder.file("missing/x.wav"), {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1}, error));
    EXPECT_NE(error.find("missing/x.wav"), std::string::npos) << error;
}

TEST(AudioFile, ReadingSomethingElseIsAnError) {
    test::ScratchFolder folder;
    test::writeBytes(folder.file("t.wav"), "this is text, not audio");
    AudioReader r;
    std::string error;
    EXPECT_FALSE(r.open(folder.file("t.wav"), error));
    EXPECT_NE(error.find("t.wav"), std::string::npos);
    EXPECT_FALSE(r.open(folder.file("none.wav"), error));
}

// The output format follows OUT's name and keeps the input's sample width where
// the container holds it; what it cannot hold is said, never silently changed.
TEST(OutputFormat, ExtensionAndFormatNameChooseContainerAndWidth) {
    constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16, kWav24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    constexpr int kWavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT, kFlac24 = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    struct Case {
        const char* out;
        const char* format;
        int input;
        int expected;          // 0: refused
        const char* mentions;  // in the note (or the error when refused); "" for none
    };
    const Case cases[] = {
        {"a.wav", "", kWav24, kWav24, ""},
        {"a.WAV", "", kWavFloat, kWavFloat, ""},
        {"a.flac", "", kWav24, kFlac24, ""},
        {"a.flac", "", kWav16, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, ""},
        {"a.flac", "", kWavFloat, kFlac24, "24-bit"},
        {"a.flac", "", SF_FORMAT_WAV | SF_FORMAT_PCM_32, kFlac24, "32-bit integer"},
        {"a.aif", "", kWav24, SF_FORMAT_AIFF | SF_FORMAT_PCM_24, ""},
        {"a.aiff", "", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, ""},
        {"a.wav", "", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, ""},
        {"a.ogg", "", kWav24, SF_FORMAT_OGG | SF_FORMAT_VORBIS, ""},
        {"a.wav", "", SF_FORMAT_OGG | SF_FORMAT_VORBIS, kWavFloat, ""},
        {"a.flac", "", SF_FORMAT_OGG | SF_FORMAT_VORBIS, kFlac24, ""},
        {"a.flac", "flac", kWav24, kFlac24, ""},
        {"a.wav", "wav16", kWav24, kWav16, ""},
        {"a.raw", "wavf", kWav16, kWavFloat, ""},
        {"a", "flac24", kWav16, kFlac24, ""},
        {"a.mp3", "", kWav16, 0, ".mp3"},
        {"a.xyz", "", kWav16, 0, ".xyz"},
        {"noextension", "", kWav16, 0, "extension"},
        {"a.wav", "flac", kWav16, 0, "matching extension"},
        {"a.wav", "mp9", kWav16, 0, "unknown format"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.out) + " --format " + c.format);
        OutputFormatChoice choice;
        std::string error;
        const bool ok = chooseOutputFormat(c.out, c.format, c.input, choice, error);
        ASSERT_EQ(ok, c.expected != 0) << error;
        if (ok) {
            EXPECT_EQ(choice.sndfileFormat, c.expected) << describeFormat(choice.sndfileFormat);
            if (*c.mentions) {
                EXPECT_NE(choice.note.find(c.mentions), std::string::npos) << choice.note;
            } else {
                EXPECT_EQ(choice.note, "");
            }
        } else {
            EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
        }
    }
}

// Power density at the DFT bin nearest f (Welch average of 8192-point
// Hann-windowed half-overlapping segments), by direct summation.
double density(const std::vector<double>& x, double rate, double f) {
    constexpr std::size_t kSize = 8192;
    const std::size_t k = static_cast<std::size_t>(std::lround(f * kSize / rate));
    double total = 0.0;
    int segments = 0;
    for (std::size_t start = 0; start + kSize <= x.size(); start += kSize / 2, ++segments) {
        double re = 0.0, im = 0.0;
        for (std::size_t n = 0; n < kSize; ++n) {
            const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(n) / kSize);
            const double phase = 2.0 * std::numbers::pi * static_cast<double>(k * n % kSize) / kSize;
            re += w * x[start + n] * std::cos(phase);
            im -= w * x[start + n] * std::sin(phase);
        }
        total += re * re + im * im;
    }
    return total / segments;
}

// f x density averaged over eight frequencies of the octave from lo: constant for 1/f power.
double octaveLevel(const std::vector<double>& x, double rate, double lo) {
    double sum = 0.0;
    for (int i = 0; i < 8; ++i) {
        const double f = lo * std::exp2(i / 8.0);
        sum += f * density(x, rate, f);
    }
    return sum / 8.0;
}

TEST(SignalGenerators, PinkNoiseHasEqualPowerPerOctave) {
    const double rate = 48000.0;
    const std::vector<double> x = pinkNoise(rate, 1.5, 0.1, 11);
    double energy = 0.0;
    for (double v : x) energy += v * v;
    EXPECT_NEAR(std::sqrt(energy / static_cast<double>(x.size())), 0.1, 1e-9);
    // 1/f power: every octave carries the same power (within 1.5 dB of 125-250 Hz).
    const double reference = octaveLevel(x, rate, 125.0);
    for (double lo : {250.0, 500.0, 1000.0, 2000.0, 4000.0, 8000.0}) {
        const double db = 10.0 * std::log10(octaveLevel(x, rate, lo) / reference);
        EXPECT_NEAR(db, 0.0, 1.5) << "octave from " << lo << " Hz";
    }
}

TEST(SignalGenerators, SweepFollowsItsExponentialLaw) {
    const double rate = 48000.0, seconds = 2.0, f0 = 100.0, f1 = 6400.0;
    const std::vector<double> x = sineSweep(rate, seconds, f0, f1, 0.5);
    ASSERT_EQ(x.size(), 96000u);
    // Zero crossings in a 50 ms window around t count twice the instantaneous frequency.
    for (double t : {0.5, 1.0, 1.5}) {
        const std::size_t a = static_cast<std::size_t>((t - 0.025) * rate), b = static_cast<std::size_t>((t + 0.025) * rate);
        int crossings = 0;
        for (std::size_t n = a + 1; n < b; ++n) crossings += (x[n - 1] < 0.0) != (x[n] < 0.0);
        const double expected = f0 * std::pow(f1 / f0, t / seconds);
        EXPECT_NEAR(crossings / 0.05 / 2.0, expected, 0.03 * expected + 20.0) << "at " << t << " s";
    }
    double peak = 0.0;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    EXPECT_NEAR(peak, 0.5, 1e-3);
    EXPECT_EQ(x.front(), 0.0);
    EXPECT_NEAR(x.back(), 0.0, 1e-12);
}

TEST(SignalGenerators, DrumLoopHitsOnTheBeat) {
    const double rate = 48000.0;
    const std::vector<double> x = drumLoop(rate, 2.0, 120.0, 0.5, 5);
    double peak = 0.0;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    EXPECT_NEAR(peak, 0.5, 1e-12);
    // At 120 bpm beats fall every 0.5 s: energy right after a beat is far above
    // the energy just before it.
    for (double beat : {0.5, 1.0, 1.5}) {
        double before = 0.0, after = 0.0;
        const std::size_t at = static_cast<std::size_t>(beat * rate);
        for (std::size_t n = 0; n < 480; ++n) {
            before += x[at - 1 - n] * x[at - 1 - n];
            after += x[at + n] * x[at + n];
        }
        EXPECT_GT(after, 10.0 * before) << "beat at " << beat << " s";
    }
}

}  // namespace
}  // namespace hm::tool
