#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
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
/// found in constant time and an invocation costs time linear in the number of records. A level
/// takes its objects out of play oldest first, so removals near the tail must be cheap too: the
/// records before `first` are unused (the shorter side is moved to close a gap), and once a list
/// of `indexedFrom` records or more loses one, a count of the records of each (target, function)
/// pair, kept until the list is empty, tells when a pair is there only once, so that it can be
/// looked for from both ends.
///
/// Targets are not owned: a subscriber must unsubscribe before it is destroyed.
/// `Args` are the event's arguments: none, `float` (delta time in seconds), a reference to a
/// sprite batch builder with a step fraction, a reference to an `SDL_Event` or a `GameObject*`.
template <typename... Args>
class Event {
public:
    /// A plain function that receives the subscribed target first, then the event's arguments.
    using Function = void (*)(void* target, Args... args);

    /// From this many records on, removals are helped by a count per (target, function) pair.
    static constexpr std::size_t indexedFrom = 64;

    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Subscribe(void* target, Function function) {
        records.push_back({target, function});
        if (counts != nullptr) ++(*counts)[records.back()];
    }

    void Unsubscribe(void* target, Function function) {
        // Counted only once a long list starts losing records (a level going out of play), so
        // that building a level pays nothing for it.
        if (counts == nullptr && records.size() - first >= indexedFrom) CountRecords();
        const Record wanted{target, function};
        std::size_t found = 0;
        if (Find(wanted, found)) Remove(found);
    }

    void Invoke(Args... args) {
        for (std::size_t i = 0; i < records.size() - first; ++i) {
            // Copied out: the handler may subscribe and so reallocate the vector. The arguments
            // are passed as lvalues so that every handler sees the same values.
            const Record record = records[records.size() - 1 - i];
            record.function(record.target, args...);
        }
    }

    /// Number of records; owners invoke only when it is at least 1.
    int GetCount() const { return static_cast<int>(records.size() - first); }

    /// Drops every record.
    void Clear() {
        records.clear();
        first = 0;
        counts.reset();
    }

private:
    struct Record {
        void* target;
        Function function;
        bool operator==(const Record& other) const {
            return target == other.target && function == other.function;
        }
    };
    struct RecordHash {
        std::size_t operator()(const Record& record) const {
            const std::size_t target = std::hash<void*>()(record.target);
            const auto function = reinterpret_cast<std::uintptr_t>(record.function);
            return target ^ (std::hash<std::uintptr_t>()(function) * 31);
        }
    };
    using Counts = std::unordered_map<Record, std::size_t, RecordHash>;

    void CountRecords() {
        counts = std::make_unique<Counts>();
        for (std::size_t i = first; i < records.size(); ++i) ++(*counts)[records[i]];
    }

    /// The position of the record nearest the head equal to `wanted`; false when there is none.
    bool Find(const Record& wanted, std::size_t& found) const {
        std::size_t low = records.size();  // no search from the tail unless the pair is unique
        if (counts != nullptr) {
            const auto count = counts->find(wanted);
            if (count == counts->end()) return false;
            if (count->second == 1) low = first;
        }
        // From the head, and for a unique pair also from the tail: the first one met is it.
        for (std::size_t high = records.size(); high > first; ++low) {
            if (records[--high] == wanted) {
                found = high;
                return true;
            }
            if (low < high && records[low] == wanted) {
                found = low;
                return true;
            }
        }
        return false;
    }

    void Remove(std::size_t position) {
        if (counts != nullptr) {
            const auto count = counts->find(records[position]);
            if (--count->second == 0) counts->erase(count);
        }
        const auto at = records.begin() + static_cast<std::ptrdiff_t>(position);
        const auto begin = records.begin() + static_cast<std::ptrdiff_t>(first);
        if (position - first < records.size() - position) {
            // Nearer the tail: the older records move one place towards the head.
            std::move_backward(begin, at, at + 1);
            ++first;
        } else {
            records.erase(at);
        }
        if (first == records.size()) {
            Clear();
            return;
        }
        // The unused room at the front never outgrows the records in use.
        if (first > records.size() / 2) {
            records.erase(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(first));
            first = 0;
        }
    }

    std::vector<Record> records;  // back() is the head; the first `first` entries are unused
    std::size_t first = 0;
    std::unique_ptr<Counts> counts;  // records per pair, while a long list is being emptied
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
