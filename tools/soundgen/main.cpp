// soundgen: synthesises the sound effects and the music of the default world and writes them as
// WAV files.
//
//   soundgen [output-folder]
//
// output-folder defaults to data. Run from the repository root (or pass the path) to regenerate
// the committed sounds; the output is the same, byte for byte, on every run.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "Music.hpp"
#include "SoundEffects.hpp"
#include "WavFile.hpp"

int main(int argc, char** argv) {
    if (argc > 2) {
        std::cerr << "usage: soundgen [output-folder]" << std::endl;
        return 2;
    }
    const std::string folder = argc == 2 ? argv[1] : "data";
    try {
        std::vector<SoundEffect> sounds = AllSoundEffects();
        sounds.push_back({kMusicFileName, NightTune()});
        for (const SoundEffect& effect : sounds) {
            const std::string path = folder + "/" + effect.fileName;
            WriteFile(path, WavBytes(effect.samples));
            std::cout << "soundgen: wrote " << path << " ("
                      << static_cast<double>(effect.samples.size()) / kSampleRate << " s)"
                      << std::endl;
        }
    } catch (const std::exception& e) {
        std::cerr << "soundgen: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
