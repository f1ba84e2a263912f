#include "platform/saver_host.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// Set by the signal handler, read by the run's passes; never cleared (one run per process).
volatile sig_atomic_t terminationSignalled = 0;

void onTerminationSignal(int signal)
{
    terminationSignalled = signal;
}

int digitValue(char c, int base)
{
    int value = c >= '0' && c <= '9' ? c - '0'
              : c >= 'a' && c <= 'f' ? c - 'a' + 10
              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                     : 99;
    return value < base ? value : -1;
}

} // namespace

int parseWindowId(const char* text, uint64_t* window)
{
    if (!text) return 0;
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (!*text) return 0;
    uint64_t value = 0;
    for (; *text; ++text) {
        int digit = digitValue(*text, base);
        if (digit < 0) return 0;
        value = value * base + digit;
        if (value > 0xFFFFFFFFu) return 0;
    }
    if (value == 0) return 0;
    *window = value;
    return 1;
}

uint64_t hostWindowFromEnvironment()
{
    const char* text = getenv("XSCREENSAVER_WINDOW");
    if (!text) return 0;
    uint64_t window = 0;
    if (parseWindowId(text, &window)) return window;
    fprintf(stderr, "Vellamir: XSCREENSAVER_WINDOW=\"%s\" is not a window id; running full screen.\n", text);
    return 0;
}

void catchTerminationSignals()
{
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // The handler gives way to the default after one signal: a run that
    // never checks the flag (a box waiting for OK) still ends when asked twice.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

int terminationRequested()
{
    return terminationSignalled ? 1 : 0;
}

void endByTerminationSignal()
{
    int signal = terminationSignalled;
    if (!signal) return;
    fflush(nullptr);
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
}
