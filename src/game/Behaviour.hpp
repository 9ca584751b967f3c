#pragma once

#include "game/Component.hpp"
#include "game/Event.hpp"

/// A component that takes part in the two initialisation phases and the per-frame update.
///
/// The constructor subscribes an enable handler to the owner's `activatedEvent` and a disable
/// handler to its `deactivatedEvent`. While the owner is active, `InitialiseSelf`, `Initialise`
/// and `Update` are subscribed to the owner's two phase events and to `*updateEvent`. The owner
/// raises `deactivatedEvent` when it is destroyed, so the destructor unsubscribes nothing.
class Behaviour : public Component {
public:
    explicit Behaviour(GameObject* owner);
    ~Behaviour() override;

    /// First phase: find this object's own parts (e.g. sibling components).
    virtual void InitialiseSelf() = 0;
    /// Second phase: everything found in the first phase of every object may be used.
    virtual void Initialise() = 0;
    /// Once per frame while enabled; `deltaTime` is the frame's duration in seconds.
    virtual void Update(float deltaTime) = 0;

    /// True while the three handlers are subscribed.
    bool enabled = false;
    /// The scene's update event (not owned; it outlives the behaviour). Must be set before the
    /// owner is activated; while it is null, `Update` is simply not subscribed.
    Event<float>* updateEvent = nullptr;

private:
    void OnEnable();
    void OnDisable();
};
