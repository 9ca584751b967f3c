#include <cstdlib>
#include <iostream>

#include "game/Application.hpp"

int main() {
    const Application* application = Application::GetInstance();
    // Keep the console open after the game until a key (and Enter) is pressed.
    char ch;
    std::cin >> ch;
    // A game that ended on a problem says so to whoever started it.
    return application->failed ? EXIT_FAILURE : EXIT_SUCCESS;
}
