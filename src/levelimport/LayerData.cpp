#include "levelimport/LayerData.hpp"

#include <zlib.h>
#include <zstd.h>

#include <array>
#include <charconv>
#include <memory>

#include "levelimport/TiledMap.hpp"

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

struct ZstdStreamFree {
    void operator()(ZSTD_DStream* stream) const { ZSTD_freeDStream(stream); }
};

/// The zstd-decompressed `data`, at most `limit` bytes plus one chunk (which shows there was
/// more): a frame's claimed size is never trusted.
std::optional<std::string> Unzstd(std::string_view data, std::size_t limit, std::string& error) {
    const std::unique_ptr<ZSTD_DStream, ZstdStreamFree> stream(ZSTD_createDStream());
    if (!stream || ZSTD_isError(ZSTD_initDStream(stream.get()))) {
        error = "zstd cannot start decompressing";
        return std::nullopt;
    }
    ZSTD_inBuffer in{data.data(), data.size(), 0};
    std::string out;
    std::array<char, kInflateChunk> chunk;
    for (;;) {
        ZSTD_outBuffer buffer{chunk.data(), chunk.size(), 0};
        const std::size_t status = ZSTD_decompressStream(stream.get(), &buffer, &in);
        if (ZSTD_isError(status)) {
            error = "\"data\" is not valid zstd data";
            return std::nullopt;
        }
        out.append(chunk.data(), buffer.pos);
        if (status == 0 || out.size() > limit) return out;
        // Everything given was read and nothing more came out: the frame is cut short.
        if (in.pos == in.size && buffer.pos < buffer.size) {
            error = "\"data\" is not valid zstd data (cut short)";
            return std::nullopt;
        }
    }
}

std::optional<std::string> Decompress(std::string_view data, Compression compression,
                                      std::size_t limit, std::string& error) {
    if (compression == Compression::Zstd) return Unzstd(data, limit, error);
    return Inflate(data, compression, limit, error);
}

}  // namespace

std::optional<Compression> CompressionNamed(std::string_view name, std::string& error) {
    if (name.empty()) return Compression::None;
    if (name == "zlib") return Compression::Zlib;
    if (name == "gzip") return Compression::Gzip;
    if (name == "zstd") return Compression::Zstd;
    error = "unknown compression " + Quoted(name);
    return std::nullopt;
}

std::optional<std::vector<std::uint32_t>> ParseCsvData(std::string_view text, std::size_t cells,
                                                       std::string& error) {
    std::vector<std::uint32_t> gids;
    std::size_t at = 0;
    const auto skipSpace = [&] {
        while (at < text.size() && IsSpace(text[at])) ++at;
    };
    for (skipSpace(); at < text.size();) {
        if (gids.size() == cells) {
            error = "the data holds more tile ids than the " + std::to_string(cells) + " cells";
            return std::nullopt;
        }
        std::uint32_t gid = 0;
        const auto [end, status] =
            std::from_chars(text.data() + at, text.data() + text.size(), gid);
        if (status != std::errc()) {
            error = "tile id " + std::to_string(gids.size() + 1) + " of the data is not a tile id";
            return std::nullopt;
        }
        gids.push_back(gid);
        at = static_cast<std::size_t>(end - text.data());
        skipSpace();
        if (at < text.size() && text[at] == ',') ++at;
        skipSpace();
    }
    if (gids.size() != cells) {
        error = "the data holds " + std::to_string(gids.size()) + " tile ids, the layer has " +
                std::to_string(cells) + " cells";
        return std::nullopt;
    }
    return gids;
}

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
        bytes = Decompress(*bytes, compression, expected, error);
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
