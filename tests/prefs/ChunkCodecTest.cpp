#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <random>

#include "prefs/ChunkCodec.h"
#include "platform/Resources.h"

namespace hm::state {
namespace {

std::string asString(const std::vector<unsigned char>& v) { return {v.begin(), v.end()}; }

// A document-like text: the editor schema repeated with varying numbers, so
// it is both compressible and longer than several 8192-byte pieces.
std::string sampleText(std::size_t minSize) {
    const std::string_view schema = platform::findResource("uisettings", "json").text();
    std::string text;
    for (int i = 0; text.size() < minSize; ++i) {
        text += "{\"copy\":" + std::to_string(i * 7919 % 1000) + ",\"ui\":";
        text += schema;
        text += "}\n";
    }
    return text;
}

TEST(ChunkCodec, EncodesAsMarkerAndZlibLevel9Stream) {
    for (std::size_t size : {std::size_t{1}, std::size_t{100}, std::size_t{8192}, std::size_t{100000}}) {
        const std::string text = sampleText(size);
        const std::vector<unsigned char> chunk = encodeChunk(text);
        ASSERT_GE(chunk.size(), 6u);
        EXPECT_EQ(asString(chunk).substr(0, 4), "ZIP ");
        // RFC 1950 header for deflate, 32K window, maximum compression: 78 DA.
        EXPECT_EQ(chunk[4], 0x78);
        EXPECT_EQ(chunk[5], 0xDA);
        // zlib's own one-shot inflater as the independent reader.
        std::vector<unsigned char> out(text.size() + 1);
        uLongf outLen = out.size();
        ASSERT_EQ(uncompress(out.data(), &outLen, chunk.data() + 4, chunk.size() - 4), Z_OK);
        EXPECT_EQ(std::string(out.begin(), out.begin() + outLen), text);
        EXPECT_EQ(decodeChunk(chunk.data(), chunk.size()).value_or(""), text);
    }
}

TEST(ChunkCodec, DecodesChunksFromAnotherWriter) {
    const std::string text = sampleText(20000);
    uLongf len = compressBound(text.size());
    std::vector<unsigned char> chunk(4 + len);
    std::copy(kChunkMarker, kChunkMarker + 4, chunk.begin());
    ASSERT_EQ(compress2(chunk.data() + 4, &len, reinterpret_cast<const Bytef*>(text.data()), text.size(), 1), Z_OK);
    chunk.resize(4 + len);
    EXPECT_EQ(decodeChunk(chunk.data(), chunk.size()).value_or(""), text);
}

TEST(ChunkCodec, PlainTextHonoursTheByteCount) {
    struct Case {
        std::string bytes;
        std::size_t size;
        const char* expected;  // null: rejected
    };
    const Case cases[] = {
        {std::string("{\"a\":1}\0", 8), 8, "{\"a\":1}"},
        {"{\"a\":1}", 7, "{\"a\":1}"},
        {"{\"a\":1}", 3, "{\"a"},  // only the bytes given
        {"ZIP", 3, "ZIP"},         // too short to carry the marker: text
        {"ZI", 2, "ZI"},
        {std::string("\0abc", 4), 4, nullptr},
        {"", 0, nullptr},
        {"ZIP ", 4, nullptr},  // marker without a stream
    };
    for (const Case& c : cases) {
        // An exact-size heap copy: reading past it is caught by the sanitizers.
        std::unique_ptr<unsigned char[]> exact(new unsigned char[c.size > 0 ? c.size : 1]);
        std::copy(c.bytes.begin(), c.bytes.begin() + c.size, exact.get());
        const auto decoded = decodeChunk(exact.get(), c.size);
        if (c.expected == nullptr) {
            EXPECT_FALSE(decoded) << c.bytes;
        } else {
            EXPECT_EQ(decoded.value_or("<rejected>"), c.expected);
        }
    }
    EXPECT_FALSE(decodeChunk(nullptr, 100));
}

TEST(ChunkCodec, EveryTruncationIsRejected) {
    const std::vector<unsigned char> chunk = encodeChunk(sampleText(30000));
    for (std::size_t size = 4; size < chunk.size(); ++size) {
        std::unique_ptr<unsigned char[]> exact(new unsigned char[size]);
        std::copy(chunk.begin(), chunk.begin() + size, exact.get());
        ASSERT_FALSE(decodeChunk(exact.get(), size)) << "accepted " << size << " of " << chunk.size() << " bytes";
    }
}

// A damaged stream may be rejected, and a flip in bits the format ignores may
// still decode, but never to different text.
TEST(ChunkCodec, CorruptionNeverYieldsWrongText) {
    const std::string text = sampleText(5000);
    const std::vector<unsigned char> chunk = encodeChunk(text);
    std::mt19937 rng(1234);
    int rejected = 0;
    for (std::size_t i = 4; i < chunk.size(); ++i) {
        std::vector<unsigned char> bad = chunk;
        bad[i] ^= static_cast<unsigned char>(1u << (rng() % 8));
        const auto decoded = decodeChunk(bad.data(), bad.size());
        if (!decoded) ++rejected;
        else ASSERT_EQ(*decoded, text) << "byte " << i;
    }
    EXPECT_GT(rejected, static_cast<int>(chunk.size() - 4) * 9 / 10);
    // A stream needing a preset dictionary is refused too.
    const unsigned char dict[] = {'Z', 'I', 'P', ' ', 0x78, 0xBB, 0, 0, 0, 1, 3, 0};
    EXPECT_FALSE(decodeChunk(dict, sizeof dict));
}

// A tiny chunk that inflates to far more than any real document is refused
// instead of exhausting memory.
TEST(ChunkCodec, InflationBeyondTheCapIsRejected) {
    z_stream zs{};
    ASSERT_EQ(deflateInit(&zs, 9), Z_OK);
    std::vector<unsigned char> bomb(kChunkMarker, kChunkMarker + 4);
    const std::vector<unsigned char> spaces(1 << 20, ' ');
    std::vector<unsigned char> out(1 << 16);
    const int megabytes = static_cast<int>(kMaxInflatedChunkBytes >> 20) + 16;
    for (int i = 0; i < megabytes; ++i) {
        zs.next_in = const_cast<Bytef*>(spaces.data());
        zs.avail_in = static_cast<uInt>(spaces.size());
        const int flush = i + 1 == megabytes ? Z_FINISH : Z_NO_FLUSH;
        do {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            deflate(&zs, flush);
            bomb.insert(bomb.end(), out.data(), out.data() + (out.size() - zs.avail_out));
        } while (zs.avail_out == 0);
    }
    deflateEnd(&zs);
    ASSERT_LT(bomb.size(), 1u << 20);
    EXPECT_FALSE(decodeChunk(bomb.data(), bomb.size()));

    // The cap is exact: a text of exactly the cap passes, one byte more does not.
    const std::string text = sampleText(3000);
    const std::vector<unsigned char> chunk = encodeChunk(text);
    EXPECT_TRUE(decodeChunk(chunk.data(), chunk.size(), text.size()));
    EXPECT_FALSE(decodeChunk(chunk.data(), chunk.size(), text.size() - 1));
}

}  // namespace
}  // namespace hm::state
