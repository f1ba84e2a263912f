// The dialog manager: dialogs built from templates (plain data in dialog
// units), the messages their procedures receive, modal and modeless running,
// the controls addressed by id, plain drawing during a paint message, the
// open-file dialog, and hooks through which tests watch dialogs and act on
// them as the user does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One dialog on screen. Made by runModalDialog or createModelessDialog and
// owned by the dialog manager; gone after endDialog (modal) or destroyDialog.
struct Dialog;

// ---- Templates ---------------------------------------------------------------

// What a control is.
enum class ControlKind {
    Label,                // static text (styles Sunken, Centred, Hidden)
    GroupBox,             // a frame with its text at the top left
    PushButton,
    CheckBox,             // manual: only setCheck changes it
    AutoCheckBox,         // toggles itself when clicked
    RadioButton,          // manual: checkRadioButton checks one of a group
    Edit,                 // one line (styles Password, AutoHScroll, Border)
    ListBox,              // (styles Notify, VScroll, HScroll, Border)
    DropDownList,         // a closed list that drops down; not editable
    HorizontalScrollBar,
    VerticalScrollBar,
};

// Control styles, or-ed together.
enum ControlStyle : uint32_t {
    kStyleNone = 0,
    kStyleDisabled = 1u << 0,     // starts disabled
    kStyleHidden = 1u << 1,       // never shown; only its rectangle is used
    kStyleTabStop = 1u << 2,
    kStyleBorder = 1u << 3,
    kStyleSunken = 1u << 4,       // label with a sunken edge
    kStyleCentred = 1u << 5,      // label text centred
    kStylePassword = 1u << 6,     // edit shows a placeholder for every character
    kStyleAutoHScroll = 1u << 7,  // edit scrolls; without it, typing stops at the field's width
    kStyleNotify = 1u << 8,       // list box reports selection changes and double clicks
    kStyleVScroll = 1u << 9,      // list box: vertical scroll bar
    kStyleHScroll = 1u << 10,     // list box: horizontal scroll bar
};

// Dialog styles, or-ed together.
enum DialogStyle : uint32_t {
    kDialogCentred = 1u << 0,     // centred on the screen; x, y are ignored
    kDialogSystemMenu = 1u << 1,  // the title bar has a close button
    kDialogMinimiseBox = 1u << 2,
    kDialogModalFrame = 1u << 3,
    kDialogForeground = 1u << 4,  // raised above every other window when created
};

// Id of a control the program never addresses (most labels).
constexpr int kNoControlId = -1;
// Ids of the buttons that close a dialog; a close request is a command from kIdCancel.
constexpr int kIdOk = 1, kIdCancel = 2;

// One control: id, kind, style, text and rectangle (x, y, width, height) in dialog units.
struct ControlTemplate {
    int id;
    ControlKind kind;
    uint32_t style;
    const char* text;
    int x, y, width, height;
};

// One dialog: its resource name ("DIALOG_1"), caption, style, font, rectangle
// in dialog units (x, y relative to the owner's client area unless centred)
// and its controls in tab order.
struct DialogTemplate {
    const char* name;
    const char* caption;
    uint32_t style;
    const char* fontName;
    int fontPoints;
    int x, y, width, height;
    const ControlTemplate* controls;
    int controlCount;
};

// Dialog units to pixels: x * 6 / 4 and y * 13 / 8, rounded to nearest.
int dialogUnitsToPixelsX(int x);
int dialogUnitsToPixelsY(int y);

// ---- Messages ------------------------------------------------------------------

enum class DialogMessageKind {
    Initialise,        // the controls exist; fill them (also sent again by sendInitialise)
    Command,           // a control reports something: controlId + notification
    HorizontalScroll,  // a horizontal scroll bar was used: controlId, scrollCode, thumbPosition
    VerticalScroll,    // a vertical scroll bar was used
    Paint,             // the dialog is being drawn; the drawing calls below work now
    Close,             // the user asks to close (title bar, Escape); default: command kIdCancel
};
// Enter on a focused push button presses it; Enter that no control takes is a
// command from kIdOk (ignored while an "Ok" button is disabled).

// What a control reports with a command.
enum class Notification {
    Clicked,           // button, check box, radio button
    SelectionChanged,  // list box (with kStyleNotify), drop-down list
    DoubleClicked,     // list box (with kStyleNotify)
    GotFocus,          // edit, list box, drop-down list
    LostFocus,
    TextChanged,       // edit: the user changed its text
    DroppedDown,       // drop-down list opened
    ClosedUp,          // drop-down list closed
};

// What was done to a scroll bar; the values are the classic scroll codes.
enum class ScrollCode {
    LineUp = 0, LineDown = 1,        // arrows (left / right for a horizontal bar)
    PageUp = 2, PageDown = 3,        // the trough beside the thumb
    ThumbPosition = 4,               // the thumb was let go at thumbPosition
    ThumbTrack = 5,                  // the thumb is being dragged, now at thumbPosition
    Top = 6, Bottom = 7,
    EndScroll = 8,                   // the mouse button was released
};

struct DialogMessage {
    DialogMessageKind kind;
    int controlId = 0;
    Notification notification = Notification::Clicked;
    ScrollCode scrollCode = ScrollCode::EndScroll;
    int thumbPosition = 0;
};

// A dialog procedure returns 1 when it handled the message, 0 for the default
// treatment (which only a Close message has: a command from kIdCancel).
using DialogProcedure = int (*)(Dialog* dialog, const DialogMessage& message);

// ---- Running dialogs -----------------------------------------------------------

// Shows a modal dialog (the owner, when given, stays beneath it), sends
// Initialise and dispatches messages until endDialog. Returns the result
// given to endDialog, or -1 when no display can be opened (the reason is
// shown with messageBox).
int runModalDialog(const DialogTemplate& dialogTemplate, Dialog* owner, DialogProcedure procedure,
                   void* userData = nullptr);
// Ends a modal dialog with result; runModalDialog returns once the current message is handled.
void endDialog(Dialog* dialog, int result);

// Shows a modeless dialog, sends Initialise and returns it at once; the caller
// keeps messages flowing with dispatchPendingMessages. Null without a display.
Dialog* createModelessDialog(const DialogTemplate& dialogTemplate, Dialog* owner, DialogProcedure procedure,
                             void* userData = nullptr);
// Closes a modeless dialog and frees it (safe inside its own procedure).
void destroyDialog(Dialog* dialog);
// Handles every event that is waiting, without waiting for one. Returns the
// number of dialogs still open.
int dispatchPendingMessages();

// The pointer given when the dialog was made.
void* dialogUserData(Dialog* dialog);
// The template's name ("DIALOG_1").
const char* dialogTemplateName(Dialog* dialog);
// Sends the Initialise message again.
void sendInitialise(Dialog* dialog);
// Sends a Close message, as the title bar's close button does.
void requestClose(Dialog* dialog);
// Redraws the dialog now; the procedure gets a Paint message before this returns.
void repaintDialog(Dialog* dialog);
// The caption.
void setDialogText(Dialog* dialog, const char* text);
std::string dialogText(Dialog* dialog);

// ---- Controls, by id -------------------------------------------------------------
// Setting a control from the program sends no notification. An id the dialog
// does not have is ignored (getters answer 0, -1 or "").

// Check boxes and radio buttons: 1 checked, 0 not.
void setCheck(Dialog* dialog, int id, int checked);
int isChecked(Dialog* dialog, int id);
// Checks id and clears every other radio button whose id lies in first..last.
void checkRadioButton(Dialog* dialog, int first, int last, int id);

// Text of a label, button, edit or group box; for a drop-down list, its selected entry.
void setControlText(Dialog* dialog, int id, const char* text);
std::string controlText(Dialog* dialog, int id);

// Enabled controls take input; disabled ones are greyed.
void enableControl(Dialog* dialog, int id, int enabled);
int isControlEnabled(Dialog* dialog, int id);

// List boxes and drop-down lists. Entries are numbered from 0.
// Appends an entry; returns its index.
int listAdd(Dialog* dialog, int id, const char* text);
// Removes every entry.
void listReset(Dialog* dialog, int id);
int listCount(Dialog* dialog, int id);
// Selected entry, or -1 when none.
int listSelection(Dialog* dialog, int id);
// Selects an entry; -1 or an index past the end clears the selection.
void listSelect(Dialog* dialog, int id, int index);
// Removes one entry; returns the entries left, or -1 for a bad index.
int listDelete(Dialog* dialog, int id, int index);
// Selects the first entry after start (-1: from the top) that begins with
// prefix, ignoring ASCII case, searching round the list; returns it or -1.
int listSelectString(Dialog* dialog, int id, int start, const char* prefix);
std::string listEntry(Dialog* dialog, int id, int index);
// Off: the list is not redrawn while it is being refilled; on redraws it.
void listSetRedraw(Dialog* dialog, int id, int on);

// Scroll bars. The thumb moves only when the program sets the position.
void setScrollRange(Dialog* dialog, int id, int minimum, int maximum);
void setScrollPosition(Dialog* dialog, int id, int position);
int scrollPosition(Dialog* dialog, int id);

// A control's rectangle in pixels of the dialog's client area (0 when there is
// no such id); a drop-down list's is its closed rectangle.
int controlRect(Dialog* dialog, int id, int* x, int* y, int* width, int* height);

// ---- Drawing during a Paint message -----------------------------------------------
// Coordinates are pixels of the client area. Outside a Paint message the calls do nothing.

struct Rgb {
    uint8_t red, green, blue;
};

// A filled rectangle with a one-pixel border on its outermost pixels.
void drawRectangle(Dialog* dialog, int x, int y, int width, int height, Rgb fill, Rgb border);
// An image of width x height pixels, 3 bytes (red, green, blue) each, rows top down.
void drawRgbImage(Dialog* dialog, int x, int y, int width, int height, const uint8_t* pixels);

// ---- The open-file dialog ----------------------------------------------------------

struct OpenFileRequest {
    const char* filterName;        // "BMP files (*.bmp)"
    const char* pattern;           // "*.bmp", or several: "*.jpg;*.png" (either case matches)
    const char* defaultExtension;  // added to a chosen name that has no extension
};

// Asks for a file, starting at fileName (the name chosen last time). Returns 1
// and the full path in fileName when the user confirms, 0 (fileName
// unchanged) when the user cancels or no display can be opened.
int openFileDialog(Dialog* owner, const OpenFileRequest& request, std::string& fileName);
// The same, letting the user choose several files at once: their full paths
// in fileNames, and the last of them in fileName.
int openFilesDialog(Dialog* owner, const OpenFileRequest& request, std::string& fileName,
                    std::vector<std::string>& fileNames);
// Asks for a folder (titled "Add folder"), starting at folder. Returns 1 and
// its full path, without a closing "/", in folder when the user confirms.
int openFolderDialog(Dialog* owner, std::string& folder);

// ---- Watching dialogs and acting as the user (tests, scripted runs) ------------------

// Called each time a dialog has been initialised and is on screen, before the
// manager waits for input. Modal dialogs opened from inside it are watched too.
void setDialogWatcher(std::function<void(Dialog*)> watcher);

// Each works on the real control as the mouse or keyboard does: the control
// takes the focus (so the one that had it reports LostFocus), changes and
// sends its notifications. Disabled or hidden controls ignore them (return 0).
// A click on a button, check box or radio button.
int clickControl(Dialog* dialog, int id);
// Replaces an edit's text as typing does; without kStyleAutoHScroll only what
// fits the field's width is taken. Returns the number of characters taken.
int typeControlText(Dialog* dialog, int id, const char* text);
// A click on entry index of a list box or a pick from a drop-down list.
int chooseListEntry(Dialog* dialog, int id, int index);
// A scroll bar used as code says (position for ThumbTrack / ThumbPosition).
int scrollControl(Dialog* dialog, int id, ScrollCode code, int position = 0);

// What the user sees of one control, read from the real widget.
struct ControlView {
    int id;
    ControlKind kind;
    std::string text;
    int x, y, width, height;  // pixels of the client area
    bool visible, enabled;
};
int controlCount(Dialog* dialog);
ControlView viewControl(Dialog* dialog, int index);
// The client area's top-left corner on the screen and its size, in pixels.
void dialogScreenRect(Dialog* dialog, int* x, int* y, int* width, int* height);
// The pixels now on screen in a rectangle of the client area (3 bytes each, rows top down).
std::vector<uint8_t> readDialogPixels(Dialog* dialog, int x, int y, int width, int height);
