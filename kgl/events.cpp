// The running half of the framework: callback slots, the pass loop, the
// queue that turns the window's messages into events, and activation.
#include "kgl/events.h"

#include "kgl/framework.h"
#include "platform/memory.h"

namespace {

// The callback slots: empty at start, set by the registration operations,
// emptied by clearCallbacks when the framework starts or shuts down.
struct CallbackSlots {
    FrameCallback draw, gameLogic;
    EventCallback keyDown, keyRepeat, keyUp, mouseDown, mouseUp, mouseMove, other;
    ActivateCallback activate;
};
CallbackSlots slots;

// The event queue, oldest first; emptied when it is read and by flushEvents.
struct EventQueue {
    Event events[kEventQueueSize];
    int first, count;
    int lastWasMove;   // the newest queued event is a mouse move not yet read
};
EventQueue queue;

// Keys held down, by scan code, with the character each typed when it went
// down (key-up events carry it; a released key forgets it). Cleared by flushEvents.
constexpr int kScanCodes = 512;
struct KeyState {
    bool down[kScanCodes];
    uint8_t character[kScanCodes];
    int pointerX, pointerY;   // the last pointer position reported
};
KeyState keys;

void dispatch(Event& event)
{
    EventCallback slot = nullptr;
    switch (event.code) {
    case kEventKeyDown: slot = slots.keyDown; break;
    case kEventKeyRepeat: slot = slots.keyRepeat; break;
    case kEventKeyUp: slot = slots.keyUp; break;
    case kEventMouseDown: slot = slots.mouseDown; break;
    case kEventMouseUp: slot = slots.mouseUp; break;
    case kEventMouseMove: slot = slots.mouseMove; break;
    default: slot = slots.other; break;
    }
    if (slot) slot(&event);
}

Event eventFrom(const DisplayInput& input, int32_t code)
{
    Event event = {};
    event.code = code;
    event.time = input.time;
    event.x = keys.pointerX;
    event.y = keys.pointerY;
    event.modifiers = input.modifiers;
    return event;
}

uint32_t buttonMessage(int button)
{
    return button == 1 ? kLeftButton : button == 2 ? kMiddleButton : kRightButton;
}

} // namespace

void setDrawCallback(FrameCallback callback) { slots.draw = callback; }
void setGameLogicCallback(FrameCallback callback) { slots.gameLogic = callback; }
void setKeyDownCallback(EventCallback callback) { slots.keyDown = callback; }
void setKeyRepeatCallback(EventCallback callback) { slots.keyRepeat = callback; }
void setMouseDownCallback(EventCallback callback) { slots.mouseDown = callback; }
void setMouseUpCallback(EventCallback callback) { slots.mouseUp = callback; }
void setMouseMoveCallback(EventCallback callback) { slots.mouseMove = callback; }
void setEventCallback(EventCallback callback) { slots.other = callback; }
void setActivateCallback(ActivateCallback callback) { slots.activate = callback; }

void clearCallbacks()
{
    slots = CallbackSlots();
}

void runPass()
{
    pumpDisplayInput();
    Event event;
    while (takeEvent(&event)) dispatch(event);
    // Keys typed at the password prompt leave no copy behind on the stack.
    wipeMemory(&event, sizeof event);
    if (slots.gameLogic) slots.gameLogic();
    if (frameworkState.active && slots.draw) slots.draw();
}

void mainLoop()
{
    frameworkState.quit = 0;
    while (!frameworkState.quit) runPass();
    frameworkShutdown();
}

void requestQuit()
{
    frameworkState.quit = 1;
}

int quitRequested()
{
    return frameworkState.quit;
}

void pumpDisplayInput()
{
    DisplayInput input;
    while (displayPollInput(&input)) handleDisplayInput(input);
    wipeMemory(&input, sizeof input);
}

void handleDisplayInput(const DisplayInput& input)
{
    int scan = input.scanCode & (kScanCodes - 1);
    switch (input.kind) {
    case DisplayInputKind::KeyDown: {
        Event event = eventFrom(input, kEventKeyDown);
        if (keys.down[scan]) {
            // A held key repeats the character it typed when it went down.
            event.code = kEventKeyRepeat;
            event.message = keys.character[scan] | (static_cast<uint32_t>(scan & 0xFF) << 8) | (1u << 16);
        } else {
            keys.down[scan] = true;
            keys.character[scan] = static_cast<uint8_t>(input.character);
            event.message = keys.character[scan] | (static_cast<uint32_t>(scan & 0xFF) << 8);
        }
        postEvent(event);
        break;
    }
    case DisplayInputKind::KeyUp: {
        Event event = eventFrom(input, kEventKeyUp);
        event.message = keys.character[scan] | (static_cast<uint32_t>(scan & 0xFF) << 8);
        keys.down[scan] = false;
        keys.character[scan] = 0;
        postEvent(event);
        break;
    }
    case DisplayInputKind::ButtonDown:
    case DisplayInputKind::ButtonUp: {
        keys.pointerX = input.x;
        keys.pointerY = input.y;
        Event event = eventFrom(input, input.kind == DisplayInputKind::ButtonDown ? kEventMouseDown : kEventMouseUp);
        event.message = buttonMessage(input.button);
        if (input.kind == DisplayInputKind::ButtonDown && input.clicks >= 2) event.modifiers |= kModDoubleClick;
        postEvent(event);
        break;
    }
    case DisplayInputKind::Motion:
        keys.pointerX = input.x;
        keys.pointerY = input.y;
        postEvent(eventFrom(input, kEventMouseMove));
        break;
    case DisplayInputKind::FocusLost:
        if (frameworkState.active) suspendApplication(1);
        break;
    case DisplayInputKind::FocusGained:
        if (!frameworkState.active) suspendApplication(2);
        break;
    }
}

int postEvent(const Event& event)
{
    if (event.code == kEventMouseMove && queue.count > 0 && queue.lastWasMove) {
        queue.events[(queue.first + queue.count - 1) % kEventQueueSize] = event;
        return 1;
    }
    if (queue.count >= kEventQueueSize) return 0;
    queue.events[(queue.first + queue.count) % kEventQueueSize] = event;
    queue.count++;
    queue.lastWasMove = event.code == kEventMouseMove;
    return 1;
}

int takeEvent(Event* event)
{
    if (queue.count == 0) return 0;
    *event = queue.events[queue.first];
    // A read event leaves nothing in the queue (it may be a typed password character).
    queue.events[queue.first] = Event();
    queue.first = (queue.first + 1) % kEventQueueSize;
    queue.count--;
    if (queue.count == 0) queue.lastWasMove = 0;
    return 1;
}

int queuedEventCount()
{
    return queue.count;
}

void flushEvents()
{
    queue = EventQueue();
    keys = KeyState();
}

int suspendApplication(int reason)
{
    DeviceContext* display = frameworkState.record.displayContext;
    if (reason == 1) {
        frameworkState.active = 0;
        int answer = slots.activate ? slots.activate(display, 1) : 1;
        if (answer == 0) {
            // Refused: the run goes on as if the user had never left.
            frameworkState.active = 1;
            displayReclaimFocus();
        }
        return answer;
    }
    // Back on the display: this back-end kept the window, its frame and pages,
    // so there is no mode, palette or page to restore.
    frameworkState.active = 1;
    if (slots.activate) slots.activate(display, 2);
    return 1;
}

int applicationActive()
{
    return frameworkState.active;
}
