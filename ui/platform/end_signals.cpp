#include "ui/platform/end_signals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace win {

namespace {

constexpr std::array<int, 3> kEndSignals = {SIGTERM, SIGHUP, SIGINT};

// What the handler may touch: set before the handlers are installed, read only in them.
int pipeWriteEnd = -1;
std::array<bool, kEndSignals.size()> handled = {};

extern "C" void OnEndSignal(int number)
{
    const int savedErrno = errno;
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    for (std::size_t i = 0; i < kEndSignals.size(); ++i)
        if (handled[i])
            sigaction(kEndSignals[i], &fallback, nullptr);
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(pipeWriteEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

struct EndSignals::State {
    std::function<void(int)> onEnd;
    int pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    std::array<struct sigaction, kEndSignals.size()> before {};
};

EndSignals::EndSignals(std::function<void(int)> onEnd) : m_state(std::make_unique<State>())
{
    State& state = *m_state;
    state.onEnd = std::move(onEnd);
    if (::pipe2(state.pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("no pipe for the end signals");
    pipeWriteEnd = state.pipe[1];
    state.notifier = std::make_unique<QSocketNotifier>(state.pipe[0], QSocketNotifier::Read);
    QObject::connect(state.notifier.get(), &QSocketNotifier::activated, [&state] {
        unsigned char byte = 0;
        int number = 0;
        while (::read(state.pipe[0], &byte, 1) == 1)
            number = number ? number : byte;
        if (number && state.onEnd)
            state.onEnd(number);
    });
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    // While one is handled the others wait, and then find the default action.
    for (const int number : kEndSignals)
        sigaddset(&action.sa_mask, number);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kEndSignals.size(); ++i) {
        sigaction(kEndSignals[i], nullptr, &state.before[i]);
        handled[i] = state.before[i].sa_handler != SIG_IGN;
    }
    for (std::size_t i = 0; i < kEndSignals.size(); ++i)
        if (handled[i])
            sigaction(kEndSignals[i], &action, nullptr);
}

EndSignals::~EndSignals()
{
    State& state = *m_state;
    for (std::size_t i = 0; i < kEndSignals.size(); ++i)
        if (handled[i])
            sigaction(kEndSignals[i], &state.before[i], nullptr);
    handled = {};
    state.notifier.reset();
    pipeWriteEnd = -1;
    ::close(state.pipe[0]);
    ::close(state.pipe[1]);
}

} // namespace win
