// The dialog manager: builds a dialog's window from its template, delivers
// its messages, runs it modally or modelessly, and works on its controls by id.
#include "platform/dialogs.h"

// Fl_X (the window's X side) is only declared for FLTK's internals.
#define FL_INTERNALS
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
// X11 names its null atom None, which is also a message box's lack of an icon.
#undef None

#include "platform/dialog_widgets.h"
#include "platform/msgbox.h"

namespace {

// Dialogs shown and not yet ended or destroyed.
int openDialogs = 0;
// Set by tests and scripted runs; called for every dialog once it is on screen.
std::function<void(Dialog*)> dialogWatcher;

ControlRecord* findControl(Dialog* dialog, int id)
{
    if (!dialog || id == kNoControlId) return nullptr;
    for (ControlRecord& control : dialog->controls)
        if (control.id == id) return &control;
    return nullptr;
}

template <class Widget>
Widget* controlAs(Dialog* dialog, int id, ControlKind kind)
{
    ControlRecord* control = findControl(dialog, id);
    return control && control->kind == kind ? static_cast<Widget*>(control->widget) : nullptr;
}

bool isButton(ControlKind kind)
{
    return kind == ControlKind::PushButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::AutoCheckBox || kind == ControlKind::RadioButton;
}

bool hasLabel(ControlKind kind)
{
    return isButton(kind) || kind == ControlKind::Label || kind == ControlKind::GroupBox;
}

// The text a label shows.
std::string shownLabel(const Fl_Widget* widget)
{
    return unescapeLabel(widget->label());
}

int deliver(Dialog* dialog, const DialogMessage& message)
{
    if (!dialog || dialog->ended || !dialog->procedure) return 0;
    int handled = dialog->procedure(dialog, message);
    if (!handled && message.kind == DialogMessageKind::Close && !dialog->ended) {
        DialogMessage cancel{DialogMessageKind::Command};
        cancel.controlId = kIdCancel;
        deliver(dialog, cancel);
    }
    return handled;
}

void closeRequested(Fl_Widget*, void* data)
{
    requestClose(static_cast<Dialog*>(data));
}

// Waits (at most two seconds) until the server has mapped and exposed the
// window, so that it can be seen, read and clicked.
void waitUntilExposed(Fl_Window* window)
{
    for (int i = 0; i < 200 && window->shown(); ++i) {
        Fl_X* x = Fl_X::i(window);
        if (!x || !x->wait_for_expose) break;
        Fl::wait(0.01);
    }
    Fl::flush();
}

// The title-bar buttons the template asks for, and the owner the window stays above.
void applyWindowHints(Fl_Window* window, Fl_Window* owner, uint32_t style)
{
    Window xid = fl_xid(window);
    if (!xid) return;
    if (owner && owner->shown()) XSetTransientForHint(fl_display, xid, fl_xid(owner));
    enum : unsigned long { kFunctions = 1, kDecorations = 2, kMove = 4, kMinimise = 8, kClose = 32,
                           kBorder = 2, kTitle = 8, kMenu = 16, kMinimiseButton = 32 };
    unsigned long hints[5] = {kFunctions | kDecorations, kMove, kBorder | kTitle, 0, 0};
    if (style & kDialogSystemMenu) {
        hints[1] |= kClose;
        hints[2] |= kMenu;
    }
    if (style & kDialogMinimiseBox) {
        hints[1] |= kMinimise;
        hints[2] |= kMinimiseButton;
    }
    Atom motif = XInternAtom(fl_display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(fl_display, xid, motif, motif, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(hints), 5);
}

DialogWindow* buildDialog(const DialogTemplate& source, Dialog* owner, DialogProcedure procedure, void* userData)
{
    int width = dialogUnitsToPixelsX(source.width), height = dialogUnitsToPixelsY(source.height);
    DialogWindow* window = new DialogWindow(width, height, source.caption);
    window->dialog = std::make_unique<Dialog>();
    Dialog* dialog = window->dialog.get();
    dialog->source = &source;
    dialog->procedure = procedure;
    dialog->userData = userData;
    dialog->window = window;

    window->begin();
    for (int i = 0; i < source.controlCount; ++i) {
        const ControlTemplate& control = source.controls[i];
        dialog->controls.push_back({control.id, control.kind, control.style, makeControlWidget(dialog, control)});
    }
    window->end();

    int sx, sy, sw, sh;
    Fl::screen_work_area(sx, sy, sw, sh, owner ? Fl::screen_num(owner->window->x(), owner->window->y()) : 0);
    if (source.style & kDialogCentred)
        window->position(sx + (sw - width) / 2, sy + (sh - height) / 2);
    else if (owner)
        window->position(owner->window->x() + dialogUnitsToPixelsX(source.x),
                         owner->window->y() + dialogUnitsToPixelsY(source.y));
    else
        window->position(sx + dialogUnitsToPixelsX(source.x), sy + dialogUnitsToPixelsY(source.y));
    window->callback(closeRequested, dialog);
    return window;
}

void showDialog(Dialog* dialog, Dialog* owner)
{
    DialogWindow* window = dialog->window;
    window->show();
    applyWindowHints(window, owner ? owner->window : nullptr, dialog->source->style);
    if (dialog->source->style & kDialogForeground) XRaiseWindow(fl_display, fl_xid(window));
    waitUntilExposed(window);
    if (dialogWatcher && !dialog->ended) {
        std::function<void(Dialog*)> watcher = dialogWatcher;
        watcher(dialog);
    }
}

} // namespace

// ---- Window and display --------------------------------------------------------------

DialogWindow::DialogWindow(int width, int height, const char* caption)
    : Fl_Double_Window(width, height)
{
    copy_label(caption ? caption : "");
}

void DialogWindow::draw()
{
    Fl_Double_Window::draw();
    if (!dialog || dialog->ended) return;
    dialog->painting = true;
    deliver(dialog.get(), DialogMessage{DialogMessageKind::Paint});
    dialog->painting = false;
}

namespace {
// The connection the probe opened; FLTK is handed this one, so that it never
// tries a second connection that could fail and end the program.
Display* probedDisplay = nullptr;
} // namespace

int displayAvailable()
{
    static int answer = -1;
    if (answer < 0) {
        // FLTK ends the program when it cannot open its display, so ask first.
        // The X server now and then drops a connection made while another
        // client connects or leaves, so a refusal is tried again briefly.
        const char* name = getenv("DISPLAY");
        for (int attempt = 0; attempt < 5 && !probedDisplay && name && *name; ++attempt) {
            if (attempt > 0) usleep(40000);
            probedDisplay = XOpenDisplay(nullptr);
        }
        answer = probedDisplay ? 1 : 0;
    }
    return answer;
}

int DialogWindow::handle(int event)
{
    bool enter = event == FL_SHORTCUT && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter);
    if (!enter || !dialog || dialog->ended) return Fl_Double_Window::handle(event);
    // Enter that no control takes presses "Ok", as in every dialog of the
    // platform (FLTK's groups would move the focus on instead).
    for (int i = 0; i < children(); ++i)
        if (child(i)->takesevents() && child(i)->handle(FL_SHORTCUT)) return 1;
    Dialog* self = dialog.get();
    for (const ControlRecord& control : self->controls)
        if (control.id == kIdOk && !control.widget->active_r()) return 1;
    notifyCommand(self, kIdOk, Notification::Clicked);
    return 1;
}

int openDialogDisplay()
{
    static int state = -1;
    if (state < 0) {
        state = displayAvailable();
        if (state) {
            fl_open_display(probedDisplay);
            Fl::visible_focus(1);
            // Docks and task bars match the windows to vellamir.desktop by this class.
            Fl_Window::default_xclass("vellamir");
            // The templates are laid out for Helvetica's widths; fontconfig
            // finds Helvetica or its metric twin where "sans" would be wider.
            Fl::set_font(FL_HELVETICA, " Helvetica");
            Fl::set_font(FL_HELVETICA_BOLD, "BHelvetica");
        }
    }
    return state;
}

void notifyCommand(Dialog* dialog, int id, Notification notification)
{
    DialogMessage message{DialogMessageKind::Command};
    message.controlId = id;
    message.notification = notification;
    deliver(dialog, message);
}

void notifyScroll(Dialog* dialog, int id, bool vertical, ScrollCode code, int position)
{
    DialogMessage message{vertical ? DialogMessageKind::VerticalScroll : DialogMessageKind::HorizontalScroll};
    message.controlId = id;
    message.scrollCode = code;
    message.thumbPosition = position;
    deliver(dialog, message);
}

// ---- Units ------------------------------------------------------------------------------

int dialogUnitsToPixelsX(int x)
{
    return x >= 0 ? (x * 6 + 2) / 4 : -((-x * 6 + 2) / 4);
}

int dialogUnitsToPixelsY(int y)
{
    return y >= 0 ? (y * 13 + 4) / 8 : -((-y * 13 + 4) / 8);
}

// ---- Running dialogs ----------------------------------------------------------------

int runModalDialog(const DialogTemplate& source, Dialog* owner, DialogProcedure procedure, void* userData)
{
    if (!openDialogDisplay()) {
        messageBox("No display can be opened to show this dialog.", source.caption, MessageIcon::Stop);
        return -1;
    }
    DialogWindow* window = buildDialog(source, owner, procedure, userData);
    Dialog* dialog = window->dialog.get();
    dialog->modal = true;
    window->set_modal();
    ++openDialogs;
    deliver(dialog, DialogMessage{DialogMessageKind::Initialise});
    if (!dialog->ended) showDialog(dialog, owner);
    while (!dialog->ended && window->shown()) Fl::wait();
    int result = dialog->ended ? dialog->result : -1;
    dialog->ended = true;
    --openDialogs;
    window->hide();
    delete window;
    return result;
}

void endDialog(Dialog* dialog, int result)
{
    if (!dialog || dialog->ended) return;
    dialog->result = result;
    dialog->ended = true;
}

Dialog* createModelessDialog(const DialogTemplate& source, Dialog* owner, DialogProcedure procedure, void* userData)
{
    if (!openDialogDisplay()) return nullptr;
    DialogWindow* window = buildDialog(source, owner, procedure, userData);
    Dialog* dialog = window->dialog.get();
    if (owner) window->set_non_modal();
    ++openDialogs;
    deliver(dialog, DialogMessage{DialogMessageKind::Initialise});
    if (!dialog->ended) showDialog(dialog, owner);
    return dialog;
}

void destroyDialog(Dialog* dialog)
{
    if (!dialog || !dialog->window) return;
    if (!dialog->modal) --openDialogs;
    dialog->ended = true;
    DialogWindow* window = dialog->window;
    dialog->window = nullptr;
    window->hide();
    // Deleted once the event being handled is done: the caller may be its own procedure.
    Fl::delete_widget(window);
}

int dispatchPendingMessages()
{
    if (openDialogDisplay()) Fl::check();
    return openDialogs;
}

void* dialogUserData(Dialog* dialog)
{
    return dialog ? dialog->userData : nullptr;
}

const char* dialogTemplateName(Dialog* dialog)
{
    return dialog && dialog->source ? dialog->source->name : "";
}

void sendInitialise(Dialog* dialog)
{
    deliver(dialog, DialogMessage{DialogMessageKind::Initialise});
}

void requestClose(Dialog* dialog)
{
    deliver(dialog, DialogMessage{DialogMessageKind::Close});
}

void repaintDialog(Dialog* dialog)
{
    if (!dialog || !dialog->window || !dialog->window->shown()) return;
    dialog->window->redraw();
    Fl::flush();
}

void setDialogText(Dialog* dialog, const char* text)
{
    if (dialog && dialog->window) dialog->window->copy_label(text ? text : "");
}

std::string dialogText(Dialog* dialog)
{
    return dialog && dialog->window && dialog->window->label() ? dialog->window->label() : "";
}

// ---- Controls -------------------------------------------------------------------------

void setCheck(Dialog* dialog, int id, int checked)
{
    ControlRecord* control = findControl(dialog, id);
    if (control && isButton(control->kind) && control->kind != ControlKind::PushButton)
        static_cast<Fl_Button*>(control->widget)->value(checked ? 1 : 0);
}

int isChecked(Dialog* dialog, int id)
{
    ControlRecord* control = findControl(dialog, id);
    if (!control || !isButton(control->kind) || control->kind == ControlKind::PushButton) return 0;
    return static_cast<Fl_Button*>(control->widget)->value() ? 1 : 0;
}

void checkRadioButton(Dialog* dialog, int first, int last, int id)
{
    if (!dialog) return;
    for (ControlRecord& control : dialog->controls)
        if (control.id >= first && control.id <= last && isButton(control.kind) &&
            control.kind != ControlKind::PushButton)
            static_cast<Fl_Button*>(control.widget)->value(control.id == id ? 1 : 0);
}

void setControlText(Dialog* dialog, int id, const char* text)
{
    ControlRecord* control = findControl(dialog, id);
    if (!control) return;
    if (!text) text = "";
    if (hasLabel(control->kind)) {
        control->widget->copy_label(escapeLabel(text).c_str());
        control->widget->redraw();
        if (control->kind == ControlKind::GroupBox && control->widget->window())
            control->widget->window()->redraw();
    } else if (control->kind == ControlKind::Edit) {
        static_cast<EditField*>(control->widget)->value(text);
    } else if (control->kind == ControlKind::DropDownList) {
        DropDownWidget* list = static_cast<DropDownWidget*>(control->widget);
        for (int i = 0; i < list->count(); ++i)
            if (listEntry(dialog, id, i) == text) {
                list->select(i);
                break;
            }
    }
}

std::string controlText(Dialog* dialog, int id)
{
    ControlRecord* control = findControl(dialog, id);
    if (!control) return "";
    if (hasLabel(control->kind)) return shownLabel(control->widget);
    if (control->kind == ControlKind::Edit) return static_cast<EditField*>(control->widget)->value();
    if (control->kind == ControlKind::DropDownList) {
        int selected = listSelection(dialog, id);
        return selected < 0 ? "" : listEntry(dialog, id, selected);
    }
    return "";
}

void enableControl(Dialog* dialog, int id, int enabled)
{
    ControlRecord* control = findControl(dialog, id);
    if (!control) return;
    Fl_Widget* widget = control->widget;
    if (enabled) {
        widget->activate();
        return;
    }
    // A control that goes grey while it has the focus leaves the focus with
    // the dialog itself; FLTK would hand it on to another control, which
    // would report GotFocus though the user did nothing.
    if (widget->contains(Fl::focus()) && widget->window()) Fl::focus(widget->window());
    widget->deactivate();
}

int isControlEnabled(Dialog* dialog, int id)
{
    ControlRecord* control = findControl(dialog, id);
    return control && control->widget->active() ? 1 : 0;
}

int listAdd(Dialog* dialog, int id, const char* text)
{
    if (auto* list = controlAs<ListBoxWidget>(dialog, id, ControlKind::ListBox)) {
        list->add(text ? text : "");
        return list->size() - 1;
    }
    if (auto* list = controlAs<DropDownWidget>(dialog, id, ControlKind::DropDownList))
        return list->add(text ? text : "");
    return -1;
}

void listReset(Dialog* dialog, int id)
{
    if (auto* list = controlAs<ListBoxWidget>(dialog, id, ControlKind::ListBox)) list->clear();
    if (auto* list = controlAs<DropDownWidget>(dialog, id, ControlKind::DropDownList)) list->reset();
}

int listCount(Dialog* dialog, int id)
{
    if (auto* list = controlAs<ListBoxWidget>(dialog, id, ControlKind::ListBox)) return list->size();
    if (auto* list = controlAs<DropDownWidget>(dialog, id, ControlKind::DropDownList)) return list->count();
    return 0;
}

int listSelection(Dialog* dialog, int id)
{
    if (auto* list = controlAs<ListBoxWidget>(dialog, id, ControlKind::ListBox)) return list->value() - 1;
    if (auto* list = controlAs<DropDownWidget>(dialog, id, ControlKind::DropDownList)) return list->selection();
    return -1;
}

void listSelect(Dialog* dialog, int id, int index)
{
    if (auto* list = controlAs<ListBoxWidget>(dialog, id, ControlKind::ListBox)) {
        if (index < 0 || index >= list->size()) {
            list->deselect();
        } else {
            list->select(index + 1);
            list->make_visible(index + 1);
        }
    }
    if (auto* list = controlAs<DropDownWidget>(dialog, id, ControlKind::DropDownList)) list->select(index);
}

int listDelete(Dialog* dialog, int id, int index)
{
    if (auto* list = controlAs<ListBoxWidget>(dialog, id, ControlKind::ListBox)) {
        if (index < 0 || index >= list->size()) return -1;
        list->remove(index + 1);
        return list->size();
    }
    if (auto* list = controlAs<DropDownWidget>(dialog, id, ControlKind::DropDownList)) return list->remove(index);
    return -1;
}

int listSelectString(Dialog* dialog, int id, int start, const char* prefix)
{
    int count = listCount(dialog, id);
    size_t length = strlen(prefix ? prefix : "");
    for (int step = 1; step <= count; ++step) {
        int index = ((start < 0 ? -1 : start) + step) % count;
        std::string entry = listEntry(dialog, id, index);
        if (entry.size() >= length && strncasecmp(entry.c_str(), prefix, length) == 0) {
            listSelect(dialog, id, index);
            return index;
        }
    }
    return -1;
}

std::string listEntry(Dialog* dialog, int id, int index)
{
    if (auto* list = controlAs<ListBoxWidget>(dialog, id, ControlKind::ListBox)) {
        if (index < 0 || index >= list->size()) return "";
        const char* text = list->text(index + 1);
        return text ? text : "";
    }
    if (auto* list = controlAs<DropDownWidget>(dialog, id, ControlKind::DropDownList)) {
        if (index < 0 || index >= list->count()) return "";
        std::string entry;
        for (const char* p = list->entry(index).c_str(); *p; ++p) {
            entry += *p;
            if (p[0] == '&' && p[1] == '&') ++p;
        }
        return entry;
    }
    return "";
}

void listSetRedraw(Dialog* dialog, int id, int on)
{
    if (auto* list = controlAs<ListBoxWidget>(dialog, id, ControlKind::ListBox)) {
        list->redrawOn = on != 0;
        if (on) list->redraw();
    }
}

namespace {
ScrollBarWidget* scrollBar(Dialog* dialog, int id)
{
    ControlRecord* control = findControl(dialog, id);
    if (!control || (control->kind != ControlKind::HorizontalScrollBar && control->kind != ControlKind::VerticalScrollBar))
        return nullptr;
    return static_cast<ScrollBarWidget*>(control->widget);
}
} // namespace

void setScrollRange(Dialog* dialog, int id, int minimum, int maximum)
{
    if (ScrollBarWidget* bar = scrollBar(dialog, id)) bar->setRange(minimum, maximum);
}

void setScrollPosition(Dialog* dialog, int id, int position)
{
    if (ScrollBarWidget* bar = scrollBar(dialog, id)) bar->setPosition(position);
}

int scrollPosition(Dialog* dialog, int id)
{
    ScrollBarWidget* bar = scrollBar(dialog, id);
    return bar ? bar->position() : 0;
}

int controlRect(Dialog* dialog, int id, int* x, int* y, int* width, int* height)
{
    ControlRecord* control = findControl(dialog, id);
    if (!control) return 0;
    *x = control->widget->x();
    *y = control->widget->y();
    *width = control->widget->w();
    *height = control->widget->h();
    return 1;
}

// ---- Drawing ------------------------------------------------------------------------

void drawRectangle(Dialog* dialog, int x, int y, int width, int height, Rgb fill, Rgb border)
{
    if (!dialog || !dialog->painting || width <= 0 || height <= 0) return;
    fl_rectf(x, y, width, height, fill.red, fill.green, fill.blue);
    fl_color(fl_rgb_color(border.red, border.green, border.blue));
    fl_rect(x, y, width, height);
}

void drawRgbImage(Dialog* dialog, int x, int y, int width, int height, const uint8_t* pixels)
{
    if (!dialog || !dialog->painting || !pixels || width <= 0 || height <= 0) return;
    fl_draw_image(pixels, x, y, width, height, 3);
}

// ---- Watching and acting ------------------------------------------------------------

void setDialogWatcher(std::function<void(Dialog*)> watcher)
{
    dialogWatcher = std::move(watcher);
}

namespace {
ControlRecord* usableControl(Dialog* dialog, int id)
{
    ControlRecord* control = findControl(dialog, id);
    if (!control || dialog->ended || !control->widget->active_r() || !control->widget->visible()) return nullptr;
    return control;
}
} // namespace

int clickControl(Dialog* dialog, int id)
{
    ControlRecord* control = usableControl(dialog, id);
    if (!control || !isButton(control->kind)) return 0;
    Fl_Button* button = static_cast<Fl_Button*>(control->widget);
    Fl_Widget_Tracker alive(button);
    if (Fl::visible_focus() && button->visible_focus()) button->take_focus();
    if (alive.deleted()) return 1;
    if (control->kind == ControlKind::AutoCheckBox) button->value(!button->value());
    button->do_callback();
    return 1;
}

int typeControlText(Dialog* dialog, int id, const char* text)
{
    ControlRecord* control = usableControl(dialog, id);
    if (!control || control->kind != ControlKind::Edit) return 0;
    return static_cast<EditField*>(control->widget)->typeText(text ? text : "");
}

int chooseListEntry(Dialog* dialog, int id, int index)
{
    ControlRecord* control = usableControl(dialog, id);
    if (!control || index < 0 || index >= listCount(dialog, id)) return 0;
    if (control->kind == ControlKind::ListBox) static_cast<ListBoxWidget*>(control->widget)->choose(index);
    else if (control->kind == ControlKind::DropDownList) static_cast<DropDownWidget*>(control->widget)->choose(index);
    else return 0;
    return 1;
}

int scrollControl(Dialog* dialog, int id, ScrollCode code, int position)
{
    ControlRecord* control = usableControl(dialog, id);
    ScrollBarWidget* bar = control ? scrollBar(dialog, id) : nullptr;
    if (!bar) return 0;
    Fl_Widget_Tracker alive(bar);
    bar->report(code, position);
    // A real bar ends every use but a drag in progress with the button's release.
    if (!alive.deleted() && code != ScrollCode::ThumbTrack && code != ScrollCode::EndScroll)
        bar->report(ScrollCode::EndScroll, 0);
    return 1;
}

int controlCount(Dialog* dialog)
{
    return dialog ? static_cast<int>(dialog->controls.size()) : 0;
}

ControlView viewControl(Dialog* dialog, int index)
{
    ControlView view{kNoControlId, ControlKind::Label, "", 0, 0, 0, 0, false, false};
    if (!dialog || index < 0 || index >= controlCount(dialog)) return view;
    const ControlRecord& control = dialog->controls[static_cast<size_t>(index)];
    const Fl_Widget* widget = control.widget;
    view.id = control.id;
    view.kind = control.kind;
    if (hasLabel(control.kind)) view.text = shownLabel(widget);
    else if (control.kind == ControlKind::Edit) view.text = static_cast<const EditField*>(widget)->value();
    else if (control.kind == ControlKind::DropDownList) view.text = controlText(dialog, control.id);
    view.x = widget->x();
    view.y = widget->y();
    view.width = widget->w();
    view.height = widget->h();
    view.visible = widget->visible() != 0;
    view.enabled = widget->active() != 0;
    return view;
}

void dialogScreenRect(Dialog* dialog, int* x, int* y, int* width, int* height)
{
    *x = *y = *width = *height = 0;
    if (!dialog || !dialog->window) return;
    *x = dialog->window->x();
    *y = dialog->window->y();
    *width = dialog->window->w();
    *height = dialog->window->h();
}

std::vector<uint8_t> readDialogPixels(Dialog* dialog, int x, int y, int width, int height)
{
    std::vector<uint8_t> pixels;
    if (!dialog || !dialog->window || !dialog->window->shown() || width <= 0 || height <= 0) return pixels;
    Fl::flush();
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    dialog->window->make_current();
    fl_read_image(pixels.data(), x, y, width, height);
    return pixels;
}
