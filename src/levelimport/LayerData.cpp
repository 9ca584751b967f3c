#include "levelimport/LayerData.hpp"

#include <zlib.h>

#include <array>

namespace levelimport {
namespace {

constexpr std::size_t kBytesPerGid = 4;
constexpr std::size_t kInflateChunk = 1 << 16;
constexpr int kGzipWindowBits = 16 + MAX_WBITS;  // zlib's way to ask for a gzip header

/// The 6-bit value of a base64 character, or -1.
int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

/// Standard base64; white space is skipped, the closing padding may be left out.
std::optional<std::string> DecodeBase64(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    std::uint32_t buffer = 0;
    int bits = 0;
    std::size_t symbols = 0;
    std::size_t padding = 0;
    for (const char c : text) {
        if (IsSpace(c)) continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = Base64Value(c);
        if (value < 0 || padding > 0) return std::nullopt;  // padding only at the end
        ++symbols;
        buffer = (buffer << 6) | static_cast<std::uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<char>((buffer >> bits) & 0xFF));
        }
    }
    // One symbol alone cannot end a group, and padding fills a group of four.
    if (symbols % 4 == 1 || padding > 2) return std::nullopt;
    if (padding > 0 && (symbols + padding) % 4 != 0) return std::nullopt;
    return bytes;
}

/// Ends a zlib stream however its inflating stops.
class InflateStream {
public:
    explicit InflateStream(int windowBits) : ready(inflateInit2(&stream, windowBits) == Z_OK) {}
    ~InflateStream() {
        if (ready) inflateEnd(&stream);
    }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;

    z_stream stream{};
    bool ready;
};

/// The inflated `data`, at most `limit` bytes plus one chunk (which shows there was more).
std::optional<std::string> Inflate(std::string_view data, Compression compression,
                                   std::size_t limit, std::string& error) {
    const char* kind = compression == Compression::Gzip ? "gzip" : "zlib";
    InflateStream inflater(compression == Compression::Gzip ? kGzipWindowBits : MAX_WBITS);
    if (!inflater.ready) {
        error = "zlib cannot start inflating";
        return std::nullopt;
    }
    z_stream& stream = inflater.stream;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::string out;
    std::array<char, kInflateChunk> chunk;
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(chunk.size());
        const int status = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk.data(), chunk.size() - stream.avail_out);
        if (status == Z_STREAM_END || out.size() > limit) return out;
        if (status == Z_OK) continue;
        error = std::string("\"data\" is not valid ") + kind + " data" +
                (status == Z_BUF_ERROR ? " (cut short)" : "");
        return std::nullopt;
    }
}

}  // namespace

std::optional<std::vector<std::uint32_t>> DecodeLayerData(std::string_view base64,
                                                          Compression compression,
                                                          std::size_t cells, std::string& error) {
    std::optional<std::string> bytes = DecodeBase64(base64);
    if (!bytes) {
        error = "\"data\" is not valid base64";
        return std::nullopt;
    }
    const std::size_t expected = cells * kBytesPerGid;
    if (compression != Compression::None) {
        bytes = Inflate(*bytes, compression, expected, error);
        if (!bytes) return std::nullopt;
    }
    if (bytes->size() != expected) {
        // Inflating stops soon after the limit, so a longer size is not the whole size.
        const std::string size = bytes->size() > expected ? "more than " + std::to_string(expected)
                                                          : std::to_string(bytes->size());
        error = "\"data\" holds " + size + " bytes, " + std::to_string(expected) +
                " expected (4 per cell)";
        return std::nullopt;
    }
    std::vector<std::uint32_t> gids(cells);
    const auto* raw = reinterpret_cast<const unsigned char*>(bytes->data());
    for (std::size_t i = 0; i < cells; ++i) {
        const unsigned char* p = raw + i * kBytesPerGid;
        gids[i] = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                  static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    }
    return gids;
}

}  // namespace levelimport
