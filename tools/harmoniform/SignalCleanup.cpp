#include "tools/harmoniform/SignalCleanup.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <random>

namespace hm::tool {
namespace {

constexpr int kSlots = 4;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Read by the handler: each slot's name is complete before its flag is raised.
char gPaths[kSlots][PATH_MAX];
volatile sig_atomic_t gInUse[kSlots];
std::once_flag gInstalled;

void removeAndRaise(int signal) {
    for (int s = 0; s < kSlots; ++s)
        if (gInUse[s]) ::unlink(gPaths[s]);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

void installHandlers() {
    struct sigaction action {};
    action.sa_handler = removeAndRaise;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals) sigaddset(&action.sa_mask, s);
    for (int s : kSignals) {
        struct sigaction previous {};
        // A signal the invoking shell ignores (nohup, background jobs) stays ignored.
        if (::sigaction(s, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        ::sigaction(s, &action, nullptr);
    }
}

sigset_t heldSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kSignals) sigaddset(&set, s);
    return set;
}

}  // namespace

SignalHold::SignalHold() {
    const sigset_t held = heldSignals();
    ::sigprocmask(SIG_BLOCK, &held, &saved_);
}

SignalHold::~SignalHold() { ::sigprocmask(SIG_SETMASK, &saved_, nullptr); }

int watchTemporaryFile(const std::string& path) {
    std::call_once(gInstalled, installHandlers);
    if (path.size() >= PATH_MAX) return -1;
    const SignalHold hold;
    for (int s = 0; s < kSlots; ++s) {
        if (gInUse[s]) continue;
        std::memcpy(gPaths[s], path.c_str(), path.size() + 1);
        gInUse[s] = 1;
        return s;
    }
    return -1;
}

int createWatchedTemporary(const std::string& base, std::string& name, int& slot) {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device entropy;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = base + ".";
        for (int i = 0; i < 6; ++i) name += kLetters[entropy() % (sizeof kLetters - 1)];
        slot = watchTemporaryFile(name);
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) return fd;
        const int reason = errno;
        forgetTemporaryFile(slot);  // not ours: a file of that name exists, or none can be made
        slot = -1;
        if (reason != EEXIST) {
            errno = reason;
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

void forgetTemporaryFile(int slot) {
    if (slot < 0 || slot >= kSlots) return;
    const SignalHold hold;
    gInUse[slot] = 0;
}

}  // namespace hm::tool
