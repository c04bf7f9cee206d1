#pragma once
// Signals around a write. A file-size limit must fail the write at hand (one
// line, the old file kept) rather than end the viewer, and a signal that ends
// the viewer while it writes takes that write's temporary file along.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <string>

// The temporary file of the write under way, as the signal handler sees it:
// a fixed buffer and a flag, nothing the handler would have to allocate.
struct CWriteInProgress {
    static inline char temporary[4096];
    static inline std::atomic<bool> marked{false};
    static_assert(std::atomic<bool>::is_always_lock_free, "the handler reads the flag");
};

// The signals that end a viewer from the console or the session: Ctrl+C, a
// kill, a closed session, Ctrl+\.
inline constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

inline void EndingSignals(sigset_t& set)
{
    sigemptyset(&set);
    for (const int sig : kEndingSignals) sigaddset(&set, sig);
}

// Async-signal-safe only: unlink, then the signal again under its default
// disposition (restored on entry), so the viewer ends as it would have (after
// Ctrl+\ with a core file where the limits allow one).
inline void RemoveTemporaryAndEnd(int sig)
{
    if (CWriteInProgress::marked.load(std::memory_order_acquire)) ::unlink(CWriteInProgress::temporary);
    ::raise(sig);
}

// Once at the start of each program. A signal ignored by whoever started the
// program (SIGHUP under nohup, SIGINT and SIGQUIT after & in a script) stays
// ignored.
inline void PrepareWritesForSignals()
{
    ::signal(SIGXFSZ, SIG_IGN);
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = RemoveTemporaryAndEnd;
    action.sa_flags = SA_RESETHAND;
    EndingSignals(action.sa_mask);
    for (const int sig : kEndingSignals) {
        struct sigaction old;
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler != SIG_IGN) ::sigaction(sig, &action, nullptr);
    }
}

// Holds the ending signals for one scope: around the create of a temporary
// file and its marking, so that a signal finds either no file or one marked.
class CEndingSignalsHeld {
public:
    CEndingSignalsHeld()
    {
        sigset_t set;
        EndingSignals(set);
        ::pthread_sigmask(SIG_BLOCK, &set, &saved);
    }
    ~CEndingSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &saved, nullptr); }
    CEndingSignalsHeld(const CEndingSignalsHeld&) = delete;
    CEndingSignalsHeld& operator=(const CEndingSignalsHeld&) = delete;

private:
    sigset_t saved;
};

// Marks the file just created as this write's; a name too long for the buffer
// stays unmarked (no such name could have been created anyway).
inline void MarkTemporary(const std::string& name)
{
    if (name.size() >= sizeof CWriteInProgress::temporary) return;
    std::memcpy(CWriteInProgress::temporary, name.c_str(), name.size() + 1);
    CWriteInProgress::marked.store(true, std::memory_order_release);
}

// After the rename or the unlink: the name is no longer this write's.
inline void UnmarkTemporary() { CWriteInProgress::marked.store(false, std::memory_order_release); }
