#pragma once

#include <string>
#include <vector>

namespace showcase {

/// The showcase's command line. Without options it runs until Escape or the window is closed.
struct Options {
    int frames = 0;              ///< quit after this many frames; 0: no limit
    std::string screenshotPath;  ///< write the last frame to this PNG file; empty: no picture
    bool printStats = false;     ///< print the render statistics of the last frame on exit
    bool help = false;           ///< print the usage and quit
    std::string error;           ///< why the command line was refused; empty when it is fine

    /// Reads the arguments after the program name. Refuses unknown options, stray arguments,
    /// missing values and frame counts that are not whole numbers from 1 to 1000000000.
    static Options parse(const std::vector<std::string>& arguments);
    static std::string usage();
};

}  // namespace showcase
