// The run-time password prompt. The typed characters are a secret: they are
// never written anywhere but typedPassword, and that is wiped as soon as the
// prompt goes away.
#include "shell/prompt.h"

#include <algorithm>
#include <cstring>

#include "kgl/bitmap.h"
#include "kgl/errors.h"
#include "kgl/events.h"
#include "kgl/framework.h"
#include "platform/display.h"
#include "platform/memory.h"
#include "settings/settings.h"
#include "shell/run_state.h"

namespace {

// The prompt goes this long (microseconds) after the input that last restarted it.
constexpr uint32_t kPromptTimeout = 20000000u;
// The longest text the prompt takes: the longest password the settings store.
constexpr int32_t kMaxTyped = static_cast<int32_t>(sizeof saverRun.typedPassword) - 1;
// Character codes of the editing keys.
constexpr int kEnter = 13, kBackspace = 8;

// Where the picture goes relative to the screen's centre, and the scale of the dots.
struct PromptLayout {
    int scale, leftOffset, topOffset;
};

// Modes above 640 x 480 use the picture at twice the size.
bool largeLayout()
{
    return saverRun.screenWidth > 640 && saverRun.screenHeight > 480;
}

// Screens past 2560 pixels wide show the large picture magnified by a whole
// number, a third of the width per 1280 pixels (3 on a 3840 x 2160 screen),
// so that it stays as readable as on a screen of 1280.
int magnification()
{
    return largeLayout() && saverRun.screenWidth > 2560 ? std::min(saverRun.screenWidth / 1280, 16) : 1;
}

// The magnification the loaded picture has (1 when it could not be magnified).
// Set when the picture is loaded; one run per process.
int pictureMagnification = 1;

PromptLayout promptLayout()
{
    if (!largeLayout()) return PromptLayout{1, 92, 18};
    int m = pictureMagnification;
    return PromptLayout{2 * m, 185 * m, 36 * m};
}

// Exact and case-sensitive; the stored password is read no further than its buffer.
bool typedTextIsPassword()
{
    size_t stored = strnlen(settings.password, sizeof settings.password);
    return stored == static_cast<size_t>(saverRun.typedLength) &&
           memcmp(settings.password, saverRun.typedPassword, stored) == 0;
}

} // namespace

void loadPasswordPicture()
{
    if (settings.passwordEnabled != 1) return;
    const char* name = largeLayout() ? "Brevane\\pass2x.pag" : "Brevane\\pass.pag";
    pictureMagnification = 1;
    saverRun.passwordPicture = readBitmapFile(name, 1);
    if (!saverRun.passwordPicture) fatalError(errorMessage(takeLastError()));
    if (magnification() > 1) {
        // A picture that cannot be magnified (a depth below 8 bits, no memory) is shown as it is.
        if (Bitmap* large = magnifyBitmap(saverRun.passwordPicture, magnification())) {
            freeBitmap(saverRun.passwordPicture);
            saverRun.passwordPicture = large;
            pictureMagnification = magnification();
        }
        takeLastError();
    }
}

void wipeTypedPassword()
{
    wipeMemory(saverRun.typedPassword, sizeof saverRun.typedPassword);
    saverRun.typedLength = 0;
}

void drawPasswordPrompt()
{
    PromptLayout layout = promptLayout();
    const int s = layout.scale;
    const int cx = saverRun.screenWidth / 2, cy = saverRun.screenHeight / 2;
    const int left = cx - layout.leftOffset;
    if (saverRun.framework) {
        putBitmap(saverRun.framework->drawTarget, left, cy - layout.topOffset, saverRun.passwordPicture, 0);
        setColorRGB(0, 0, 0);
        for (int32_t i = 0; i < saverRun.typedLength; ++i) fillEllipseCoord(left + 8 * s + 4 * s * i, cy + s, s, s);
    }

    if (saverRun.promptTimer == 1) {
        saverRun.promptStart = timerLap();
        saverRun.promptTimer = 2;
    } else if (saverRun.promptTimer == 2) {
        // Unsigned: after a restart of the run clock the difference wraps and the prompt goes at once.
        uint32_t reading = timerLap();
        if (reading - saverRun.promptStart > kPromptTimeout) {
            saverRun.promptTimer = 0;
            saverRun.saverState = -1;
            wipeTypedPassword();
            saverRun.promptStart = reading;
        }
    }
}

void promptKey(int character)
{
    if (character == kEnter) {
        // Either way the prompt goes: the saver ends or the walk goes on.
        bool right = typedTextIsPassword();
        saverRun.saverState = right ? 0 : -1;
        wipeTypedPassword();
        // The right password, and only it, gives a locked session back.
        if (right) displayUnlockSession();
    }
    if (character == kBackspace && saverRun.typedLength > 0) {
        saverRun.typedLength--;
        saverRun.typedPassword[saverRun.typedLength] = '\0';
    }
    if (saverRun.typedLength < kMaxTyped && character >= 31 && character <= 126) {
        saverRun.typedPassword[saverRun.typedLength++] = static_cast<char>(character);
        saverRun.typedPassword[saverRun.typedLength] = '\0';
    }
}
