#include "platform/msgbox.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <X11/Xlib.h>
#include <cstdio>

int displayAvailable()
{
    static int answer = -1;
    if (answer < 0) {
        // FLTK ends the program when it cannot open its display, so ask first.
        Display* probe = XOpenDisplay(nullptr);
        answer = probe ? 1 : 0;
        if (probe) XCloseDisplay(probe);
    }
    return answer;
}

MessageAnswer messageBox(const char* text, const char* caption, MessageIcon icon, MessageButtons buttons)
{
    if (!displayAvailable()) {
        fprintf(stderr, "%s: %s\n", caption, text);
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    fl_message_title(caption);
    const char* symbol = icon == MessageIcon::Stop ? "X" : icon == MessageIcon::Question ? "?"
                       : icon == MessageIcon::Information ? "i" : "!";
    fl_message_icon()->label(symbol);
    if (buttons == MessageButtons::YesNo)
        return fl_choice("%s", "No", "Yes", nullptr, text) == 1 ? MessageAnswer::Yes : MessageAnswer::No;
    fl_choice("%s", "OK", nullptr, nullptr, text);
    return MessageAnswer::Ok;
}
