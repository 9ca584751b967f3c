#include "game/Behaviour.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/GameObject.hpp"

namespace {

/// Writes every call it receives, tagged with its name, into a shared log.
class Recorder : public Behaviour {
public:
    Recorder(GameObject* owner) : Behaviour(owner) {}
    std::string name;
    std::vector<std::string>* log = nullptr;

    void InitialiseSelf() override { Write("self"); }
    void Initialise() override { Write("init"); }
    void Update(float deltaTime) override { Write("update " + std::to_string(deltaTime)); }

private:
    void Write(const std::string& what) { log->push_back(name + " " + what); }
};

class BehaviourTest : public ::testing::Test {
protected:
    Event<float> sceneUpdate;
    std::vector<std::string> log;

    std::shared_ptr<Recorder> Add(GameObject& object, const std::string& name) {
        auto recorder = object.AddComponent<Recorder>();
        recorder->name = name;
        recorder->log = &log;
        recorder->updateEvent = &sceneUpdate;
        return recorder;
    }
};

TEST_F(BehaviourTest, ActivationSubscribesTheThreeHandlersAndDeactivationRemovesThem) {
    auto object = std::make_shared<GameObject>();
    auto recorder = Add(*object, "r");
    EXPECT_FALSE(recorder->enabled);
    EXPECT_EQ(object->activatedEvent.GetCount(), 1);
    EXPECT_EQ(object->deactivatedEvent.GetCount(), 1);

    object->ToggleActive();
    EXPECT_TRUE(recorder->enabled);
    object->InitialiseSelf();
    object->Initialise();
    sceneUpdate.Invoke(0.5f);
    EXPECT_EQ(log, (std::vector<std::string>{"r self", "r init", "r update 0.500000"}));

    object->ToggleActive();
    EXPECT_FALSE(recorder->enabled);
    EXPECT_EQ(object->initialiseSelfEvent.GetCount(), 0);
    EXPECT_EQ(object->initialiseEvent.GetCount(), 0);
    EXPECT_EQ(sceneUpdate.GetCount(), 0);
}

TEST_F(BehaviourTest, EachActivationSubscribesOnce) {
    auto object = std::make_shared<GameObject>();
    Add(*object, "r");
    for (int round = 0; round < 3; ++round) {
        object->ToggleActive();
        EXPECT_EQ(object->initialiseSelfEvent.GetCount(), 1);
        EXPECT_EQ(sceneUpdate.GetCount(), 1);
        object->ToggleActive();
        EXPECT_EQ(sceneUpdate.GetCount(), 0);
    }
}

// Enable handlers run newest first and each puts its records at the head, so within one object
// behaviours run in the order they were added; an object activated later runs earlier.
TEST_F(BehaviourTest, UpdateOrderFollowsAdditionWithinAnObjectAndIsReversedAcrossObjects) {
    auto first = std::make_shared<GameObject>();
    auto second = std::make_shared<GameObject>();
    Add(*first, "a");
    Add(*first, "b");
    Add(*second, "c");
    first->ToggleActive();
    second->ToggleActive();
    first->InitialiseSelf();
    sceneUpdate.Invoke(1.0f);
    EXPECT_EQ(log, (std::vector<std::string>{"a self", "b self", "c update 1.000000",
                                             "a update 1.000000", "b update 1.000000"}));
}

TEST_F(BehaviourTest, WithoutUpdateEventOnlyThePhasesAreSubscribed) {
    auto object = std::make_shared<GameObject>();
    auto recorder = Add(*object, "r");
    recorder->updateEvent = nullptr;
    object->ToggleActive();
    EXPECT_TRUE(recorder->enabled);
    object->Initialise();
    EXPECT_EQ(log, (std::vector<std::string>{"r init"}));
    object->ToggleActive();
    EXPECT_EQ(object->initialiseEvent.GetCount(), 0);
}

}  // namespace
