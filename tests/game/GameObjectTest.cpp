#include "game/GameObject.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/Behaviour.hpp"

namespace {

/// Counts how often an event is raised.
struct Tally {
    int raised = 0;
    static void Count(void* target) { ++static_cast<Tally*>(target)->raised; }
};

struct Marker : Component {  // a plain component, like a physics body
    using Component::Component;
};

struct Quiet : Behaviour {
    using Behaviour::Behaviour;
    void InitialiseSelf() override {}
    void Initialise() override {}
    void Update(float) override {}
};

TEST(GameObject, NewObjectIsInactiveWithOnlyItsTransform) {
    auto object = std::make_shared<GameObject>();
    EXPECT_FALSE(object->IsActive());
    EXPECT_EQ(object->GetName(), "");
    ASSERT_EQ(object->GetComponents<Component>().size(), 1u);
    std::shared_ptr<Transform> transform = object->GetTransform();
    ASSERT_NE(transform, nullptr);
    EXPECT_EQ(object->GetComponent<Transform>(), transform);
    EXPECT_EQ(transform->gameObject, object.get());
    EXPECT_EQ(transform->position, glm::vec2(0.0f, 0.0f));
    EXPECT_EQ(transform->rotation, 0.0f);
    EXPECT_EQ(transform->scale, glm::vec2(1.0f, 1.0f));

    object->SetName("Player Character");
    object->SetId(7);
    EXPECT_EQ(object->GetName(), "Player Character");
    EXPECT_EQ(object->GetId(), 7);
}

TEST(GameObject, ComponentQueriesFilterByTypeInOrderOfAddition) {
    auto object = std::make_shared<GameObject>();
    auto marker = object->AddComponent<Marker>();
    auto first = object->AddComponent<Quiet>();
    auto second = object->AddComponent<Quiet>();
    EXPECT_EQ(marker->gameObject, object.get());

    std::vector<std::shared_ptr<Behaviour>> behaviours = object->GetComponents<Behaviour>();
    ASSERT_EQ(behaviours.size(), 2u);
    EXPECT_EQ(behaviours[0], first);
    EXPECT_EQ(behaviours[1], second);
    EXPECT_EQ(object->GetComponent<Behaviour>(), first);
    EXPECT_EQ(object->GetComponent<Marker>(), marker);
    EXPECT_EQ(object->GetComponents<Component>().size(), 4u);

    auto bare = std::make_shared<GameObject>();
    EXPECT_EQ(bare->GetComponent<Marker>(), nullptr);
    EXPECT_TRUE(bare->GetComponents<Behaviour>().empty());
}

TEST(GameObject, ToggleActiveRaisesOneEventPerChange) {
    auto object = std::make_shared<GameObject>();
    Tally activated, deactivated;
    object->activatedEvent.Subscribe(&activated, &Tally::Count);
    object->deactivatedEvent.Subscribe(&deactivated, &Tally::Count);

    object->ToggleActive();
    EXPECT_TRUE(object->IsActive());
    EXPECT_EQ(activated.raised, 1);
    EXPECT_EQ(deactivated.raised, 0);

    object->ToggleActive();
    EXPECT_FALSE(object->IsActive());
    EXPECT_EQ(activated.raised, 1);
    EXPECT_EQ(deactivated.raised, 1);
}

/// Records the order in which objects run a phase.
struct PhaseLog {
    std::vector<std::string>* lines;
    std::string name;
    static void Record(void* target) {
        auto* self = static_cast<PhaseLog*>(target);
        self->lines->push_back(self->name);
    }
};

class GameObjectPhases : public ::testing::Test {
protected:
    std::vector<std::string> lines;
    std::shared_ptr<GameObject> parent = std::make_shared<GameObject>();
    std::shared_ptr<GameObject> child1 = std::make_shared<GameObject>();
    std::shared_ptr<GameObject> child2 = std::make_shared<GameObject>();
    PhaseLog parentLog{&lines, "parent"}, child1Log{&lines, "child1"}, child2Log{&lines, "child2"};

    void SetUp() override {
        parent->AddChild(child1);
        parent->AddChild(child2);
        child1->initialiseSelfEvent.Subscribe(&child1Log, &PhaseLog::Record);
        child2->initialiseSelfEvent.Subscribe(&child2Log, &PhaseLog::Record);
        child1->initialiseEvent.Subscribe(&child1Log, &PhaseLog::Record);
        child2->initialiseEvent.Subscribe(&child2Log, &PhaseLog::Record);
        child1->ToggleActive();
        child2->ToggleActive();
    }
};

TEST_F(GameObjectPhases, InactiveObjectRunsNoPhase) {
    parent->initialiseSelfEvent.Subscribe(&parentLog, &PhaseLog::Record);
    parent->initialiseEvent.Subscribe(&parentLog, &PhaseLog::Record);
    parent->InitialiseSelf();
    parent->Initialise();
    EXPECT_TRUE(lines.empty());
}

TEST_F(GameObjectPhases, ObjectWithoutPhaseRecordsDoesNotVisitItsChildren) {
    parent->ToggleActive();
    parent->InitialiseSelf();
    parent->Initialise();
    EXPECT_TRUE(lines.empty());
}

TEST_F(GameObjectPhases, ActiveObjectRaisesItsPhaseThenVisitsChildrenInOrder) {
    parent->initialiseSelfEvent.Subscribe(&parentLog, &PhaseLog::Record);
    parent->ToggleActive();
    parent->InitialiseSelf();
    EXPECT_EQ(lines, (std::vector<std::string>{"parent", "child1", "child2"}));

    lines.clear();
    parent->Initialise();  // its initialiseEvent is still empty
    EXPECT_TRUE(lines.empty());
    parent->initialiseEvent.Subscribe(&parentLog, &PhaseLog::Record);
    child2->ToggleActive();  // an inactive child skips the phase
    parent->Initialise();
    EXPECT_EQ(lines, (std::vector<std::string>{"parent", "child1"}));
}

TEST(GameObjectDestruction, RaisesDeactivationEvenWhenNeverActivatedAndReleasesComponents) {
    Tally deactivated;
    std::weak_ptr<Quiet> behaviour;
    std::weak_ptr<Transform> transform;
    {
        auto object = std::make_shared<GameObject>();
        object->deactivatedEvent.Subscribe(&deactivated, &Tally::Count);
        behaviour = object->AddComponent<Quiet>();  // its disable handler finds nothing to remove
        transform = object->GetTransform();
    }
    EXPECT_EQ(deactivated.raised, 1);
    EXPECT_TRUE(behaviour.expired());
    EXPECT_TRUE(transform.expired());
}

TEST(GameObjectDestruction, ActiveObjectLeavesTheUpdateEventItJoined) {
    Event<float> update;
    std::weak_ptr<Quiet> behaviour;
    {
        auto object = std::make_shared<GameObject>();
        auto quiet = object->AddComponent<Quiet>();
        quiet->updateEvent = &update;
        behaviour = quiet;
        object->ToggleActive();
        EXPECT_EQ(update.GetCount(), 1);
    }
    EXPECT_EQ(update.GetCount(), 0);  // no record points at the freed behaviour
    EXPECT_TRUE(behaviour.expired());
}

}  // namespace
