#pragma once

#include <cstddef>
#include <utility>
#include <vector>

/// A notification list of (target, function) records; the game's components subscribe to the
/// events of their game object and of the scene.
///
/// Order and modification rules:
/// - `Subscribe` puts a record at the head; `Invoke` calls the records from the head, so the
///   handler subscribed last is called first.
/// - `Invoke` calls, for i = 0, 1, 2, ... while i is below the count (read anew after every
///   call), the i-th record counted from the current head. A handler may therefore subscribe or
///   unsubscribe during an invocation: a record added at the head shifts the others one place
///   back (the current one is then called again), a record removed before position i shifts them
///   one place forward (the next one is then skipped).
/// - `Unsubscribe` removes the record nearest the head with the same target and function.
///
/// The records live in a vector whose back is the head, so the i-th record from the head is
/// found in constant time and an invocation costs time linear in the number of records.
///
/// Targets are not owned: a subscriber must unsubscribe before it is destroyed.
/// `Args` are the event's arguments: none, `float` (delta time in seconds), a reference to a
/// sprite batch builder, a reference to an `SDL_Event` or a `GameObject*`.
template <typename... Args>
class Event {
public:
    /// A plain function that receives the subscribed target first, then the event's arguments.
    using Function = void (*)(void* target, Args... args);

    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Subscribe(void* target, Function function) { records.push_back({target, function}); }

    void Unsubscribe(void* target, Function function) {
        for (std::size_t i = records.size(); i-- > 0;) {
            if (records[i].target == target && records[i].function == function) {
                records.erase(records.begin() + static_cast<std::ptrdiff_t>(i));
                return;
            }
        }
    }

    void Invoke(Args... args) {
        for (std::size_t i = 0; i < records.size(); ++i) {
            // Copied out: the handler may subscribe and so reallocate the vector. The arguments
            // are passed as lvalues so that every handler sees the same values.
            const Record record = records[records.size() - 1 - i];
            record.function(record.target, args...);
        }
    }

    /// Number of records; owners invoke only when it is at least 1.
    int GetCount() const { return static_cast<int>(records.size()); }

    /// Drops every record.
    void Clear() { records.clear(); }

private:
    struct Record {
        void* target;
        Function function;
    };
    std::vector<Record> records;  // back() is the head
};

namespace event_detail {
template <typename Method>
struct MethodClass;
template <typename Class, typename... Params>
struct MethodClass<void (Class::*)(Params...)> {
    using Type = Class;
};
}  // namespace event_detail

/// Forwarding function that casts the target back to the class of `Method` and calls it
/// (virtually, when `Method` is virtual). Subscribe a member with
/// `event.Subscribe(this, &CallMember<&MyClass::OnUpdate>)`; the pair (target, forwarder)
/// identifies the subscription for `Unsubscribe`.
template <auto Method, typename... Args>
void CallMember(void* target, Args... args) {
    using Class = typename event_detail::MethodClass<decltype(Method)>::Type;
    (static_cast<Class*>(target)->*Method)(std::forward<Args>(args)...);
}
