// Modal message boxes.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct Dialog;

enum class MessageIcon { None, Stop, Exclamation, Information, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Shows text in a modal box titled caption and waits for an answer; with an
// owner the box is centred over it. Enter presses the button that has the
// focus (at first the first button); Escape
// and the title bar's close button answer Ok in an Ok box and do nothing in a
// Yes/No box. With no display to show it on, writes "caption: text" to
// standard error and answers Ok (or No for a Yes/No question), so a headless
// run still says why it stopped.
MessageAnswer messageBox(const char* text, const char* caption, MessageIcon icon,
                         MessageButtons buttons = MessageButtons::Ok, Dialog* owner = nullptr);

// 1 when a display can be opened for windows and boxes, else 0.
int displayAvailable();

// ---- Watching boxes (tests, scripted runs) ----------------------------------------

// What a box on screen shows, read from its widgets.
struct ShownMessageBox {
    std::string caption;
    std::string text;
    MessageIcon icon;
    std::vector<std::string> buttons;  // "OK", or "Yes" and "No"
};

// Called with every box once it is on screen. An answer presses that button
// of the real box; no answer leaves the box to the user.
using MessageBoxWatcher = std::function<std::optional<MessageAnswer>(const ShownMessageBox&)>;
void setMessageBoxWatcher(MessageBoxWatcher watcher);
