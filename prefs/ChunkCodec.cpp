#include "prefs/ChunkCodec.h"

#include <zlib.h>

#include <cstdio>
#include <algorithm>
#include <cstring>

namespace hm::state {
namespace {

constexpr std::size_t kPiece = 8192;

std::vector<unsigned char> plainForm(std::string_view text) {
    std::vector<unsigned char> out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

}  // namespace

std::vector<unsigned char> encodeChunk(std::string_view text) {
    z_stream zs{};
    if (deflateInit(&zs, 9) != Z_OK) return plainForm(text);

    std::vector<unsigned char> out(kChunkMarker, kChunkMarker + 4);
    out.reserve(4 + deflateBound(&zs, static_cast<uLong>(text.size() > 0xFFFFFFFFu ? 0xFFFFFFFFu : text.size())));
    unsigned char staging[kPiece];
    std::size_t offset = 0;
    int flush = Z_NO_FLUSH;
    do {
        const std::size_t n = std::min(kPiece, text.size() - offset);
        zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data() + offset));
        zs.avail_in = static_cast<uInt>(n);
        offset += n;
        flush = offset == text.size() ? Z_FINISH : Z_NO_FLUSH;
        do {
            zs.next_out = staging;
            zs.avail_out = sizeof staging;
            const int rc = deflate(&zs, flush);
            if (rc == Z_STREAM_ERROR) {
                std::fputs("bailing!\n", stderr);
                deflateEnd(&zs);
                return plainForm(text);
            }
            out.insert(out.end(), staging, staging + (sizeof staging - zs.avail_out));
        } while (zs.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&zs);
    return out;
}

std::optional<std::string> decodeChunk(const void* data, std::size_t size, std::size_t maxInflated) {
    if (data == nullptr || size == 0) return std::nullopt;
    const auto* bytes = static_cast<const unsigned char*>(data);

    if (size < 4 || std::memcmp(bytes, kChunkMarker, 4) != 0) {
        // Plain text: up to the terminating zero, or all of it when there is none.
        const void* zero = std::memchr(bytes, 0, size);
        const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - bytes) : size;
        if (length == 0) return std::nullopt;
        return std::string(reinterpret_cast<const char*>(bytes), length);
    }

    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return std::nullopt;
    std::string text;
    unsigned char staging[kPiece];
    const unsigned char* in = bytes + 4;
    std::size_t inLeft = size - 4;
    bool failed = false;
    int rc = Z_OK;
    while (rc != Z_STREAM_END && !failed) {
        if (zs.avail_in == 0) {
            if (inLeft == 0) {  // the bytes ended before the stream did
                failed = true;
                break;
            }
            const std::size_t n = std::min(kPiece, inLeft);
            zs.next_in = const_cast<Bytef*>(in);
            zs.avail_in = static_cast<uInt>(n);
            in += n;
            inLeft -= n;
        }
        zs.next_out = staging;
        zs.avail_out = sizeof staging;
        rc = inflate(&zs, Z_NO_FLUSH);
        const std::size_t produced = sizeof staging - zs.avail_out;
        if (rc == Z_NEED_DICT || rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR) {
            failed = true;
        } else if (text.size() + produced > maxInflated) {
            failed = true;
        } else {
            text.append(reinterpret_cast<const char*>(staging), produced);
        }
    }
    inflateEnd(&zs);
    if (failed || rc != Z_STREAM_END || text.empty()) return std::nullopt;
    return text;
}

}  // namespace hm::state
