#pragma once

// EndSignals: SIGTERM, SIGHUP and SIGINT (the session ending, the terminal closed, Ctrl+C)
// reach the program as an event of its message loop, where it can close its window as
// the user would, instead of ending it wherever it stands with the data unsaved. The
// handler only writes the signal's number to a pipe that a socket notifier watches.
//
// After the first of them, the three have their default action again: a second one ends
// the program at once, even while it waits for the user. A signal that was ignored when
// the program started (nohup, a background job) stays ignored.

#include <functional>
#include <memory>

namespace win {

class EndSignals {
public:
    // Installs the handlers; onEnd runs from the message loop with the signal's number.
    // One object at a time; the QApplication must exist and outlive it.
    explicit EndSignals(std::function<void(int)> onEnd);
    // Puts back the actions there were before.
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace win
