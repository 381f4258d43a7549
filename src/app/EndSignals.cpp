// SPDX-License-Identifier: GPL-3.0-or-later
#include "EndSignals.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_write = -1;

extern "C" void onEndSignal(int signal)
{
    const int savedErrno = errno;
    const auto number = static_cast<unsigned char>(signal);
    // A full pipe already holds a request to end; nothing more to say.
    if (write(g_write, &number, 1) < 0) {
    }
    errno = savedErrno;
}

} // namespace

EndSignals::EndSignals()
{
    int ends[2];
    // Non-blocking both ways: the handler must never wait, the reader empties the pipe.
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_read = ends[0];
    g_write = ends[1];
    for (std::size_t i = 0; i < std::size(Caught); ++i) {
        Previous& previous = m_previous[i];
        if (sigaction(Caught[i], nullptr, &previous.action) != 0 || previous.action.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onEndSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART; // a save's reads and writes go on undisturbed
        previous.replaced = sigaction(Caught[i], &action, nullptr) == 0;
    }
}

EndSignals::~EndSignals()
{
    for (std::size_t i = 0; i < std::size(Caught); ++i) {
        if (m_previous[i].replaced)
            sigaction(Caught[i], &m_previous[i].action, nullptr);
    }
    if (m_read < 0)
        return;
    close(g_write);
    g_write = -1;
    close(m_read);
}

bool EndSignals::Take() noexcept
{
    if (m_read < 0)
        return false;
    unsigned char numbers[64];
    bool any = false;
    for (;;) {
        const ssize_t got = read(m_read, numbers, sizeof numbers);
        if (got > 0) {
            if (m_received == 0)
                m_received = numbers[0];
            any = true;
        } else if (got == 0 || errno != EINTR) {
            return any; // emptied
        }
    }
}

void EndBySignal(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal); // not reached: the default action of these signals ends the process
}
