#pragma once

#include <functional>

/// The process-wide start-up object. Its constructor holds the console dialogue (world and
/// sprite atlas), then runs the game (`SceneManager`) and returns when the game has ended.
/// Created on the heap on first request and never destroyed.
///
/// The dialogue reads whitespace-separated names from standard input. "1" at the first prompt
/// picks the default world; "0" at a retry prompt, or the end of standard input while a name is
/// awaited, ends the process with exit code 0.
class Application {
public:
    /// The one instance; the first call runs the dialogue and the game. Calls made while that
    /// constructor still runs get the instance under construction.
    static Application* GetInstance();
    /// The instance if there is one, null otherwise; never runs the dialogue. For code that
    /// may also run without the console application (a scene driven by hand).
    static Application* GetExistingInstance() { return instance; }

    /// Runs `game` and logs, as an error, whatever it throws (a std::exception, a C string or
    /// anything else); never throws itself. False when it threw. The constructor hands over to
    /// the scene manager through it.
    static bool RunGuarded(const std::function<void()>& game);

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    /// True once the dialogue has produced a world and an atlas, just before the game starts.
    bool started = false;
    /// The game's debug switch (debug log lines, physics overlay); always off in this program.
    bool debug = false;
    /// The game ended on a problem (the window could not be opened, the atlas or the first
    /// level could not be loaded, ...): the program's exit code is not 0.
    bool failed = false;

private:
    Application();

    static Application* instance;
};
