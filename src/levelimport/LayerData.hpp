#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace levelimport {

/// How a layer's base64 "data" was packed before encoding.
enum class Compression { None, Zlib, Gzip, Zstd };

/// The compression Tiled names `name` ("", "zlib", "gzip" or "zstd"), or empty with `error` set.
std::optional<Compression> CompressionNamed(std::string_view name, std::string& error);

/// The global ids of Tiled's "CSV" layer format as XML holds it: `cells` unsigned numbers
/// separated by commas, with any white space between. Empty, with `error` saying why, otherwise.
std::optional<std::vector<std::uint32_t>> ParseCsvData(std::string_view text, std::size_t cells,
                                                       std::string& error);

/// The global ids in a tile layer's base64 "data": `cells` little-endian 32-bit numbers, after
/// inflating them when compressed. Empty, with `error` saying why, when the data is anything
/// else. Never inflates more than the `cells` ids need, whatever the data claims.
std::optional<std::vector<std::uint32_t>> DecodeLayerData(std::string_view base64,
                                                          Compression compression,
                                                          std::size_t cells, std::string& error);

}  // namespace levelimport
