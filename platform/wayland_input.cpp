// The seat's keyboard and pointer as the library's input records. Keys go
// through xkbcommon with the keymap the compositor sends, so a key types what
// the desktop's layout says; pointer positions become pixels of the mode's
// frame, as on X11. The keyboard leaving every cover is the loss of the
// window, unless it only moved from one cover to another.
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/memory.h"
#include "platform/wayland_host.h"

std::deque<DisplayInput> waylandInput;

namespace {

// The keyboard leaving one cover for another sends a leave and an enter a
// moment apart; a leave not followed by an enter within this time is a loss.
constexpr uint64_t kFocusMoveMicroseconds = 150000;

// The seat's devices and what they hold. One instance for the connection;
// the held state is reset with every new window.
struct Seat {
    wl_keyboard* keyboard = nullptr;
    wl_pointer* pointer = nullptr;
    xkb_context* context = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
    bool keyboardOnCover = false;
    uint64_t leftAt = 0;              // when the keyboard left a cover; 0 when it has not
    wl_surface* pointerSurface = nullptr;
    uint32_t enterSerial = 0;         // the pointer's last entry, which a change of its image names
    int pointerX = 0, pointerY = 0;   // in frame pixels
    uint32_t buttons = 0;             // kDisplayLeftHeld | kDisplayRightHeld
    bool pointerShown = true;
};
Seat seat;

uint32_t heldModifiers()
{
    uint32_t modifiers = seat.buttons;
    if (!seat.state) return modifiers;
    if (xkb_state_mod_name_is_active(seat.state, XKB_MOD_NAME_SHIFT, XKB_STATE_MODS_EFFECTIVE) > 0)
        modifiers |= kDisplayShift;
    if (xkb_state_mod_name_is_active(seat.state, XKB_MOD_NAME_CTRL, XKB_STATE_MODS_EFFECTIVE) > 0)
        modifiers |= kDisplayControl;
    if (xkb_state_mod_name_is_active(seat.state, XKB_MOD_NAME_ALT, XKB_STATE_MODS_EFFECTIVE) > 0)
        modifiers |= kDisplayAlt;
    return modifiers;
}

void queue(DisplayInputKind kind, uint32_t time)
{
    DisplayInput input = {};
    input.kind = kind;
    input.time = time;
    input.x = seat.pointerX;
    input.y = seat.pointerY;
    input.modifiers = heldModifiers();
    waylandInput.push_back(input);
}

uint32_t nowMilliseconds()
{
    return static_cast<uint32_t>(monotonicMicroseconds() / 1000);
}

// The character a key types: the control keys by their symbol, Control with a
// letter as its control code, else the layout's character when it is Latin-1.
int keyCharacter(xkb_keycode_t code)
{
    if (!seat.state) return 0;
    xkb_keysym_t symbol = xkb_state_key_get_one_sym(seat.state, code);
    switch (symbol) {
    case XKB_KEY_Return:
    case XKB_KEY_KP_Enter: return 13;
    case XKB_KEY_BackSpace: return 8;
    case XKB_KEY_Escape: return 27;
    case XKB_KEY_Tab:
    case XKB_KEY_ISO_Left_Tab: return 9;
    default: break;
    }
    xkb_keysym_t lower = xkb_keysym_to_lower(symbol);
    if ((heldModifiers() & kDisplayControl) && lower >= XKB_KEY_a && lower <= XKB_KEY_z)
        return static_cast<int>(lower - XKB_KEY_a + 1);
    uint32_t character = xkb_state_key_get_utf32(seat.state, code);
    return character > 0 && character < 256 ? static_cast<int>(character) : 0;
}

// ---- Keyboard ----

void keymap(void*, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size)
{
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || size == 0) {
        close(fd);
        return;
    }
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) return;
    if (!seat.context) seat.context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    // The text ends with a zero byte; a keymap that does not is read no further than its size.
    xkb_keymap* map = seat.context ? xkb_keymap_new_from_buffer(seat.context, static_cast<const char*>(text),
                                                                 strnlen(static_cast<const char*>(text), size),
                                                                 XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS)
                                   : nullptr;
    munmap(text, size);
    if (!map) return;
    if (seat.state) xkb_state_unref(seat.state);
    if (seat.keymap) xkb_keymap_unref(seat.keymap);
    seat.keymap = map;
    seat.state = xkb_state_new(map);
}

void keyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface* surface, wl_array*)
{
    if (!isCoverSurface(surface)) return;
    bool regained = !seat.keyboardOnCover && seat.leftAt == 0;
    seat.keyboardOnCover = true;
    seat.leftAt = 0;
    if (regained) queue(DisplayInputKind::FocusGained, nowMilliseconds());
}

void keyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*)
{
    if (!seat.keyboardOnCover) return;
    seat.keyboardOnCover = false;
    seat.leftAt = monotonicMicroseconds();
}

void key(void*, wl_keyboard*, uint32_t, uint32_t time, uint32_t code, uint32_t state)
{
    DisplayInput input = {};
    bool down = state == WL_KEYBOARD_KEY_STATE_PRESSED;
    input.kind = down ? DisplayInputKind::KeyDown : DisplayInputKind::KeyUp;
    input.time = time;
    input.x = seat.pointerX;
    input.y = seat.pointerY;
    input.scanCode = static_cast<int>(code & 0x1FF);
    // xkbcommon numbers keys as X does: the kernel's code plus 8.
    input.character = down ? keyCharacter(code + 8) : 0;
    input.modifiers = heldModifiers();
    waylandInput.push_back(input);
    wipeMemory(&input, sizeof input);
}

void modifiers(void*, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched, uint32_t locked, uint32_t group)
{
    if (seat.state) xkb_state_update_mask(seat.state, depressed, latched, locked, 0, 0, group);
}

void repeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

// ---- Pointer ----

void pointerAt(wl_surface* surface, wl_fixed_t x, wl_fixed_t y)
{
    surfaceToFrame(surface, wl_fixed_to_double(x), wl_fixed_to_double(y), &seat.pointerX, &seat.pointerY);
}

void pointerEnter(void*, wl_pointer* pointer, uint32_t serial, wl_surface* surface, wl_fixed_t x, wl_fixed_t y)
{
    seat.pointerSurface = surface;
    seat.enterSerial = serial;
    if (!seat.pointerShown) wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    pointerAt(surface, x, y);
    queue(DisplayInputKind::Motion, nowMilliseconds());
}

void pointerLeave(void*, wl_pointer*, uint32_t, wl_surface*)
{
    seat.pointerSurface = nullptr;
}

void pointerMotion(void*, wl_pointer*, uint32_t time, wl_fixed_t x, wl_fixed_t y)
{
    pointerAt(seat.pointerSurface, x, y);
    queue(DisplayInputKind::Motion, time);
}

void pointerButton(void*, wl_pointer*, uint32_t, uint32_t time, uint32_t button, uint32_t state)
{
    int number = button == BTN_LEFT ? 1 : button == BTN_MIDDLE ? 2 : button == BTN_RIGHT ? 3 : 0;
    if (number == 0) return;
    bool down = state == WL_POINTER_BUTTON_STATE_PRESSED;
    uint32_t bit = number == 1 ? kDisplayLeftHeld : number == 3 ? kDisplayRightHeld : 0;
    // A button counts as held in its own press, not in its release.
    if (down)
        seat.buttons |= bit;
    else
        seat.buttons &= ~bit;
    queue(down ? DisplayInputKind::ButtonDown : DisplayInputKind::ButtonUp, time);
    waylandInput.back().button = number;
    waylandInput.back().clicks = 1;
}

void pointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void pointerFrame(void*, wl_pointer*) {}
void pointerAxisSource(void*, wl_pointer*, uint32_t) {}
void pointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void pointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}

// ---- Seat ----

void capabilities(void*, wl_seat* wlSeat, uint32_t caps)
{
    static wl_keyboard_listener keyboardListener = {};
    keyboardListener.keymap = keymap;
    keyboardListener.enter = keyboardEnter;
    keyboardListener.leave = keyboardLeave;
    keyboardListener.key = key;
    keyboardListener.modifiers = modifiers;
    keyboardListener.repeat_info = repeatInfo;
    static wl_pointer_listener pointerListener = {};
    pointerListener.enter = pointerEnter;
    pointerListener.leave = pointerLeave;
    pointerListener.motion = pointerMotion;
    pointerListener.button = pointerButton;
    pointerListener.axis = pointerAxis;
    pointerListener.frame = pointerFrame;
    pointerListener.axis_source = pointerAxisSource;
    pointerListener.axis_stop = pointerAxisStop;
    pointerListener.axis_discrete = pointerAxisDiscrete;

    if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) && !seat.keyboard) {
        seat.keyboard = wl_seat_get_keyboard(wlSeat);
        wl_keyboard_add_listener(seat.keyboard, &keyboardListener, nullptr);
    } else if (!(caps & WL_SEAT_CAPABILITY_KEYBOARD) && seat.keyboard) {
        wl_keyboard_destroy(seat.keyboard);
        seat.keyboard = nullptr;
    }
    if ((caps & WL_SEAT_CAPABILITY_POINTER) && !seat.pointer) {
        seat.pointer = wl_seat_get_pointer(wlSeat);
        wl_pointer_add_listener(seat.pointer, &pointerListener, nullptr);
    } else if (!(caps & WL_SEAT_CAPABILITY_POINTER) && seat.pointer) {
        wl_pointer_destroy(seat.pointer);
        seat.pointer = nullptr;
    }
}

void seatName(void*, wl_seat*, const char*) {}

const wl_seat_listener seatListener = {capabilities, seatName};

// Loses the window once the keyboard has stayed away from every cover.
void checkKeyboardLeft()
{
    if (seat.leftAt == 0 || monotonicMicroseconds() - seat.leftAt < kFocusMoveMicroseconds) return;
    seat.leftAt = 0;
    queue(DisplayInputKind::FocusLost, nowMilliseconds());
}

} // namespace

void waylandSeatReady()
{
    wl_seat_add_listener(wayland.seat, &seatListener, nullptr);
}

void resetWaylandInput()
{
    for (DisplayInput& input : waylandInput) wipeMemory(&input, sizeof input);
    waylandInput.clear();
    seat.leftAt = 0;
    seat.buttons = 0;
}

void setWaylandPointerShown(bool shown)
{
    seat.pointerShown = shown;
    // Hidden at once when the pointer is over a cover; shown again by the desktop once it leaves.
    if (!shown && seat.pointer && seat.pointerSurface)
        wl_pointer_set_cursor(seat.pointer, seat.enterSerial, nullptr, 0, 0);
}

void queueWindowLoss()
{
    queue(DisplayInputKind::FocusLost, nowMilliseconds());
}

int waylandPollInput(DisplayInput* input)
{
    if (!waylandWindow.open) return 0;
    if (waylandInput.empty() && !waylandPump(0)) {
        fprintf(stderr, "Vellamir: the connection to the Wayland compositor was lost.\n");
        exit(1);
    }
    checkKeyboardLeft();
    if (waylandInput.empty()) return 0;
    *input = waylandInput.front();
    // Typed characters (a password, maybe) leave no copy behind in the queue.
    wipeMemory(&waylandInput.front(), sizeof(DisplayInput));
    waylandInput.pop_front();
    return 1;
}
