// The POSIX signal watch: the handlers only write the signal's number into a pipe (all they may
// safely do); a watcher thread reads it, asks the program to stop and keeps the grace period.
#include "platform/signal_watch.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

namespace quillon {
namespace {

constexpr std::array<int, 3> kWatched = {SIGTERM, SIGINT, SIGHUP};
constexpr unsigned char kQuit = 0;  // written by the destructor: the watcher ends

std::atomic<int> g_signal_pipe{-1};  // the write end, for the handlers

void on_signal(int number) {
    const int saved = errno;  // the interrupted code may be about to read it
    const auto byte = static_cast<unsigned char>(number);
    const int fd = g_signal_pipe.load();
    if (fd >= 0) {
        ssize_t written = ::write(fd, &byte, 1);
        static_cast<void>(written);  // a full pipe already holds a signal
    }
    errno = saved;
}

void write_error(const char* text, std::size_t size) {
    ssize_t written = ::write(STDERR_FILENO, text, size);
    static_cast<void>(written);
}

// The signal's default action, which ends the process; the exit status stands in should the
// signal somehow not end it.
[[noreturn]] void die_by(int number) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(number, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, number);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(number);
    ::_exit(128 + number);
}

}  // namespace

struct SignalWatch::State {
    std::function<void()> stop;
    int grace_ms = kSignalGraceMs;
    int pipe_read = -1;
    int pipe_write = -1;
    std::array<struct sigaction, kWatched.size()> previous{};
    std::atomic<int> signal{0};
    std::atomic<bool> stopped{false};
    std::thread watcher;

    void watch();
    void give_up(int number);
};

// Waits for signal numbers in the pipe. The first asks the program to stop; a second one, or
// the end of the grace period, gives up on the program.
void SignalWatch::State::watch() {
    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline{};
    for (;;) {
        int timeout = -1;
        if (signal != 0 && !stopped) {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            timeout = static_cast<int>(std::max<long long>(left.count(), 0));
        }
        pollfd ready{pipe_read, POLLIN, 0};
        int got = ::poll(&ready, 1, timeout);
        if (got < 0 && errno == EINTR) continue;
        if (got == 0) {
            if (!stopped) give_up(signal);
            continue;
        }
        unsigned char byte = kQuit;
        if (::read(pipe_read, &byte, 1) != 1 || byte == kQuit) return;
        if (signal == 0) {
            signal = byte;
            deadline = Clock::now() + std::chrono::milliseconds(grace_ms);
            stop();
        } else if (!stopped) {
            give_up(byte);  // asked twice: the user will not wait
        }
    }
}

void SignalWatch::State::give_up(int number) {
    static constexpr char kText[] = "kavrun: the program did not stop after the signal\n";
    write_error(kText, sizeof kText - 1);
    die_by(number);
}

SignalWatch::SignalWatch(std::function<void()> stop, int grace_ms)
    : state_(std::make_unique<State>()) {
    state_->stop = std::move(stop);
    state_->grace_ms = grace_ms;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;  // no watch: default actions stay
    state_->pipe_read = fds[0];
    state_->pipe_write = fds[1];
    ::fcntl(state_->pipe_read, F_SETFL, 0);  // the watcher blocks; the handlers never do
    g_signal_pipe = state_->pipe_write;
    state_->watcher = std::thread([state = state_.get()] { state->watch(); });
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // interrupted calls go on; the watcher does the stopping
    for (std::size_t k = 0; k < kWatched.size(); ++k) {
        // A signal ignored from the start stays ignored (nohup, a shell's background job).
        sigaction(kWatched[k], nullptr, &state_->previous[k]);
        if (state_->previous[k].sa_handler != SIG_IGN) sigaction(kWatched[k], &action, nullptr);
    }
}

SignalWatch::~SignalWatch() {
    if (!state_->watcher.joinable()) return;
    for (std::size_t k = 0; k < kWatched.size(); ++k)
        sigaction(kWatched[k], &state_->previous[k], nullptr);
    g_signal_pipe = -1;
    const unsigned char quit = kQuit;
    ssize_t written = ::write(state_->pipe_write, &quit, 1);  // the pipe has room: it is read
    static_cast<void>(written);
    state_->watcher.join();
    ::close(state_->pipe_write);
    ::close(state_->pipe_read);
}

void SignalWatch::program_stopped() {
    state_->stopped = true;
}

int SignalWatch::received() const {
    return state_->signal;
}

void SignalWatch::end_if_signalled() {
    if (int number = state_->signal; number != 0) die_by(number);
}

}  // namespace quillon
