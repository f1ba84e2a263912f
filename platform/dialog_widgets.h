// Inside the dialog manager: the dialog record, its window and the FLTK
// widgets that stand for the controls. Only platform/ includes this.
#pragma once

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/Fl_Widget.H>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialogs.h"

// Pixel size of the dialogs' font, the "Helv" 8 point of the templates.
constexpr int kDialogFontSize = 11;
// Height in pixels of a closed drop-down list.
constexpr int kDropDownHeight = 20;

class DialogWindow;

// One control of a dialog.
struct ControlRecord {
    int id;
    ControlKind kind;
    uint32_t style;
    Fl_Widget* widget;
};

struct Dialog {
    const DialogTemplate* source = nullptr;
    DialogProcedure procedure = nullptr;
    void* userData = nullptr;
    DialogWindow* window = nullptr;
    std::vector<ControlRecord> controls;
    bool modal = false;
    bool ended = false;      // endDialog or destroyDialog ran: no more messages
    int result = 0;
    bool painting = false;   // inside a Paint message: drawing calls work
};

// The dialog's top-level window; it owns the dialog record.
class DialogWindow : public Fl_Double_Window {
public:
    DialogWindow(int width, int height, const char* caption);
    void draw() override;
    int handle(int event) override;
    std::unique_ptr<Dialog> dialog;
};

// ---- Shared with the widgets ---------------------------------------------------

// 1 when FLTK can open its display (it is opened and set up on the first call).
int openDialogDisplay();
// Sends a command from a control to its dialog's procedure.
void notifyCommand(Dialog* dialog, int id, Notification notification);
// Sends a scroll message from a scroll bar.
void notifyScroll(Dialog* dialog, int id, bool vertical, ScrollCode code, int position);

// FLTK draws a leading "@" as a symbol: labels carry every "@" doubled.
// The label for a text, and the text of a label.
std::string escapeLabel(const char* text);
std::string unescapeLabel(const char* label);

// Where a widget reports to.
struct ControlLink {
    Dialog* dialog = nullptr;
    int id = kNoControlId;
};

// ---- Widgets whose behaviour differs from FLTK's own ------------------------------

// Static text drawn from the very edge of its rectangle (FLTK would inset
// left-aligned text by 3 pixels, which the templates' tight labels lack).
class LabelWidget : public Fl_Box {
public:
    LabelWidget(int x, int y, int width, int height) : Fl_Box(x, y, width, height) {}
    void draw() override;
};

// Push button that Enter presses while it has the focus, as every button of
// the platform does; Enter anywhere else is the dialog's "Ok".
class PushButtonWidget : public Fl_Button {
public:
    PushButtonWidget(int x, int y, int width, int height, const char* text = nullptr)
        : Fl_Button(x, y, width, height, text) {}
    int handle(int event) override;
};

// A frame with its text on the top edge.
class GroupFrame : public Fl_Widget {
public:
    GroupFrame(int x, int y, int width, int height, const char* text);
    void draw() override;
};

// One-line edit: reports focus and text changes; without auto-scroll it
// refuses what would not fit its width.
class EditField : public Fl_Input {
public:
    EditField(int x, int y, int width, int height, ControlLink link, bool password, bool autoScroll);
    int handle(int event) override;
    // Replaces the text as typing does; returns the characters taken.
    int typeText(const char* text);
    bool fits(const char* text) const;

private:
    ControlLink link_;
    bool autoScroll_;
    bool focused_ = false;
};

// Single-selection list: reports focus, and with notify its selection changes and double clicks.
class ListBoxWidget : public Fl_Hold_Browser {
public:
    ListBoxWidget(int x, int y, int width, int height, ControlLink link, bool notify);
    int handle(int event) override;
    void draw() override;
    // A click on entry index (0-based), with its notifications.
    void choose(int index);
    bool redrawOn = true;

private:
    void reportSelection(int before);
    ControlLink link_;
    bool notify_;
    bool focused_ = false;
};

// Closed list that drops down: entries are kept here, the menu is rebuilt from them.
class DropDownWidget : public Fl_Choice {
public:
    DropDownWidget(int x, int y, int width, int height, ControlLink link);
    int handle(int event) override;
    int add(const char* text);
    void reset();
    int remove(int index);
    int count() const { return static_cast<int>(entries_.size()); }
    const std::string& entry(int index) const { return entries_[static_cast<size_t>(index)]; }
    int selection() const;
    void select(int index);
    // A pick of entry index as from the opened list, with its notifications.
    void choose(int index);

private:
    void rebuildMenu(int selected);
    ControlLink link_;
    std::vector<std::string> entries_;
    std::vector<Fl_Menu_Item> items_;
    bool focused_ = false;
};

// Scroll bar whose thumb moves only when the program sets it; every use is
// reported with its scroll code.
class ScrollBarWidget : public Fl_Scrollbar {
public:
    ScrollBarWidget(int x, int y, int width, int height, ControlLink link, bool vertical);
    ~ScrollBarWidget() override;
    int handle(int event) override;
    void report(ScrollCode code, int position);
    void setRange(int minimum, int maximum);
    void setPosition(int position);
    int position() const { return static_cast<int>(value()); }

private:
    enum class Part { Nowhere, LineUp, LineDown, PageUp, PageDown, Thumb };
    Part partAt(int mouseX, int mouseY) const;
    int positionAt(int mouseX, int mouseY) const;
    void trackGeometry(int* start, int* length, int* thumbStart, int* thumbLength) const;
    static void repeat(void* data);
    ControlLink link_;
    bool vertical_;
    Part pressed_ = Part::Nowhere;
    int grabOffset_ = 0;
    int dragPosition_ = 0;
};

// Makes the widget for one control of a template.
Fl_Widget* makeControlWidget(Dialog* dialog, const ControlTemplate& control);
