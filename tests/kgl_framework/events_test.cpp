// The event loop without a window: the queue, key and button translation,
// activation, the pass loop, the clock and the cursor count.
#include <gtest/gtest.h>

#include <vector>

#include "kgl/events.h"
#include "kgl/framework.h"

namespace {

DisplayInput key(DisplayInputKind kind, int scanCode, int character)
{
    DisplayInput input = {};
    input.kind = kind;
    input.scanCode = scanCode;
    input.character = character;
    return input;
}

DisplayInput pointer(DisplayInputKind kind, int x, int y, int button = 0, int clicks = 1)
{
    DisplayInput input = {};
    input.kind = kind;
    input.x = x;
    input.y = y;
    input.button = button;
    input.clicks = clicks;
    return input;
}

std::vector<Event> drain()
{
    std::vector<Event> events;
    Event event;
    while (takeEvent(&event)) events.push_back(event);
    return events;
}

class EventLoop : public testing::Test {
protected:
    void SetUp() override
    {
        frameworkInit("events");
        flushEvents();
    }
    void TearDown() override { frameworkShutdown(); }
};

TEST_F(EventLoop, QueueHoldsAHundredAndDropsTheRestUntilRead)
{
    for (int i = 0; i < 105; ++i) {
        Event event = {};
        event.code = kEventMouseDown;
        event.x = i;
        EXPECT_EQ(postEvent(event), i < kEventQueueSize ? 1 : 0) << i;
    }
    EXPECT_EQ(queuedEventCount(), kEventQueueSize);
    Event first;
    ASSERT_EQ(takeEvent(&first), 1);
    EXPECT_EQ(first.x, 0);
    Event late = {};
    late.code = kEventMouseDown;
    late.x = 500;
    EXPECT_EQ(postEvent(late), 1) << "room again once one was read";
    std::vector<Event> rest = drain();
    ASSERT_EQ(rest.size(), 100u);
    EXPECT_EQ(rest.front().x, 1);
    EXPECT_EQ(rest[98].x, 99);
    EXPECT_EQ(rest.back().x, 500);
}

TEST_F(EventLoop, ConsecutiveMovesMergeButNotAcrossOtherEvents)
{
    handleDisplayInput(pointer(DisplayInputKind::Motion, 10, 10));
    handleDisplayInput(pointer(DisplayInputKind::Motion, 11, 12));
    handleDisplayInput(pointer(DisplayInputKind::Motion, 13, 14));
    handleDisplayInput(pointer(DisplayInputKind::ButtonDown, 13, 14, 1));
    handleDisplayInput(pointer(DisplayInputKind::Motion, 20, 21));
    std::vector<Event> events = drain();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].code, kEventMouseMove);
    EXPECT_EQ(events[0].x, 13);
    EXPECT_EQ(events[0].y, 14);
    EXPECT_EQ(events[1].code, kEventMouseDown);
    EXPECT_EQ(events[2].x, 20);

    // A move that was already read is not changed by the next one.
    handleDisplayInput(pointer(DisplayInputKind::Motion, 30, 30));
    Event read;
    ASSERT_EQ(takeEvent(&read), 1);
    handleDisplayInput(pointer(DisplayInputKind::Motion, 31, 31));
    EXPECT_EQ(read.x, 30);
    EXPECT_EQ(queuedEventCount(), 1);

    // A full queue still takes a move into the move at its end.
    flushEvents();
    for (int i = 0; i < kEventQueueSize - 1; ++i) handleDisplayInput(key(DisplayInputKind::KeyUp, 4, 0));
    handleDisplayInput(pointer(DisplayInputKind::Motion, 1, 1));
    handleDisplayInput(pointer(DisplayInputKind::Motion, 2, 2));
    handleDisplayInput(key(DisplayInputKind::KeyUp, 4, 0));
    events = drain();
    ASSERT_EQ(events.size(), 100u);
    EXPECT_EQ(events.back().code, kEventMouseMove);
    EXPECT_EQ(events.back().x, 2);
}

TEST_F(EventLoop, KeysCarryTheirCharacterAndRepeatWhileHeld)
{
    handleDisplayInput(key(DisplayInputKind::KeyDown, 4, 'a'));
    handleDisplayInput(key(DisplayInputKind::KeyDown, 4, 'a'));
    handleDisplayInput(key(DisplayInputKind::KeyDown, 4, 0));
    handleDisplayInput(key(DisplayInputKind::KeyUp, 4, 0));
    handleDisplayInput(key(DisplayInputKind::KeyDown, 40, 13));
    handleDisplayInput(key(DisplayInputKind::KeyDown, 300, 8));
    std::vector<Event> events = drain();
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].code, kEventKeyDown);
    EXPECT_EQ(events[0].message, 'a' | (4u << 8));
    EXPECT_EQ(events[1].code, kEventKeyRepeat);
    EXPECT_EQ(events[1].message, 'a' | (4u << 8) | (1u << 16));
    EXPECT_EQ(events[2].message & 0xFF, static_cast<uint32_t>('a')) << "a repeat types what the key typed";
    EXPECT_EQ(events[3].code, kEventKeyUp);
    EXPECT_EQ(events[3].message & 0xFF, static_cast<uint32_t>('a'));
    EXPECT_EQ(events[4].code, kEventKeyDown) << "released, so a fresh key down";
    EXPECT_EQ(events[4].message, 13u | (40u << 8));
    EXPECT_EQ(events[5].message & 0xFF, 8u);
    EXPECT_EQ((events[5].message >> 8) & 0xFF, 300u & 0xFF);
}

TEST_F(EventLoop, ButtonsAndModifiers)
{
    handleDisplayInput(pointer(DisplayInputKind::Motion, 7, 9));
    handleDisplayInput(pointer(DisplayInputKind::ButtonDown, 7, 9, 1));
    handleDisplayInput(pointer(DisplayInputKind::ButtonUp, 7, 9, 1));
    handleDisplayInput(pointer(DisplayInputKind::ButtonDown, 7, 9, 3, 2));
    DisplayInput shifted = key(DisplayInputKind::KeyDown, 5, 'B');
    shifted.modifiers = kDisplayShift | kDisplayLeftHeld;
    handleDisplayInput(shifted);
    std::vector<Event> events = drain();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[1].code, kEventMouseDown);
    EXPECT_EQ(events[1].message, kLeftButton);
    EXPECT_EQ(events[1].modifiers & kModDoubleClick, 0u);
    EXPECT_EQ(events[2].code, kEventMouseUp);
    EXPECT_EQ(events[3].message, kRightButton);
    EXPECT_EQ(events[3].modifiers & kModDoubleClick, kModDoubleClick);
    EXPECT_EQ(events[4].modifiers, kModShift | kModLeftHeld);
    EXPECT_EQ(events[4].x, 7) << "key events carry the pointer position";
    EXPECT_EQ(events[4].y, 9);
}

// Callbacks of the loop tests record what reached them.
struct Seen {
    int logic = 0, draws = 0, keys = 0, repeats = 0, ups = 0, others = 0, activations = 0, lastReason = 0;
    int answer = 1;
    int quitAfter = 3;
};
Seen seen;

void countLogic()
{
    if (++seen.logic >= seen.quitAfter) requestQuit();
}
void countDraw() { seen.draws++; }
void countKey(Event*) { seen.keys++; }
void countRepeat(Event*) { seen.repeats++; }
void countOther(Event*) { seen.others++; }
int answerActivation(DeviceContext*, int reason)
{
    seen.activations++;
    seen.lastReason = reason;
    return seen.answer;
}

TEST_F(EventLoop, PassesRunGameLogicAlwaysAndDrawOnlyWhileActive)
{
    seen = Seen();
    setGameLogicCallback(countLogic);
    mainLoop();
    EXPECT_EQ(seen.logic, 3) << "no draw callback, game logic still runs";

    frameworkInit("events");
    seen = Seen();
    setGameLogicCallback(countLogic);
    setDrawCallback(countDraw);
    runPass();
    EXPECT_EQ(seen.draws, 1);
    suspendApplication(1);
    EXPECT_EQ(applicationActive(), 0) << "no activate callback: the switch is allowed";
    runPass();
    runPass();
    EXPECT_EQ(seen.logic, 3);
    EXPECT_EQ(seen.draws, 1) << "nothing is drawn while switched away";
    handleDisplayInput(pointer(DisplayInputKind::FocusGained, 0, 0));
    EXPECT_EQ(applicationActive(), 1);
    seen.quitAfter = 5;
    mainLoop();
    EXPECT_EQ(seen.draws, 3) << "the pass that asks to quit still draws";
}

TEST_F(EventLoop, EventsGoToTheirSlotsAndKeyUpsAreDropped)
{
    seen = Seen();
    seen.quitAfter = 1;
    setGameLogicCallback(countLogic);
    setKeyDownCallback(countKey);
    setKeyRepeatCallback(countRepeat);
    setEventCallback(countOther);
    handleDisplayInput(key(DisplayInputKind::KeyDown, 9, 'x'));
    handleDisplayInput(key(DisplayInputKind::KeyDown, 9, 'x'));
    handleDisplayInput(key(DisplayInputKind::KeyUp, 9, 0));
    Event tick = {};
    tick.code = kEventTimer;
    postEvent(tick);
    mainLoop();
    EXPECT_EQ(seen.keys, 1);
    EXPECT_EQ(seen.repeats, 1);
    EXPECT_EQ(seen.others, 1) << "the timer tick goes to the event callback, the key up nowhere";
    EXPECT_EQ(queuedEventCount(), 0);
}

TEST_F(EventLoop, ActivationAskedAndRefused)
{
    seen = Seen();
    setActivateCallback(answerActivation);
    seen.answer = 0;
    EXPECT_EQ(suspendApplication(1), 0);
    EXPECT_EQ(seen.lastReason, 1);
    EXPECT_EQ(applicationActive(), 1) << "a refused switch leaves the application active";
    handleDisplayInput(pointer(DisplayInputKind::FocusGained, 0, 0));
    EXPECT_EQ(seen.activations, 1) << "no 'back' without having gone";

    seen.answer = 1;
    handleDisplayInput(pointer(DisplayInputKind::FocusLost, 0, 0));
    EXPECT_EQ(applicationActive(), 0);
    handleDisplayInput(pointer(DisplayInputKind::FocusLost, 0, 0));
    EXPECT_EQ(seen.activations, 2) << "a second loss while away asks nothing";
    handleDisplayInput(pointer(DisplayInputKind::FocusGained, 0, 0));
    EXPECT_EQ(applicationActive(), 1);
    EXPECT_EQ(seen.activations, 3);
    EXPECT_EQ(seen.lastReason, 2);
}

TEST(Clock, LapsCountMicrosecondsFromTheLastStart)
{
    timerInit();
    timerStart();
    uint32_t first = timerLap();
    uint32_t later = first;
    for (int i = 0; i < 1000000 && later - first < 2000; ++i) later = timerLap();
    EXPECT_GE(later - first, 2000u) << "the clock advances";
    EXPECT_LT(first, 1000000u);
    timerStop();
    timerStart();
    EXPECT_LT(timerLap(), later) << "a new start counts from 0 again";
}

TEST(Cursor, ShowCountHidesBelowZero)
{
    resetCursor();
    hideCursor();
    hideCursor();
    showCursor();
    EXPECT_EQ(cursorShowCount(), -1) << "twice hidden, once shown: still hidden";
    showCursor();
    EXPECT_EQ(cursorShowCount(), 0);
    showCursor();
    hideCursor();
    EXPECT_EQ(cursorShowCount(), 0) << "shown above 0, one hide does not hide";
    hideCursor();
    resetCursor();
    EXPECT_EQ(cursorShowCount(), 0);
}

} // namespace
