#include "game/Event.hpp"

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

/// Handlers record "<target name><function number>" so that a call sequence reads as "a1 b1".
struct Target {
    std::string name;
    std::vector<std::string>* calls;
    std::function<void()> onCall;  // optional side effect, run after recording
};

template <int N>
void Handler(void* target) {
    auto* t = static_cast<Target*>(target);
    t->calls->push_back(t->name + std::to_string(N));
    if (t->onCall) t->onCall();
}

std::string Joined(const std::vector<std::string>& calls) {
    std::string text;
    for (const auto& call : calls) text += (text.empty() ? "" : " ") + call;
    return text;
}

class EventTest : public ::testing::Test {
protected:
    std::vector<std::string> calls;
    Target a{"a", &calls, {}}, b{"b", &calls, {}}, c{"c", &calls, {}};
    Event<> event;

    std::string InvokeAndTrace() {
        calls.clear();
        event.Invoke();
        return Joined(calls);
    }
};

TEST_F(EventTest, NewestSubscriberIsCalledFirst) {
    event.Subscribe(&a, &Handler<1>);
    event.Subscribe(&b, &Handler<1>);
    event.Subscribe(&c, &Handler<1>);
    EXPECT_EQ(event.GetCount(), 3);
    EXPECT_EQ(InvokeAndTrace(), "c1 b1 a1");
}

TEST_F(EventTest, UnsubscribeRemovesOnlyTheRecordNearestTheHead) {
    event.Subscribe(&a, &Handler<1>);
    event.Subscribe(&b, &Handler<1>);
    event.Subscribe(&a, &Handler<1>);
    event.Unsubscribe(&a, &Handler<1>);
    EXPECT_EQ(event.GetCount(), 2);
    EXPECT_EQ(InvokeAndTrace(), "b1 a1");
}

TEST_F(EventTest, UnsubscribeOfUnknownPairChangesNothing) {
    event.Unsubscribe(&a, &Handler<1>);  // empty event
    EXPECT_EQ(event.GetCount(), 0);
    event.Subscribe(&a, &Handler<1>);
    event.Subscribe(&b, &Handler<2>);
    event.Unsubscribe(&a, &Handler<2>);  // right target, other function
    event.Unsubscribe(&b, &Handler<1>);  // right function, other target
    event.Unsubscribe(&c, &Handler<1>);
    EXPECT_EQ(event.GetCount(), 2);
    EXPECT_EQ(InvokeAndTrace(), "b2 a1");
}

TEST_F(EventTest, ClearDropsEveryRecord) {
    event.Subscribe(&a, &Handler<1>);
    event.Subscribe(&b, &Handler<1>);
    event.Clear();
    EXPECT_EQ(event.GetCount(), 0);
    EXPECT_EQ(InvokeAndTrace(), "");
}

// A record added at the head during an invocation shifts the others back by one, so the
// handler that subscribed is called once more and the new record waits for the next invocation.
TEST_F(EventTest, SubscribingDuringInvocationRepeatsTheCurrentRecord) {
    bool subscribed = false;
    a.onCall = [&] {
        if (!subscribed) event.Subscribe(&b, &Handler<1>);
        subscribed = true;
    };
    event.Subscribe(&c, &Handler<1>);
    event.Subscribe(&a, &Handler<1>);
    EXPECT_EQ(InvokeAndTrace(), "a1 a1 c1");
    EXPECT_EQ(InvokeAndTrace(), "b1 a1 c1");
}

// Removing the current record shifts the later ones forward, so the next one is skipped.
TEST_F(EventTest, UnsubscribingDuringInvocationFollowsTheIndexingRule) {
    b.onCall = [&] { event.Unsubscribe(&b, &Handler<1>); };
    event.Subscribe(&a, &Handler<1>);
    event.Subscribe(&b, &Handler<1>);
    event.Subscribe(&c, &Handler<1>);
    EXPECT_EQ(InvokeAndTrace(), "c1 b1");
    EXPECT_EQ(InvokeAndTrace(), "c1 a1");

    // Removing a record that has not been reached yet: it is simply not called.
    c.onCall = [&] { event.Unsubscribe(&a, &Handler<1>); };
    EXPECT_EQ(InvokeAndTrace(), "c1");
    EXPECT_EQ(event.GetCount(), 1);
}

void AddDelta(void* target, float delta) {
    *static_cast<float*>(target) += delta;
}
void RecordAddress(void* target, SDL_Event& event) {
    *static_cast<const void**>(target) = &event;
    event.key.keysym.sym = SDLK_SPACE;  // handlers may change what they are given
}
void RecordPointer(void* target, int* pointer) {
    *static_cast<int**>(target) = pointer;
}

TEST(EventArguments, EveryHandlerReceivesTheArguments) {
    float sum = 0.0f;
    Event<float> update;
    update.Subscribe(&sum, &AddDelta);
    update.Subscribe(&sum, &AddDelta);
    update.Invoke(0.25f);
    EXPECT_FLOAT_EQ(sum, 0.5f);

    SDL_Event key{};
    const void* seen = nullptr;
    Event<SDL_Event&> keyInput;
    keyInput.Subscribe(&seen, &RecordAddress);
    keyInput.Invoke(key);
    EXPECT_EQ(seen, &key);  // passed by reference, not copied
    EXPECT_EQ(key.key.keysym.sym, SDLK_SPACE);

    int value = 0;
    int* received = nullptr;
    Event<int*> pointerEvent;
    pointerEvent.Subscribe(&received, &RecordPointer);
    pointerEvent.Invoke(&value);
    EXPECT_EQ(received, &value);
}

struct Counter {
    int total = 0;
    void Add(float amount) { total += static_cast<int>(amount); }
};

TEST(EventArguments, CallMemberForwardsToTheMethodAndIdentifiesTheSubscription) {
    Counter counter;
    Event<float> update;
    update.Subscribe(&counter, &CallMember<&Counter::Add>);
    update.Invoke(3.0f);
    EXPECT_EQ(counter.total, 3);
    update.Unsubscribe(&counter, &CallMember<&Counter::Add>);
    EXPECT_EQ(update.GetCount(), 0);
}

// The straightforward form of the rule: a singly linked list walked from the head for every
// record. The event must behave exactly like it under any mix of changes made by handlers.
class ReferenceEvent {
public:
    using Function = void (*)(void*);
    ~ReferenceEvent() { Clear(); }
    void Subscribe(void* target, Function function) {
        head = new Node{target, function, head};
        ++count;
    }
    void Unsubscribe(void* target, Function function) {
        for (Node** link = &head; *link != nullptr; link = &(*link)->next) {
            if ((*link)->target != target || (*link)->function != function) continue;
            Node* gone = *link;
            *link = gone->next;
            delete gone;
            --count;
            return;
        }
    }
    void Invoke() {
        for (int i = 0; i < count; ++i) {
            Node* node = head;
            for (int step = 0; step < i; ++step) node = node->next;
            node->function(node->target);
        }
    }
    int GetCount() const { return count; }
    void Clear() {
        while (head != nullptr) Unsubscribe(head->target, head->function);
    }

private:
    struct Node {
        void* target;
        Function function;
        Node* next;
    };
    Node* head = nullptr;
    int count = 0;
};

/// Plays the same seeded script of subscriptions, removals and invocations on one event type;
/// during invocations the handlers themselves subscribe and unsubscribe at random.
template <typename EventType>
class Script {
public:
    /// `growing`: more subscriptions than removals, so the list grows long.
    explicit Script(unsigned seed, bool growing = false)
        : random(seed),
          subscribeBelow(growing ? 6 : 4),
          handlerSubscribeBelow(growing ? 3 : 2),
          targetCount(growing ? kManyTargets : kTargets) {
        current = this;
    }

    std::vector<int> Run(int steps) {
        for (int step = 0; step < steps; ++step) {
            int choice = Pick(10);
            if (choice < subscribeBelow) Subscribe();
            if (choice >= subscribeBelow && choice < 6) Unsubscribe();
            if (choice >= 6) {
                callsThisInvocation = 0;
                event.Invoke();
                trace.push_back(-1);  // marks the end of an invocation
            }
        }
        trace.push_back(event.GetCount());
        return trace;
    }

private:
    static constexpr int kTargets = 4;
    static constexpr int kManyTargets = 64;  // growing lists: many pairs occur only once
    static constexpr int kCallsBeforeHandlersCalmDown = 200;

    template <int N>
    static void Handle(void* target) {
        Script& self = *current;
        int targetIndex = static_cast<int>(static_cast<char*>(target) - self.targets);
        self.trace.push_back(targetIndex * 10 + N);
        // Handlers keep changing the event only for a while, so every invocation ends.
        if (++self.callsThisInvocation > kCallsBeforeHandlersCalmDown) return;
        int choice = self.Pick(10);
        if (choice < self.handlerSubscribeBelow) self.Subscribe();
        if (choice >= self.handlerSubscribeBelow && choice < 5) self.Unsubscribe();
    }

    int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random); }
    typename EventType::Function PickFunction() {
        switch (Pick(3)) {
            case 0:
                return &Handle<0>;
            case 1:
                return &Handle<1>;
            default:
                return &Handle<2>;
        }
    }
    void Subscribe() {
        void* target = &targets[Pick(targetCount)];
        event.Subscribe(target, PickFunction());
    }
    void Unsubscribe() {
        void* target = &targets[Pick(targetCount)];
        event.Unsubscribe(target, PickFunction());
    }

    static inline Script* current = nullptr;
    std::mt19937 random;
    const int subscribeBelow;         // out of 10 choices; the next ones up to 6 unsubscribe
    const int handlerSubscribeBelow;  // the same for handlers, up to 5
    EventType event;
    const int targetCount;
    char targets[kManyTargets] = {};
    std::vector<int> trace;
    int callsThisInvocation = 0;
};

TEST(EventDifferential, MatchesTheLinkedListRuleUnderRandomChanges) {
    std::size_t calls = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::vector<int> expected = Script<ReferenceEvent>(seed).Run(60);
        std::vector<int> actual = Script<Event<>>(seed).Run(60);
        ASSERT_EQ(actual, expected) << "seed " << seed;
        calls += expected.size();
    }
    EXPECT_GT(calls, 30000u) << "the scripts hardly called any handler";
}

TEST(EventDifferential, MatchesTheLinkedListRuleWithListsLongEnoughToBeCounted) {
    // These scripts grow the lists past the size from which pairs are counted, with many pairs
    // that occur once, and their unsubscriptions remove records at both ends and in between.
    for (unsigned seed = 1; seed <= 10; ++seed) {
        std::vector<int> expected = Script<ReferenceEvent>(seed, true).Run(200);
        std::vector<int> actual = Script<Event<>>(seed, true).Run(200);
        ASSERT_EQ(actual, expected) << "seed " << seed;
        EXPECT_GT(expected.back(), static_cast<int>(Event<>::indexedFrom)) << "seed " << seed;
    }
}

}  // namespace
