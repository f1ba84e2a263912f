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

// ---- Boxes that end the program ------------------------------------------------------

// 1 when a person can answer a box. VELLAMIR_ATTENDED=1 or =0 says so outright
// (for scripts and tests); otherwise nobody can while the session's lock is
// held (nothing else shows), when no display opens, when a
// screen-saver daemon started the program (XSCREENSAVER_WINDOW names its
// window, under its lock), or when the X server has no input device a person
// works: only its core and XTEST devices and those of a virtual frame buffer
// (Xvfb's "Xvfb mouse" and "Xvfb keyboard").
int personCanAnswer();
// The box of an error that ends the program: "caption: text" always goes to
// standard error, and the box is shown only when a person can answer it, so
// the program never waits unseen. Returns what the box would answer (Ok).
MessageAnswer fatalMessageBox(const char* text, const char* caption, MessageIcon icon);
// Why the saver finds no display, in a plain sentence ("" when it does): on
// Wayland a compositor that cannot be reached; on X11 DISPLAY unset, a
// Wayland session without an X server, or an X server that refuses the connection.
std::string noDisplayReason();

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
