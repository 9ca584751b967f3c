#pragma once

#include <string>

#include "picture/Image.hpp"

// Writes `picture` as the PNG file `path`, whole or not at all: under a temporary name beside
// it, renamed into place once complete, so a failed write leaves the previous file as it was.
// Throws std::runtime_error naming the file when it cannot be written. Needs SDL's video
// subsystem to have been initialised (the engine's PNG writer).
void WritePngWhole(const Image& picture, const std::string& path);
