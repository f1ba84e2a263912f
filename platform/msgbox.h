// Modal message boxes.
#pragma once

enum class MessageIcon { None, Stop, Exclamation, Information, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Shows text in a modal box titled caption and waits for an answer. With no
// display to show it on, writes "caption: text" to standard error and
// answers Ok (or No for a Yes/No question), so a headless run still says why
// it stopped.
MessageAnswer messageBox(const char* text, const char* caption, MessageIcon icon,
                         MessageButtons buttons = MessageButtons::Ok);

// 1 when a display can be opened for windows and boxes, else 0.
int displayAvailable();
