// The orka engine's showcase: what the platform game does not use, in one small scene. See
// ShowcaseScene.hpp for what is drawn and Options.cpp (or --help) for the command line.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "orka/SDLRenderer.hpp"
#include "showcase/Options.hpp"
#include "showcase/ShowcaseApp.hpp"

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

}  // namespace

int main(int argc, char** argv) {
    const showcase::Options options =
        showcase::Options::parse(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::cerr << "showcase: " << options.error << '\n' << showcase::Options::usage();
        return exitUsage;
    }
    if (options.help) {
        std::cout << showcase::Options::usage();
        return 0;
    }
    try {
        orka::SDLRenderer window;
        window.setWindowTitle("orka showcase");
        window.init(SDL_INIT_VIDEO);
        if (window.getSDLWindow() == nullptr) {
            std::cerr << "showcase: cannot open a window (is an X display available?)\n";
            return exitFailure;
        }
        showcase::ShowcaseApp app(window, options);
        return app.run(std::cout, std::cerr);
    } catch (const std::exception& error) {
        // The engine's fatal log throws, e.g. when no OpenGL 3.3 context can be made.
        std::cerr << "showcase: " << error.what() << '\n';
        return exitFailure;
    }
}
