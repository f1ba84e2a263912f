// The window's messages: SDL's events as the library's input records.
#include "platform/display.h"

#include "platform/memory.h"
#include "platform/sdl_window.h"

namespace {

// The modifier keys and buttons held as of the last message taken, followed
// through the messages themselves: SDL's state when they are taken may be
// later (a key released before the poll). Started from SDL's state at the
// first poll; every key message carries the whole key state, every motion
// the whole button state.
struct HeldState {
    bool started;
    uint16_t keys;      // SDL_Keymod
    uint32_t buttons;   // SDL_BUTTON_*MASK
};
HeldState held;

uint32_t heldModifiers()
{
    uint32_t modifiers = 0;
    if (held.keys & KMOD_SHIFT) modifiers |= kDisplayShift;
    if (held.keys & KMOD_CTRL) modifiers |= kDisplayControl;
    if (held.keys & KMOD_ALT) modifiers |= kDisplayAlt;
    if (held.buttons & SDL_BUTTON_LMASK) modifiers |= kDisplayLeftHeld;
    if (held.buttons & SDL_BUTTON_RMASK) modifiers |= kDisplayRightHeld;
    return modifiers;
}

// The first character of UTF-8 text as Latin-1; 0 when it has no Latin-1 form.
int latin1Character(const char* text)
{
    const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
    if (t[0] < 0x80) return t[0];
    if ((t[0] & 0xE0) == 0xC0 && (t[1] & 0xC0) == 0x80) {
        int code = ((t[0] & 0x1F) << 6) | (t[1] & 0x3F);
        return code < 256 ? code : 0;
    }
    return 0;
}

// The character a key types: the control keys by their key symbol (SDL sends
// no text for them), Control with a letter as its control code, else the text
// event SDL queues right behind the key press, if it is the very next event.
int keyCharacter(const SDL_KeyboardEvent& key)
{
    switch (key.keysym.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return 13;
    case SDLK_BACKSPACE: return 8;
    case SDLK_ESCAPE: return 27;
    case SDLK_TAB: return 9;
    default: break;
    }
    if ((key.keysym.mod & KMOD_CTRL) && key.keysym.sym >= SDLK_a && key.keysym.sym <= SDLK_z)
        return key.keysym.sym - SDLK_a + 1;
    SDL_Event next;
    if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 && next.type == SDL_TEXTINPUT) {
        SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
        int character = latin1Character(next.text.text);
        wipeMemory(&next, sizeof next);
        return character;
    }
    return 0;
}

void pointerPosition(int windowX, int windowY, DisplayInput* input)
{
    windowToFrame(windowX, windowY, &input->x, &input->y);
}

// Fills input from one SDL event; false for events the library has no use for.
// The time is SDL's stamp on the message (taken as SDL queued it).
bool translate(const SDL_Event& event, DisplayInput* input)
{
    *input = DisplayInput();
    input->time = event.common.timestamp;
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        input->kind = event.type == SDL_KEYDOWN ? DisplayInputKind::KeyDown : DisplayInputKind::KeyUp;
        input->scanCode = event.key.keysym.scancode & 0x1FF;
        input->character = event.type == SDL_KEYDOWN ? keyCharacter(event.key) : 0;
        held.keys = event.key.keysym.mod;
        input->modifiers = heldModifiers();
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT && event.button.button != SDL_BUTTON_MIDDLE &&
            event.button.button != SDL_BUTTON_RIGHT)
            return false;
        input->kind = event.type == SDL_MOUSEBUTTONDOWN ? DisplayInputKind::ButtonDown : DisplayInputKind::ButtonUp;
        input->button = event.button.button == SDL_BUTTON_LEFT ? 1 : event.button.button == SDL_BUTTON_MIDDLE ? 2 : 3;
        input->clicks = event.button.clicks;
        pointerPosition(event.button.x, event.button.y, input);
        // A button counts as held in its own press, not in its release.
        if (event.type == SDL_MOUSEBUTTONDOWN)
            held.buttons |= SDL_BUTTON(event.button.button);
        else
            held.buttons &= ~SDL_BUTTON(event.button.button);
        input->modifiers = heldModifiers();
        return true;
    case SDL_MOUSEMOTION:
        input->kind = DisplayInputKind::Motion;
        pointerPosition(event.motion.x, event.motion.y, input);
        held.buttons = event.motion.state;
        input->modifiers = heldModifiers();
        return true;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            input->kind = DisplayInputKind::FocusLost;
            return true;
        }
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            input->kind = DisplayInputKind::FocusGained;
            return true;
        }
        return false;
    case SDL_SYSWMEVENT:
        return coverPointerInput(event.syswm.msg, sdlWindow(), input);
    default:
        // Close requests (SDL_QUIT, the window's close) are ignored in full screen.
        return false;
    }
}

} // namespace

int x11PollInput(DisplayInput* input)
{
    if (!sdlWindow()) return 0;
    if (!held.started) {
        held.keys = static_cast<uint16_t>(SDL_GetModState());
        held.buttons = SDL_GetMouseState(nullptr, nullptr);
        held.started = true;
    }
    SDL_Event event;
    int found = 0;
    while (!found && SDL_PollEvent(&event)) {
        if (event.type == SDL_WINDOWEVENT) lockWindowEventSeen();
        found = translate(event, input);
    }
    // The pass's messages are all read: the lock's grab is checked after them.
    if (!found) keepLockGrab(sdlWindow());
    // Typed characters (a password, maybe) leave no copy behind on the stack.
    wipeMemory(&event, sizeof event);
    return found;
}
