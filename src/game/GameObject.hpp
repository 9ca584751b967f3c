#pragma once

#include <memory>
#include <string>
#include <vector>

#include "game/Component.hpp"
#include "game/Event.hpp"
#include "game/Transform.hpp"

/// An entity: a name, an id, an active flag, a `Transform` and a list of components.
///
/// Always created with `std::make_shared` and held by `std::shared_ptr`; it is neither copied
/// nor moved because its components point back to it. It owns its components and children.
/// A new object is inactive; `ToggleActive` raises `activatedEvent` or `deactivatedEvent`,
/// through which components subscribe to and unsubscribe from the events they need.
/// The destructor raises `deactivatedEvent` (active or not) before the components go.
class GameObject {
public:
    GameObject();
    ~GameObject();

    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    std::string GetName() const { return name; }
    void SetName(std::string newName) { name = std::move(newName); }
    int GetId() const { return id; }
    void SetId(int newId) { id = newId; }

    bool IsActive() const { return active; }
    /// Flips the active flag and raises `activatedEvent` or `deactivatedEvent` accordingly.
    void ToggleActive();

    std::shared_ptr<Transform> GetTransform() const { return transform; }

    /// Creates a `T` owned by this object (T's constructor takes the owning `GameObject*`) and
    /// appends it to the components.
    template <typename T>
    std::shared_ptr<T> AddComponent();

    /// Every component that is a `T`, in the order in which they were added.
    template <typename T>
    std::vector<std::shared_ptr<T>> GetComponents() const;

    /// The first component that is a `T`, or an empty pointer when there is none.
    template <typename T>
    std::shared_ptr<T> GetComponent() const;

    /// Appends a child, visited after this object by the initialisation phases.
    void AddChild(std::shared_ptr<GameObject> child);

    /// First initialisation phase: when active and `initialiseSelfEvent` has records, raises it
    /// and then runs the phase on every child.
    void InitialiseSelf();
    /// Second initialisation phase, the same with `initialiseEvent`.
    void Initialise();

    Event<> initialiseSelfEvent;
    Event<> initialiseEvent;
    Event<> activatedEvent;    // raised when the object becomes active
    Event<> deactivatedEvent;  // raised when it becomes inactive, and on destruction

private:
    void RunPhase(Event<>& phaseEvent, void (GameObject::*childPhase)());

    bool active = false;
    int id = 0;
    std::string name;
    std::vector<std::shared_ptr<GameObject>> children;
    std::shared_ptr<Transform> transform;  // also the first entry of components
    std::vector<std::shared_ptr<Component>> components;
};

template <typename T>
std::shared_ptr<T> GameObject::AddComponent() {
    auto component = std::make_shared<T>(this);
    components.push_back(component);
    return component;
}

template <typename T>
std::vector<std::shared_ptr<T>> GameObject::GetComponents() const {
    std::vector<std::shared_ptr<T>> found;
    for (const auto& component : components) {
        if (auto typed = std::dynamic_pointer_cast<T>(component)) found.push_back(typed);
    }
    return found;
}

template <typename T>
std::shared_ptr<T> GameObject::GetComponent() const {
    for (const auto& component : components) {
        if (auto typed = std::dynamic_pointer_cast<T>(component)) return typed;
    }
    return nullptr;
}
