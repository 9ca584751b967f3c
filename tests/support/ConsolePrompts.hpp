#pragma once

#include <string>

namespace game::test {

/// What the console dialogue prints, prompt by prompt, exactly as a player sees it.
inline const std::string kWorldPrompt =
    "\n\nEnter you desired world: \n"
    "(Enter filename without level number or filextension or enter 1 for default)\n> ";
inline const std::string kAtlasPrompt =
    "\n\nEnter name of Spriteatlas(Without file extension): \n"
    "(File must be a png and have accomponing json file)\n> ";
inline const std::string kRetryPrompt =
    "\n\nFilename Not Found, please enter correct file name\n"
    "(Write 0 to exit application)\n> ";

}  // namespace game::test
