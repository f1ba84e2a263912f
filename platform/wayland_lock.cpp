// The session's lock on Wayland (ext-session-lock-v1). A password run asks
// the compositor to lock the session and covers every output with a lock
// surface: the museum on one, black on the others. Only the right password
// unlocks it. The protocol keeps the session locked when the saver is killed
// or crashes, and nothing here undoes that: no handler unlocks on a signal
// or an error. A later run may take over a lock whose saver has died, as the
// compositor allows.
#include <cstdio>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/wayland_host.h"
#include "ext-session-lock-v1-client-protocol.h"

namespace {

enum class LockState { None, Asked, Locked };

// The run's lock. One instance; a run locks at most once.
struct SessionLock {
    ext_session_lock_v1* lock = nullptr;
    LockState state = LockState::None;
};
SessionLock session;

constexpr int kLockWaitMs = 5000;   // the longest wait for the compositor's answer before unlocking

void locked(void*, ext_session_lock_v1*)
{
    session.state = LockState::Locked;
}

void finished(void*, ext_session_lock_v1*)
{
    if (session.state == LockState::Asked) {
        fprintf(stderr, "Vellamir: the compositor refused to lock the session (is another screen locker "
                        "running?); the saver ends without locking.\n");
        exit(1);
    }
    // The compositor ended a lock it had granted (its own decision): nothing is locked any more.
    ext_session_lock_v1_destroy(session.lock);
    session = SessionLock();
    setCurrentLock(nullptr);
}

const ext_session_lock_v1_listener lockListener = {locked, finished};

} // namespace

const char* waylandLockRefusal()
{
    if (!waylandConnect() || wayland.lockManager) return nullptr;
    return "this Wayland desktop offers other programs no way to lock the session (its compositor has no "
           "ext-session-lock-v1), so a password run cannot guard it; use the desktop's own lock, or turn the "
           "password off with \"vellamir /c\"";
}

void waylandLock()
{
    if (session.lock) return;
    if (!wayland.lockManager) {
        const char* refusal = waylandLockRefusal();
        fprintf(stderr, "Vellamir: %s.\n", refusal ? refusal : "no session lock");
        exit(1);
    }
    session.lock = ext_session_lock_manager_v1_lock(wayland.lockManager);
    ext_session_lock_v1_add_listener(session.lock, &lockListener, nullptr);
    session.state = LockState::Asked;
    setCurrentLock(session.lock);
    if (!coverOutputs(true)) {
        fprintf(stderr, "Vellamir: the compositor did not place the lock surfaces; the saver ends.\n");
        exit(1);
    }
}

void waylandUnlock()
{
    if (!session.lock) return;
    // A password typed before the compositor answered waits for the answer: only a granted lock is unlocked.
    uint64_t deadline = monotonicMicroseconds() + kLockWaitMs * 1000ull;
    while (session.state == LockState::Asked && monotonicMicroseconds() < deadline)
        if (!waylandPump(250)) return;
    if (session.state != LockState::Locked) return;
    ext_session_lock_v1_unlock_and_destroy(session.lock);
    session = SessionLock();
    setCurrentLock(nullptr);
    // The lock surfaces are no longer shown; they go before the compositor is told the run is done.
    for (auto& output : wayland.outputs) destroyCover(output->cover);
    wl_display_roundtrip(wayland.display);
}

int waylandLocked()
{
    return session.lock ? 1 : 0;
}
