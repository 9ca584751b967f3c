#include "levelcheck/KeyPlan.hpp"

#include <algorithm>
#include <sstream>

namespace {

struct NamedKey {
    KeySet key;
    const char* name;
};
// The order of the events of one frame in a script.
constexpr NamedKey kNamedKeys[] = {{kRightKey, "Right"}, {kLeftKey, "Left"}, {kSpaceKey, "Space"}};

}  // namespace

void KeyPlan::Hold(KeySet keys, int count) {
    if (count <= 0) return;
    frames += count;
    if (!spans.empty() && spans.back().keys == keys) {
        spans.back().frames += count;
        return;
    }
    spans.push_back({keys, count});
}

KeyPlan KeyPlan::Truncated(int limit) const {
    KeyPlan plan;
    for (const Span& span : spans) {
        if (plan.frames >= limit) break;
        plan.Hold(span.keys, std::min(span.frames, limit - plan.frames));
    }
    return plan;
}

KeyPlan KeyPlan::FromSpans(const std::vector<Span>& spans) {
    KeyPlan plan;
    for (const Span& span : spans) plan.Hold(span.keys, span.frames);
    return plan;
}

int KeyPlan::CountKeyEvents() const {
    int events = 0;
    KeySet held = kNoKeys;
    for (const Span& span : spans) {
        for (const NamedKey& named : kNamedKeys) {
            if ((held & named.key) != (span.keys & named.key)) ++events;
        }
        held = span.keys;
    }
    return events;
}

int KeyPlan::GetLastEventFrame() const {
    // Every span but a first one without keys begins with an event.
    if (spans.empty() || (spans.size() == 1 && spans[0].keys == kNoKeys)) return 0;
    return frames - spans.back().frames;
}

std::string KeyPlan::ToScript(const std::string& header,
                              const std::vector<std::string>& notes) const {
    std::ostringstream script;
    script << header;
    KeySet held = kNoKeys;
    int frame = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const Span& span = spans[i];
        bool noted = i >= notes.size() || notes[i].empty();
        // Releases first, so a line never shows two keys of one hand held together by accident.
        for (const bool down : {false, true}) {
            for (const NamedKey& named : kNamedKeys) {
                const bool wasDown = (held & named.key) != 0;
                const bool isDown = (span.keys & named.key) != 0;
                if (wasDown == isDown || isDown != down) continue;
                script << frame << (down ? " down " : " up ") << named.name;
                if (!noted) script << "  # " << notes[i];
                noted = true;
                script << "\n";
            }
        }
        held = span.keys;
        frame += span.frames;
    }
    return script.str();
}

bool KeyPlan::operator==(const KeyPlan& other) const {
    if (frames != other.frames || spans.size() != other.spans.size()) return false;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        if (spans[i].keys != other.spans[i].keys || spans[i].frames != other.spans[i].frames) {
            return false;
        }
    }
    return true;
}
