// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>
#include <iterator>

// SIGTERM (logout, shutdown), SIGINT (Ctrl+C) and SIGHUP (a closed terminal) are
// caught instead of killing the program, so that it can end as "Exit" does and
// remove what it keeps in the temporary folder. The handler only writes the
// signal's number to a pipe, which the event loop watches (ZanvoApplication::EndOn);
// the command in hand, a save say, runs to its end first. A signal ignored when the
// program started (nohup, a shell's background job) stays ignored. The handlers
// are in place from construction to destruction.
class EndSignals {
public:
    EndSignals();
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // The pipe's reading end, or -1 when there is none and the signals kill as usual.
    int Pipe() const noexcept { return m_read; }
    // Empties the pipe; true when it held a signal.
    bool Take() noexcept;
    // The first signal received, or 0.
    int Received() noexcept
    {
        Take();
        return m_received;
    }

private:
    static constexpr int Caught[] = {SIGTERM, SIGINT, SIGHUP};

    int m_read = -1;
    int m_received = 0;
    struct Previous {
        struct sigaction action;
        bool replaced;
    };
    Previous m_previous[std::size(Caught)]{};
};

// Ends the process by `signal` with its default action, for a program that caught it
// and has cleaned up: the parent (a shell, the session) sees how it ended.
[[noreturn]] void EndBySignal(int signal);
