#include <cstdlib>
#include <iostream>

#include "game/Application.hpp"

int main() {
    const Application* application = Application::GetInstance();
    // The error line above reads like a crash; say plainly what happened and what to do.
    if (application->failed) {
        std::cout << std::endl
                  << "The world could not start. Type any character and press Enter to end the "
                     "program."
                  << std::endl;
    }
    // Keep the console open after the game until a key (and Enter) is pressed.
    char ch;
    std::cin >> ch;
    // A game that ended on a problem says so to whoever started it.
    return application->failed ? EXIT_FAILURE : EXIT_SUCCESS;
}
