#pragma once

#include <cstdint>
#include <string>
#include <vector>

/// Which of the player's keys are held: a set of Right, Left and Space.
using KeySet = std::uint8_t;
constexpr KeySet kNoKeys = 0;
constexpr KeySet kRightKey = 1;
constexpr KeySet kLeftKey = 2;
constexpr KeySet kSpaceKey = 4;

/// Input for one level as spans of held keys: "hold Right for 40 frames, then Right and Space
/// for 12, then nothing for 8". The search builds plans; `ToScript` writes one in the script
/// format that `InputScript` reads, with one key event wherever a key changes.
class KeyPlan {
public:
    /// Keys held unchanged for `frames` updates of 1/60 s.
    struct Span {
        KeySet keys = kNoKeys;
        int frames = 0;
    };

    /// Holds `keys` for `frames` more updates; a span with the keys of the last one lengthens
    /// it, so a plan never has two neighbouring spans with the same keys. Zero frames add nothing.
    void Hold(KeySet keys, int frames);
    /// The plan's first `frames` updates.
    KeyPlan Truncated(int frames) const;

    const std::vector<Span>& GetSpans() const { return spans; }
    /// The plan with its spans replaced (neighbours with the same keys are merged).
    static KeyPlan FromSpans(const std::vector<Span>& spans);
    /// Updates the whole plan lasts.
    int GetFrames() const { return frames; }
    /// The keys held at the plan's end (none for an empty plan).
    KeySet GetLastKeys() const { return spans.empty() ? kNoKeys : spans.back().keys; }
    /// How many key events `ToScript` writes.
    int CountKeyEvents() const;
    /// The frame of the last key event `ToScript` writes (0 when there is none).
    int GetLastEventFrame() const;

    /// The plan as a script: `header` (comment lines, each starting with "#"), then "<frame>
    /// down|up Right|Left|Space" lines. Keys still held at the end stay down. `notes[i]`, when
    /// there is one, is written as a comment after the first event of span i.
    std::string ToScript(const std::string& header,
                         const std::vector<std::string>& notes = {}) const;

    bool operator==(const KeyPlan& other) const;

private:
    std::vector<Span> spans;
    int frames = 0;
};
