#include "platform/msgbox.h"

// Fl_X (the window's X side) is only declared for FLTK's internals.
#define FL_INTERNALS
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
// X11 names its null atom None, which is also a message box's lack of an icon.
#undef None

#include "platform/dialog_widgets.h"
#include "platform/display_hosts.h"
#include "platform/saver_host.h"

namespace {

constexpr int kTextSize = 12;
constexpr int kMargin = 14;
constexpr int kIconSize = 36;
constexpr int kButtonWidth = 80, kButtonHeight = 26, kButtonGap = 8;
constexpr int kWidestText = 460;

MessageBoxWatcher boxWatcher;

// One box on screen and the answer it ends with.
struct BoxState {
    bool done = false;
    MessageAnswer answer = MessageAnswer::Ok;
    MessageButtons buttons = MessageButtons::Ok;
};

// A button of the box and the answer it gives.
struct BoxButton {
    BoxState* state;
    MessageAnswer answer;
    Fl_Button* widget;
};

void buttonPressed(Fl_Widget*, void* data)
{
    BoxButton* button = static_cast<BoxButton*>(data);
    button->state->answer = button->answer;
    button->state->done = true;
}

// Title bar and Escape: an Ok box is answered Ok; a question needs a button.
void closePressed(Fl_Widget*, void* data)
{
    BoxState* state = static_cast<BoxState*>(data);
    if (state->buttons == MessageButtons::YesNo) return;
    state->answer = MessageAnswer::Ok;
    state->done = true;
}

Fl_Box* makeIcon(MessageIcon icon)
{
    if (icon == MessageIcon::None) return nullptr;
    Fl_Box* box = new Fl_Box(kMargin, kMargin, kIconSize, kIconSize);
    box->box(FL_OVAL_BOX);
    box->labelfont(FL_HELVETICA_BOLD);
    box->labelsize(24);
    switch (icon) {
    case MessageIcon::Stop:
        box->color(fl_rgb_color(200, 30, 30));
        box->labelcolor(FL_WHITE);
        box->label("X");
        break;
    case MessageIcon::Exclamation:
        box->color(fl_rgb_color(250, 200, 40));
        box->labelcolor(FL_BLACK);
        box->label("!");
        break;
    case MessageIcon::Information:
        box->color(fl_rgb_color(40, 90, 200));
        box->labelcolor(FL_WHITE);
        box->label("i");
        break;
    default:
        box->color(fl_rgb_color(40, 90, 200));
        box->labelcolor(FL_WHITE);
        box->label("?");
        break;
    }
    return box;
}

// 1 when the X server has an input device a person works: any device but
// the core pair, their XTEST twins (fed by programs) and a virtual frame
// buffer's own pair, which nothing feeds. A server without the input
// extension is given the benefit of the doubt.
int serverHasPersonalInput(Display* display)
{
    int opcode = 0, event = 0, error = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error)) return 1;
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
    if (!devices) return 1;
    int found = 0;
    for (int i = 0; i < count && !found; ++i) {
        const XIDeviceInfo& device = devices[i];
        if (device.use == XIMasterPointer || device.use == XIMasterKeyboard) continue;
        const char* name = device.name ? device.name : "";
        if (strstr(name, "XTEST") || strncmp(name, "Xvfb ", 5) == 0) continue;
        found = 1;
    }
    XIFreeDeviceInfo(devices);
    return found;
}

} // namespace

int personCanAnswer()
{
    // Behind the session's lock no other window can be seen, whatever the display has.
    if (displaySessionLocked()) return 0;
    static int answer = -1;
    if (answer >= 0) return answer;
    const char* told = getenv("VELLAMIR_ATTENDED");
    uint64_t window = 0;
    if (told && (strcmp(told, "1") == 0 || strcmp(told, "0") == 0)) answer = told[0] == '1';
    else if (parseWindowId(getenv("XSCREENSAVER_WINDOW"), &window)) answer = 0;
    else if (!openDialogDisplay()) answer = 0;
    else answer = serverHasPersonalInput(fl_display);
    return answer;
}

MessageAnswer fatalMessageBox(const char* text, const char* caption, MessageIcon icon)
{
    fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    fflush(stderr);
    if (personCanAnswer() && openDialogDisplay()) messageBox(text, caption, icon);
    return MessageAnswer::Ok;
}

std::string noDisplayReason()
{
    if (strcmp(displayHostName(), "wayland") == 0) {
        if (displayDesktopSize(nullptr, nullptr)) return "";
        const char* wayland = getenv("WAYLAND_DISPLAY");
        return std::string("No Wayland display: the compositor at WAYLAND_DISPLAY=") + (wayland ? wayland : "") +
               " cannot be reached, or shows no output (VELLAMIR_DISPLAY=x11 runs on X11 instead).";
    }
    if (displayAvailable()) return "";
    const char* display = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    bool waylandSession = wayland && *wayland;
    if (!display || !*display)
        return waylandSession ? "No X11 display: this is a Wayland session without an X server (DISPLAY is not set); "
                                "VELLAMIR_DISPLAY=x11 needs XWayland; without it, leave VELLAMIR_DISPLAY unset."
                              : "No X11 display: DISPLAY is not set. Start Vellamir in an X session "
                                "(or on a virtual one with xvfb-run).";
    std::string reason = std::string("No X11 display: the X server at DISPLAY=") + display + " cannot be opened";
    return reason + (waylandSession ? " (a Wayland session needs XWayland running for it)." : " (not running, or access refused).");
}

void setMessageBoxWatcher(MessageBoxWatcher watcher)
{
    boxWatcher = std::move(watcher);
}

MessageAnswer messageBox(const char* text, const char* caption, MessageIcon icon, MessageButtons buttons,
                         Dialog* owner)
{
    if (!text) text = "";
    if (!caption) caption = "";
    if (!openDialogDisplay()) {
        fprintf(stderr, "%s: %s\n", caption, text);
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }

    // The text keeps its own line breaks and wraps only when wider than the box allows.
    std::string label = escapeLabel(text);
    fl_font(FL_HELVETICA, kTextSize);
    int textWidth = 0, textHeight = 0;
    fl_measure(label.c_str(), textWidth, textHeight, 1);
    if (textWidth > kWidestText) {
        textWidth = kWidestText;
        textHeight = 0;
        fl_measure(label.c_str(), textWidth, textHeight, 1);
    }
    int textX = icon == MessageIcon::None ? kMargin : kMargin + kIconSize + kMargin;
    int textAreaHeight = std::max(textHeight, icon == MessageIcon::None ? 0 : kIconSize);
    int buttonCount = buttons == MessageButtons::YesNo ? 2 : 1;
    int buttonsWidth = buttonCount * kButtonWidth + (buttonCount - 1) * kButtonGap;
    int width = std::max(textX + textWidth + kMargin, buttonsWidth + 2 * kMargin);
    int buttonsY = kMargin + textAreaHeight + kMargin;
    int height = buttonsY + kButtonHeight + kMargin;

    BoxState state;
    state.buttons = buttons;
    Fl_Double_Window window(width, height);
    window.copy_label(caption);
    makeIcon(icon);
    // FLTK insets a left-aligned label by 3 pixels on each side.
    Fl_Box* textBox = new Fl_Box(textX - 3, kMargin + (textAreaHeight - textHeight) / 2, textWidth + 6, textHeight);
    textBox->box(FL_NO_BOX);
    textBox->labelfont(FL_HELVETICA);
    textBox->labelsize(kTextSize);
    textBox->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    textBox->copy_label(label.c_str());

    // Reserved up front: the buttons keep pointers into this vector.
    std::vector<BoxButton> choices;
    choices.reserve(2);
    if (buttons == MessageButtons::YesNo) {
        choices.push_back(BoxButton{&state, MessageAnswer::Yes, nullptr});
        choices.push_back(BoxButton{&state, MessageAnswer::No, nullptr});
    } else {
        choices.push_back(BoxButton{&state, MessageAnswer::Ok, nullptr});
    }
    int x = (width - buttonsWidth) / 2;
    for (size_t i = 0; i < choices.size(); ++i) {
        const char* name = choices[i].answer == MessageAnswer::Yes ? "Yes" : choices[i].answer == MessageAnswer::No ? "No" : "OK";
        // Enter presses the button that has the focus, else the first one.
        Fl_Button* button = nullptr;
        if (i == 0) button = new Fl_Return_Button(x, buttonsY, kButtonWidth, kButtonHeight, name);
        else button = new PushButtonWidget(x, buttonsY, kButtonWidth, kButtonHeight, name);
        button->labelsize(kTextSize);
        button->callback(buttonPressed, &choices[i]);
        choices[i].widget = button;
        x += kButtonWidth + kButtonGap;
    }
    window.end();
    window.callback(closePressed, &state);
    window.set_modal();

    int sx, sy, sw, sh;
    Fl_Window* ownerWindow = owner && owner->window && owner->window->shown() ? owner->window : nullptr;
    if (ownerWindow) {
        sx = ownerWindow->x();
        sy = ownerWindow->y();
        sw = ownerWindow->w();
        sh = ownerWindow->h();
    } else {
        Fl::screen_work_area(sx, sy, sw, sh, 0);
    }
    window.position(sx + (sw - width) / 2, sy + (sh - height) / 2);
    window.show();
    if (ownerWindow) XSetTransientForHint(fl_display, fl_xid(&window), fl_xid(ownerWindow));
    for (int i = 0; i < 200 && window.shown() && Fl_X::i(&window) && Fl_X::i(&window)->wait_for_expose; ++i)
        Fl::wait(0.01);
    Fl::flush();

    if (boxWatcher) {
        ShownMessageBox shown{window.label(), unescapeLabel(textBox->label()), icon, {}};
        for (const BoxButton& choice : choices) shown.buttons.push_back(choice.widget->label());
        MessageBoxWatcher watcher = boxWatcher;
        std::optional<MessageAnswer> answer = watcher(shown);
        if (answer) {
            for (BoxButton& choice : choices)
                if (choice.answer == *answer) choice.widget->do_callback();
            if (!state.done) choices[0].widget->do_callback();
        }
    }
    while (!state.done && window.shown()) Fl::wait();
    window.hide();
    if (!state.done) return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    return state.answer;
}
