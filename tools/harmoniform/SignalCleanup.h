#pragma once
// Temporary files that must not outlive an interrupted run. While one is
// registered, SIGINT, SIGTERM and SIGHUP remove it and then end the process as
// the signal asks (the default action, so the parent sees which signal it was).
// The file it was to replace is never touched: it is only ever replaced by the
// final rename, which happens with these signals held back.
#include <signal.h>

#include <string>

namespace hm::tool {

// Registers a temporary file; answers a slot for forgetTemporaryFile, or -1 when
// every slot is taken (the file is then not removed on a signal). Installs the
// handlers on first use.
int watchTemporaryFile(const std::string& path);

// Creates a new file "<base>.XXXXXX" (random suffix, mode 0600) whose name is
// registered before the file exists, so a signal taken by any thread of the
// process at any moment leaves nothing behind. Answers the descriptor (-1 with
// errno on failure) and sets name and slot (slot -1 when none was free).
int createWatchedTemporary(const std::string& base, std::string& name, int& slot);

// The file is gone or has been renamed into place: a signal no longer touches it.
void forgetTemporaryFile(int slot);

// Holds SIGINT, SIGTERM and SIGHUP back while alive (a rename and the matching
// forgetTemporaryFile then happen together); a held signal arrives at the end.
class SignalHold {
public:
    SignalHold();
    ~SignalHold();
    SignalHold(const SignalHold&) = delete;
    SignalHold& operator=(const SignalHold&) = delete;

private:
    sigset_t saved_;
};

}  // namespace hm::tool
