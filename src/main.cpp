#include <iostream>

#include "game/Application.hpp"

int main() {
    Application::GetInstance();
    // Keep the console open after the game until a key (and Enter) is pressed.
    char ch;
    std::cin >> ch;
    return 0;
}
