// Fuzzes the engine's file loaders through a file path, as a game hands them one: the first
// byte of each input picks what the path names (a file holding the rest of the input, a folder,
// a pipe nobody writes to, a missing file or a link to itself), and the font, image and sound
// loaders each load it. (/dev/zero, read up to the 256 MiB limit by each loader, takes seconds
// under the sanitizers: the engine's bad-call test covers it.) None may throw, hang, or read out of
// bounds; each failure is a log line (dropped here) and an empty result.
//
// The sound loader needs an open audio output: SDL's disk driver writing to /dev/null gives one
// without a sound card. No window or GL context is needed.
//
//   build-fuzz/fuzz/fileloaders_fuzzer [libFuzzer options] CORPUS_DIR...
#include <SDL.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "FuzzSupport.hpp"
#include "orka/AudioOutput.hpp"
#include "orka/FileBytes.hpp"
#include "orka/Font.hpp"
#include "orka/Sound.hpp"
#include "orka/TextureLoader.hpp"

namespace {

namespace fs = std::filesystem;

enum class PathKind { File, Folder, Pipe, Missing, SelfLink, Count };

// Made once: a scratch folder holding one path of each kind.
struct Paths {
    Paths() {
        std::string pattern = (fs::temp_directory_path() / "orka-fileloaders-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        folder = pattern;
        file = folder / "input";
        fs::create_directory(folder / "folder");
        if (mkfifo((folder / "pipe").c_str(), 0600) != 0) std::abort();
        fs::create_symlink(folder / "loop", folder / "loop");
    }
    ~Paths() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    std::string pathOf(PathKind kind) const {
        switch (kind) {
            case PathKind::File:
                return file.string();
            case PathKind::Folder:
                return (folder / "folder").string();
            case PathKind::Pipe:
                return (folder / "pipe").string();
            case PathKind::Missing:
                return (folder / "missing").string();
            default:
                return (folder / "loop").string();
        }
    }
    fs::path folder;
    fs::path file;
};

Paths* paths = nullptr;
orka::AudioOutput* audio = nullptr;

PathKind kindOf(const uint8_t* data, size_t size) {
    if (size == 0) return PathKind::File;
    return static_cast<PathKind>(data[0] % static_cast<int>(PathKind::Count));
}

}  // namespace

// SDL_mixer's decoders leave a few buffers behind on some malformed sound files (allocated by
// SDL inside Mix_LoadWAV_RW, which this program calls with freesrc set and whose chunk it frees):
// the stacks hold SDL frames only. Suppressed for this program alone, so that the other fuzz
// programs and the test stages still report any leak in SDL.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libSDL2_mixer-2.0.so\nleak:libSDL2-2.0.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    orka::fuzz::quietLog();
    static Paths madePaths;
    paths = &madePaths;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    static orka::AudioOutput output;
    audio = &output;
    if (!audio->isOpen()) std::fprintf(stderr, "no audio output: sounds are not loaded\n");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const PathKind kind = kindOf(data, size);
    const std::string path = paths->pathOf(kind);
    if (kind == PathKind::File) {
        const size_t skip = size == 0 ? 0 : 1;
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data) + skip,
                   static_cast<std::streamsize>(size - skip));
    }
    const orka::FileBytes file = orka::readFileBytes(path);
    orka::fuzz::require(file.ok || file.bytes.empty(), "a failed read kept bytes");
    orka::fuzz::require(file.ok == (kind == PathKind::File || kind == PathKind::Pipe),
                        "only the file and the pipe can be read");

    const auto font = orka::Font::load(path, 16);
    orka::fuzz::require(font == nullptr || kind == PathKind::File, "a font from no file");

    bool readable = false;
    const auto bytes = orka::texture_loader::readAllBytes(path, &readable);
    if (readable) {
        const auto image = orka::texture_loader::loadFileFromMemory(
            bytes.data(), static_cast<int>(bytes.size()), true, path);
        orka::fuzz::require(!image.valid || kind == PathKind::File, "an image from no file");
    }

    const auto sound = audio->load(path);
    orka::fuzz::require(sound == nullptr || kind == PathKind::File, "a sound from no file");
    return 0;
}
