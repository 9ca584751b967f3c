// The engine's input state under real X input: a small engine program (tests/inputprobe) on a
// private X server prints its orka::Input state whenever it changes, and xdotool presses keys,
// types, moves the pointer, clicks and turns the wheel over its window.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "support/Patience.hpp"
#include "support/PrivateXServer.hpp"  // last: Xlib defines short macro names

namespace {

using game::test::PrivateXServer;
using test_support::WaitUntil;

// SDL's scancodes (USB usage ids) of the keys pressed.
constexpr int kScancodeLeft = 80;
constexpr int kScancodeRight = 79;
// orka::MouseButton numbers as bits of the probe's masks.
constexpr int kLeftButtonBit = 1 << 1;
// The probe's camera: half the visible height and the window's centre, in world units.
constexpr float kOrthographicSize = 10.0f;
constexpr float kCentreX = 5.0f;
constexpr float kCentreY = 2.0f;
constexpr float kPixelTolerance = 0.01f;
constexpr float kWorldTolerance = 0.1f;  // about two pixels

/// One line of the probe: its input state in a frame where something changed.
struct State {
    std::string held, pressed, released, text;
    float mouseX = 0, mouseY = 0, worldX = 0, worldY = 0, wheelX = 0, wheelY = 0;
    int buttonsHeld = 0, buttonsPressed = 0, buttonsReleased = 0;
    int repeats = 0;  // the keyboard's repeats of held keys so far

    static bool Has(const std::string& list, int scancode) {
        std::istringstream codes(list);
        for (std::string code; std::getline(codes, code, ',');) {
            if (code == std::to_string(scancode)) return true;
        }
        return false;
    }
};

State Parse(const std::string& line) {
    State state;
    std::istringstream in(line);
    std::string word, bar;
    in >> word >> state.held >> bar >> word >> state.pressed >> bar >> word >> state.released >>
        bar >> word;
    // The text is quoted and may hold spaces.
    const auto open = line.find('"'), close = line.rfind('"');
    state.text = line.substr(open + 1, close - open - 1);
    std::istringstream rest(line.substr(close + 1));
    rest >> bar >> word >> state.mouseX >> state.mouseY >> bar >> word >> state.worldX >>
        state.worldY >> bar >> word >> state.wheelX >> state.wheelY >> bar >> word >>
        state.buttonsHeld >> state.buttonsPressed >> state.buttonsReleased >> bar >> word >>
        state.repeats;
    return state;
}

/// The probe running on a display, its standard output read as it comes; killed when it goes.
class Probe {
public:
    explicit Probe(const std::string& display) {
        int out[2];
        if (pipe(out) != 0) throw std::runtime_error("pipe");
        pid = fork();
        if (pid == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            setenv("DISPLAY", display.c_str(), 1);
            execl(ORKA_INPUT_PROBE_PATH, "input_probe", nullptr);
            _exit(127);
        }
        close(out[1]);
        output = out[0];
        fcntl(output, F_SETFL, O_NONBLOCK);
    }
    ~Probe() {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        close(output);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    /// Waits for a line whose state satisfies `wanted`, reading no further than that line;
    /// true when one came. Lines passed over stay in `Seen`.
    bool WaitFor(const std::function<bool(const State&)>& wanted) {
        return WaitUntil([&] {
            for (Read(); next < lines.size(); ++next) {
                if (!IsState(lines[next]) || !wanted(Parse(lines[next]))) continue;
                ++next;
                return true;
            }
            return false;
        });
    }
    /// The states of the lines read since `from` (a count of lines), up to the last one waited for.
    std::vector<State> Seen(std::size_t from) const {
        std::vector<State> states;
        for (std::size_t i = from; i < next; ++i) {
            if (IsState(lines[i])) states.push_back(Parse(lines[i]));
        }
        return states;
    }
    std::size_t Position() const { return next; }
    bool Ready() {
        return WaitUntil([&] {
            Read();
            return std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
                return line.rfind("ready ", 0) == 0;
            });
        });
    }

private:
    /// The engine logs to standard output too.
    static bool IsState(const std::string& line) { return line.rfind("held ", 0) == 0; }
    void Read() {
        char buffer[4096];
        for (ssize_t n; (n = read(output, buffer, sizeof buffer)) > 0;) partial.append(buffer, n);
        for (std::size_t end; (end = partial.find('\n')) != std::string::npos;) {
            lines.push_back(partial.substr(0, end));
            partial.erase(0, end + 1);
        }
    }

    pid_t pid = -1;
    int output = -1;
    std::string partial;
    std::vector<std::string> lines;
    std::size_t next = 0;
};

class RealInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(probe.Ready()) << "the probe did not start";
        window = x.WaitForWindow();
        ASSERT_NE(window, 0u);
        const XWindowAttributes attributes = x.Attributes(window);
        width = attributes.width;
        height = attributes.height;
        // The pointer over the window gives it the keyboard.
        ASSERT_TRUE(x.XdotoolOver(window, width / 2, height / 2, ""));
        ASSERT_TRUE(probe.WaitFor([](const State&) { return true; }));
    }
    bool Send(const std::string& actions) {
        return x.XdotoolOver(window, pointerX, pointerY, actions);
    }

    PrivateXServer x;
    Probe probe{x.display};
    Window window = 0;
    int width = 0, height = 0;
    int pointerX = 0, pointerY = 0;  // where actions start, X's window pixels from the top left
};

TEST_F(RealInputTest, KeysAreHeldPressedOnceAndReleasedOnce) {
    pointerX = width / 2;
    pointerY = height / 2;
    std::size_t from = probe.Position();
    ASSERT_TRUE(Send("keydown Left"));
    ASSERT_TRUE(probe.WaitFor([](const State& s) { return State::Has(s.pressed, kScancodeLeft); }));
    const State pressedFrame = probe.Seen(from).back();
    EXPECT_TRUE(State::Has(pressedFrame.held, kScancodeLeft)) << "held in the frame of its press";
    ASSERT_TRUE(probe.WaitFor([](const State& s) {
        return State::Has(s.held, kScancodeLeft) && s.pressed == "-";
    })) << "the press belongs to one frame only";
    // Held on, the key repeats (X's autorepeat, after about half a second).
    ASSERT_TRUE(probe.WaitFor([&](const State& s) {
        return s.repeats >= pressedFrame.repeats + 2;
    })) << "the held key did not repeat";

    // A second key down while the first is held, then the first let go.
    ASSERT_TRUE(Send("keydown Right keyup Left"));
    ASSERT_TRUE(probe.WaitFor([](const State& s) {
        return !State::Has(s.held, kScancodeLeft) && State::Has(s.held, kScancodeRight);
    }));
    ASSERT_TRUE(Send("keyup Right"));
    ASSERT_TRUE(probe.WaitFor([](const State& s) { return s.held == "-" && s.released == "-"; }));

    int leftPresses = 0, leftReleases = 0, rightPresses = 0, rightReleases = 0;
    for (const State& s : probe.Seen(from)) {
        leftPresses += State::Has(s.pressed, kScancodeLeft);
        leftReleases += State::Has(s.released, kScancodeLeft);
        rightPresses += State::Has(s.pressed, kScancodeRight);
        rightReleases += State::Has(s.released, kScancodeRight);
        if (State::Has(s.released, kScancodeLeft)) {
            EXPECT_FALSE(State::Has(s.held, kScancodeLeft)) << "not held once let go";
        }
        EXPECT_TRUE(s.text.empty()) << "arrow keys type nothing";
    }
    // Held keys repeat on X; a repeat is no new press.
    EXPECT_EQ(leftPresses, 1);
    EXPECT_EQ(leftReleases, 1);
    EXPECT_EQ(rightPresses, 1);
    EXPECT_EQ(rightReleases, 1);
}

TEST_F(RealInputTest, TypedTextArrivesAsTheLayoutMakesIt) {
    pointerX = width / 2;
    pointerY = height / 2;
    ASSERT_TRUE(Send("type --delay 30 'Hi, you!'"));
    std::string typed;
    ASSERT_TRUE(probe.WaitFor([&](const State& s) {
        typed += s.text;
        return typed.size() >= 8;
    })) << "typed so far: \""
        << typed << "\"";
    // Shift and punctuation as the layout makes them; text kept past its frame would repeat.
    EXPECT_EQ(typed, "Hi, you!");
}

// Positions are window pixels from the lower-left corner, and world units through the probe's
// orthographic camera.
TEST_F(RealInputTest, ThePointerIsPlacedFromTheLowerLeftAndInTheWorld) {
    struct Place {
        int x, y;  // X's window pixels from the top left
    };
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    for (const Place place : {Place{10, 20}, Place{width - 30, height - 5}, Place{width / 2, 0}}) {
        SCOPED_TRACE("pointer at " + std::to_string(place.x) + ", " + std::to_string(place.y));
        pointerX = place.x;
        pointerY = place.y;
        ASSERT_TRUE(Send(""));
        const float expectedX = static_cast<float>(place.x);
        const float expectedY = static_cast<float>(height - 1 - place.y);
        ASSERT_TRUE(probe.WaitFor([&](const State& s) {
            return std::fabs(s.mouseX - expectedX) < kPixelTolerance &&
                   std::fabs(s.mouseY - expectedY) < kPixelTolerance;
        }));
        const State state = probe.Seen(probe.Position() - 1).back();
        const float ndcX = expectedX / static_cast<float>(width) * 2.0f - 1.0f;
        const float ndcY = expectedY / static_cast<float>(height) * 2.0f - 1.0f;
        EXPECT_NEAR(state.worldX, kCentreX + ndcX * kOrthographicSize * aspect, kWorldTolerance);
        EXPECT_NEAR(state.worldY, kCentreY + ndcY * kOrthographicSize, kWorldTolerance);
    }
}

TEST_F(RealInputTest, ClicksAndWheelTurnsAreSeenOnce) {
    pointerX = 100;
    pointerY = 100;
    std::size_t from = probe.Position();
    ASSERT_TRUE(Send("mousedown 1"));
    ASSERT_TRUE(
        probe.WaitFor([](const State& s) { return (s.buttonsPressed & kLeftButtonBit) != 0; }));
    EXPECT_NE(probe.Seen(from).back().buttonsHeld & kLeftButtonBit, 0);
    ASSERT_TRUE(Send("mouseup 1"));
    ASSERT_TRUE(
        probe.WaitFor([](const State& s) { return (s.buttonsReleased & kLeftButtonBit) != 0; }));
    EXPECT_EQ(probe.Seen(from).back().buttonsHeld & kLeftButtonBit, 0);

    // Wheel: 4 turns away from the user, 5 towards; each turn is one frame's news.
    struct Turn {
        int button;
        float direction;
    };
    for (const Turn turn : {Turn{4, 1.0f}, Turn{5, -1.0f}}) {
        const int button = turn.button;
        const float direction = turn.direction;
        SCOPED_TRACE("wheel button " + std::to_string(button));
        from = probe.Position();
        ASSERT_TRUE(Send("click " + std::to_string(button)));
        ASSERT_TRUE(probe.WaitFor([&](const State& s) { return s.wheelY * direction > 0.0f; }));
        ASSERT_TRUE(probe.WaitFor([](const State& s) { return s.wheelY == 0.0f; }))
            << "the turn belongs to one frame";
        float turned = 0.0f;
        for (const State& s : probe.Seen(from)) turned += s.wheelY;
        EXPECT_FLOAT_EQ(turned, direction);
        for (const State& s : probe.Seen(from)) EXPECT_EQ(s.buttonsPressed, 0) << "no click";
    }
}

}  // namespace
