#include "showcase/Options.hpp"

#include <cerrno>
#include <cstdlib>

namespace showcase {

namespace {

constexpr long maxFrames = 1000000000;

bool parseFrameCount(const std::string& text, int& frames) {
    if (text.empty() || text[0] < '0' || text[0] > '9') return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < 1 || value > maxFrames) return false;
    frames = static_cast<int>(value);
    return true;
}

}  // namespace

Options Options::parse(const std::vector<std::string>& arguments) {
    Options options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool takesValue = argument == "--frames" || argument == "--screenshot";
        if (takesValue && i + 1 == arguments.size()) {
            options.error = argument + " needs a value";
            return options;
        }
        if (argument == "--frames") {
            const std::string& value = arguments[++i];
            if (!parseFrameCount(value, options.frames)) {
                options.error = "--frames needs a whole number from 1 to " +
                                std::to_string(maxFrames) + ", not '" + value + "'";
                return options;
            }
        } else if (argument == "--screenshot") {
            options.screenshotPath = arguments[++i];
        } else if (argument == "--stats") {
            options.printStats = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else {
            options.error = "unknown argument '" + argument + "'";
            return options;
        }
    }
    return options;
}

std::string Options::usage() {
    return "usage: showcase [--frames N] [--screenshot FILE.png] [--stats] [--help]\n"
           "Shows the orka engine's primitives, lights, particles, an off-screen framebuffer\n"
           "and the live render statistics. Arrow keys orbit the camera; Escape quits.\n"
           "  --frames N         quit after N frames\n"
           "  --screenshot FILE  write the last frame drawn to FILE as a PNG picture\n"
           "                     (reads the window back every frame)\n"
           "  --stats            print the render statistics of the last frame on exit\n"
           "Exit code: 0 done, 1 no window or the picture could not be written, 2 wrong usage.\n";
}

}  // namespace showcase
