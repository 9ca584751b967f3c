#pragma once

/// \file
/// A check of FLAC data before SDL_mixer decodes it (private to the engine).

#include <cstddef>
#include <string>

namespace orka {

/// Why SDL_mixer must not be given `size` bytes of sound data, or empty when they may be
/// given. Only FLAC data (after an optional ID3v2 tag) is looked at: SDL_mixer copies each
/// comment of a FLAC file as a C string, and libFLAC hands an empty comment over as a null
/// pointer, so a file with one ends the program. Such files, and comment blocks whose lengths
/// run past their end, are refused.
std::string flacCommentsProblem(const unsigned char* data, std::size_t size);

}  // namespace orka
