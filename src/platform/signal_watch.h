// Termination requests from outside the program — SIGTERM, SIGINT and SIGHUP on POSIX (a CI
// time-out, Ctrl+C, a closed terminal): the program stops as its own end does, everything it
// printed is written out, and then the process ends as the signal would have ended it.
#pragma once

#include <functional>
#include <memory>

namespace quillon {

// How long a program may take to stop after a signal before the process ends without it (a
// program stuck in a blocking call).
inline constexpr int kSignalGraceMs = 5000;

class SignalWatch {
  public:
    // Handles the signals from now on. `stop` runs on the watcher's own thread when the first
    // one arrives; it must only ask the program to stop. A second signal, or a program still
    // running `grace_ms` after the first, ends the process at once.
    explicit SignalWatch(std::function<void()> stop, int grace_ms = kSignalGraceMs);
    ~SignalWatch();  // the signals get their default actions back
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    // The program has stopped: from now on a signal never ends the process before its outputs
    // are written.
    void program_stopped();
    // The signal that arrived, or 0.
    int received() const;
    // When a signal arrived, ends the process as that signal's default action does (a shell
    // sees the status 128 + its number); otherwise returns.
    void end_if_signalled();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quillon
