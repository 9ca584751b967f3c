#pragma once

class GameObject;

/// A unit of data or behaviour attached to one game object. The game object owns its
/// components (through `std::shared_ptr`) and outlives them as long as nobody else keeps a
/// component alive; a component's `gameObject` must not be used after its owner is destroyed.
class Component {
public:
    explicit Component(GameObject* owner);
    virtual ~Component();

    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    /// The owning game object (not owned).
    GameObject* gameObject;
};
