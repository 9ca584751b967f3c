#pragma once

#include <cstddef>
#include <functional>
#include <string>

/// Runs independent jobs side by side, each in a child process of its own (a copy of this one
/// made by fork), at most `workers` at a time, started in index order. A child returns its
/// answer as text and ends without running destructors or exit handlers, so nothing it
/// inherited (a GL context, an X connection, files) is torn down twice.
///
/// Processes rather than threads: the game keeps global state (the scene manager, the sound
/// and log singletons) that one process may use in one place only. Linux (POSIX) only.
class ForkedWorkers {
public:
    /// Computes job `index`'s answer in a child. May throw: the answer is then lost, see `Done`.
    using Job = std::function<std::string(std::size_t index)>;
    /// Called in this process as each job ends, in the order they end: with the answer, or with
    /// `failed` true and a sentence saying why in `answer` (the job threw, or its process died).
    using Done = std::function<void(std::size_t index, bool failed, const std::string& answer)>;

    explicit ForkedWorkers(int workers);

    /// Runs jobs 0 to count - 1 and returns when every one has ended. Throws std::runtime_error
    /// when a process or pipe cannot be made.
    void Run(std::size_t count, const Job& job, const Done& done) const;

    /// One worker per processor that this process may run on, at least one.
    static int ProcessorCount();

private:
    int workers;
};
