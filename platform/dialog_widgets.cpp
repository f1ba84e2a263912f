// The FLTK widgets behind dialog controls. Each reports to its dialog the way
// the dialog procedures expect: buttons their clicks, edits and lists their
// focus and changes, scroll bars every use with its scroll code, while the
// program alone moves a scroll bar's thumb or checks a manual button.
#include "platform/dialog_widgets.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Round_Button.H>
#include <FL/fl_draw.H>
#include <FL/fl_utf8.h>
#include <algorithm>
#include <cstring>

namespace {

// A focus change seen by a widget: gaining it through FL_FOCUS or through
// Fl::focus() (FLTK's own click handling), losing it through FL_UNFOCUS.
void trackFocus(Fl_Widget* widget, int event, int handled, bool& focused, const ControlLink& link)
{
    if (event == FL_UNFOCUS) {
        if (focused) {
            focused = false;
            notifyCommand(link.dialog, link.id, Notification::LostFocus);
        }
        return;
    }
    bool hasFocus = (event == FL_FOCUS && handled) || Fl::focus() == widget;
    if (hasFocus && !focused) {
        focused = true;
        notifyCommand(link.dialog, link.id, Notification::GotFocus);
    }
}

void buttonClicked(Fl_Widget* widget, void* data)
{
    Dialog* dialog = static_cast<Dialog*>(data);
    for (const ControlRecord& control : dialog->controls)
        if (control.widget == widget) {
            notifyCommand(dialog, control.id, Notification::Clicked);
            return;
        }
}

void setFonts(Fl_Widget* widget)
{
    widget->labelfont(FL_HELVETICA);
    widget->labelsize(kDialogFontSize);
}

} // namespace

std::string escapeLabel(const char* text)
{
    std::string out;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '@') out += '@';
        out += *p;
    }
    return out;
}

std::string unescapeLabel(const char* label)
{
    std::string out;
    for (const char* p = label ? label : ""; *p; ++p) {
        out += *p;
        if (p[0] == '@' && p[1] == '@') ++p;
    }
    return out;
}

// ---- Label -------------------------------------------------------------------------

void LabelWidget::draw()
{
    draw_box();
    int inset = box() == FL_FLAT_BOX ? 0 : 2;
    // Our font runs wider than the one the templates were laid out for, so a
    // plain label too long for its rectangle is drawn a little smaller rather
    // than cut off; sunken fields (file paths) keep their size and clip.
    Fl_Fontsize size = labelsize();
    if (box() == FL_FLAT_BOX && label() && !strchr(label(), '\n')) {
        fl_font(labelfont(), size);
        while (size > kDialogFontSize - 2 && fl_width(label()) > w()) fl_font(labelfont(), --size);
    }
    Fl_Fontsize tabled = labelsize();
    labelsize(size);
    draw_label(x() + inset, y() + Fl::box_dy(box()), w() - 2 * inset, h() - Fl::box_dh(box()), align());
    labelsize(tabled);
}

// ---- Push button -------------------------------------------------------------------

int PushButtonWidget::handle(int event)
{
    bool enter = event == FL_KEYBOARD && Fl::focus() == this &&
                 (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) &&
                 !(Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META));
    if (!enter) return Fl_Button::handle(event);
    simulate_key_action();
    do_callback(); // may end the dialog and delete this button
    return 1;
}

// ---- Group frame -------------------------------------------------------------------

GroupFrame::GroupFrame(int x, int y, int width, int height, const char* text)
    : Fl_Widget(x, y, width, height)
{
    copy_label(escapeLabel(text).c_str());
    box(FL_ENGRAVED_FRAME);
    color(FL_BACKGROUND_COLOR);
}

void GroupFrame::draw()
{
    fl_font(labelfont(), labelsize());
    int textHeight = fl_height();
    int top = y() + textHeight / 2;
    draw_box(box(), x(), top, w(), h() - (top - y()), color());
    if (!label() || !*label()) return;
    int textWidth = static_cast<int>(fl_width(label()));
    fl_color(color());
    fl_rectf(x() + 6, y(), std::min(textWidth + 4, w() - 8), textHeight);
    fl_color(active_r() ? labelcolor() : fl_inactive(labelcolor()));
    fl_push_clip(x(), y(), w(), textHeight);
    fl_draw(label(), x() + 8, y() + textHeight - fl_descent());
    fl_pop_clip();
}

// ---- Edit field --------------------------------------------------------------------

EditField::EditField(int x, int y, int width, int height, ControlLink link, bool password, bool autoScroll)
    : Fl_Input(x, y, width, height), link_(link), autoScroll_(autoScroll)
{
    if (password) type(FL_SECRET_INPUT);
    when(FL_WHEN_NEVER);
    textfont(FL_HELVETICA);
    textsize(kDialogFontSize);
}

bool EditField::fits(const char* text) const
{
    if (autoScroll_) return true;
    fl_font(textfont(), textsize());
    double width;
    // A password field draws one bullet for every character.
    if (input_type() == FL_SECRET_INPUT)
        width = fl_utf_nb_char(reinterpret_cast<const unsigned char*>(text), static_cast<int>(strlen(text))) *
                fl_width("\xE2\x80\xA2");
    else
        width = fl_width(text);
    // The text starts a few pixels inside the border and the cursor needs one more.
    int room = w() - Fl::box_dw(box()) - 6;
    return width <= room;
}

int EditField::handle(int event)
{
    std::string before = value();
    int position = this->position(), mark = this->mark();
    int handled = Fl_Input::handle(event);
    // Without horizontal scrolling an edit takes only what fits: the key that
    // would push text past the right edge is refused.
    if (before != value() && !fits(value())) {
        value(before.c_str());
        this->position(position, mark);
    }
    trackFocus(this, event, handled, focused_, link_);
    if (before != value()) notifyCommand(link_.dialog, link_.id, Notification::TextChanged);
    return handled;
}

int EditField::typeText(const char* text)
{
    if (Fl::visible_focus()) take_focus();
    std::string before = value();
    std::string taken;
    int count = 0;
    for (const char* p = text; *p;) {
        size_t length = std::min(static_cast<size_t>(std::max(1, fl_utf8len1(*p))), strlen(p));
        std::string candidate = taken + std::string(p, length);
        if (!fits(candidate.c_str())) break;
        taken = std::move(candidate);
        p += length;
        ++count;
    }
    value(taken.c_str());
    if (before != taken) notifyCommand(link_.dialog, link_.id, Notification::TextChanged);
    return count;
}

// ---- List box ----------------------------------------------------------------------

ListBoxWidget::ListBoxWidget(int x, int y, int width, int height, ControlLink link, bool notify)
    : Fl_Hold_Browser(x, y, width, height), link_(link), notify_(notify)
{
    // Entries are shown as they are: no "@" formatting, no tab columns.
    format_char(0);
    column_char(0);
    when(FL_WHEN_NEVER);
    textfont(FL_HELVETICA);
    textsize(kDialogFontSize);
}

void ListBoxWidget::draw()
{
    if (redrawOn) Fl_Hold_Browser::draw();
}

void ListBoxWidget::reportSelection(int before)
{
    if (notify_ && value() != before) notifyCommand(link_.dialog, link_.id, Notification::SelectionChanged);
}

int ListBoxWidget::handle(int event)
{
    int before = value();
    int handled = Fl_Hold_Browser::handle(event);
    trackFocus(this, event, handled, focused_, link_);
    reportSelection(before);
    if (event == FL_PUSH && handled && notify_ && Fl::event_clicks())
        notifyCommand(link_.dialog, link_.id, Notification::DoubleClicked);
    return handled;
}

void ListBoxWidget::choose(int index)
{
    if (Fl::visible_focus()) take_focus();
    int before = value();
    select(index + 1);
    make_visible(index + 1);
    reportSelection(before);
}

// ---- Drop-down list ----------------------------------------------------------------

DropDownWidget::DropDownWidget(int x, int y, int width, int height, ControlLink link)
    : Fl_Choice(x, y, width, height), link_(link)
{
    when(FL_WHEN_NEVER);
    textfont(FL_HELVETICA);
    textsize(kDialogFontSize);
    rebuildMenu(-1);
}

void DropDownWidget::rebuildMenu(int selected)
{
    items_.clear();
    for (const std::string& entry : entries_) {
        Fl_Menu_Item item{};
        item.text = entry.c_str();
        item.labeltype_ = FL_NORMAL_LABEL;
        item.labelfont_ = FL_HELVETICA;
        item.labelsize_ = kDialogFontSize;
        items_.push_back(item);
    }
    items_.push_back(Fl_Menu_Item{});
    menu(entries_.empty() ? nullptr : items_.data());
    select(selected);
}

int DropDownWidget::add(const char* text)
{
    int selected = selection();
    // Menus underline the letter after "&"; doubled it is drawn as itself.
    std::string label;
    for (const char* p = text; *p; ++p) {
        if (*p == '&') label += '&';
        label += *p;
    }
    entries_.push_back(label);
    rebuildMenu(selected);
    return count() - 1;
}

void DropDownWidget::reset()
{
    entries_.clear();
    rebuildMenu(-1);
}

int DropDownWidget::remove(int index)
{
    if (index < 0 || index >= count()) return -1;
    int selected = selection();
    entries_.erase(entries_.begin() + index);
    rebuildMenu(selected == index ? -1 : selected > index ? selected - 1 : selected);
    return count();
}

int DropDownWidget::selection() const
{
    return entries_.empty() ? -1 : Fl_Choice::value();
}

void DropDownWidget::select(int index)
{
    if (index < 0 || index >= count())
        Fl_Choice::value(static_cast<const Fl_Menu_Item*>(nullptr));
    else
        Fl_Choice::value(index);
    redraw();
}

int DropDownWidget::handle(int event)
{
    bool opening = event == FL_PUSH ||
                   (event == FL_KEYBOARD && Fl::focus() == this && Fl::event_key() == ' ');
    if (!opening) {
        int handled = Fl_Choice::handle(event);
        trackFocus(this, event, handled, focused_, link_);
        return handled;
    }
    Fl_Widget_Tracker alive(this);
    if (Fl::visible_focus() && Fl::focus() != this) take_focus();
    if (alive.deleted()) return 1;
    notifyCommand(link_.dialog, link_.id, Notification::DroppedDown);
    if (alive.deleted()) return 1;
    int before = selection();
    int handled = Fl_Choice::handle(event);
    if (alive.deleted()) return 1;
    if (selection() != before) notifyCommand(link_.dialog, link_.id, Notification::SelectionChanged);
    if (alive.deleted()) return 1;
    notifyCommand(link_.dialog, link_.id, Notification::ClosedUp);
    return handled;
}

void DropDownWidget::choose(int index)
{
    Fl_Widget_Tracker alive(this);
    if (Fl::visible_focus() && Fl::focus() != this) take_focus();
    if (alive.deleted()) return;
    notifyCommand(link_.dialog, link_.id, Notification::DroppedDown);
    if (alive.deleted()) return;
    int before = selection();
    select(index);
    if (selection() != before) notifyCommand(link_.dialog, link_.id, Notification::SelectionChanged);
    if (alive.deleted()) return;
    notifyCommand(link_.dialog, link_.id, Notification::ClosedUp);
}

// ---- Scroll bar --------------------------------------------------------------------

ScrollBarWidget::ScrollBarWidget(int x, int y, int width, int height, ControlLink link, bool vertical)
    : Fl_Scrollbar(x, y, width, height), link_(link), vertical_(vertical)
{
    type(vertical ? FL_VERTICAL : FL_HORIZONTAL);
    clear_visible_focus();
    int along = vertical ? height : width, across = vertical ? width : height;
    int track = along >= 3 * across ? along - 2 * across : along;
    // A thumb as long as the bar is thick, but never more than half the track.
    int thumb = std::min(across, track / 2);
    slider_size(track > 0 ? std::min(1.0, static_cast<double>(thumb) / track) : 1.0);
    bounds(0, 100);
    Fl_Scrollbar::value(0);
}

ScrollBarWidget::~ScrollBarWidget()
{
    Fl::remove_timeout(repeat, this);
}

void ScrollBarWidget::setRange(int minimum, int maximum)
{
    bounds(minimum, maximum);
    setPosition(position());
}

void ScrollBarWidget::setPosition(int position)
{
    int low = static_cast<int>(std::min(minimum(), maximum()));
    int high = static_cast<int>(std::max(minimum(), maximum()));
    Fl_Scrollbar::value(std::clamp(position, low, high));
    redraw();
}

// The track between the arrows and the thumb on it, along the bar, as FLTK draws them.
void ScrollBarWidget::trackGeometry(int* start, int* length, int* thumbStart, int* thumbLength) const
{
    int X = x() + Fl::box_dx(box()), Y = y() + Fl::box_dy(box());
    int W = w() - Fl::box_dw(box()), H = h() - Fl::box_dh(box());
    int along = vertical_ ? H : W, across = vertical_ ? W : H, origin = vertical_ ? Y : X;
    bool arrows = along >= 3 * across;
    *start = arrows ? origin + across : origin;
    *length = arrows ? along - 2 * across : along;
    double fraction = 0.5;
    if (maximum() != minimum())
        fraction = std::clamp((value() - minimum()) / (maximum() - minimum()), 0.0, 1.0);
    int size = static_cast<int>(slider_size() * *length + 0.5);
    size = std::max(size, across / 2 + 1);
    *thumbLength = size;
    *thumbStart = *start + static_cast<int>(fraction * (*length - size) + 0.5);
}

ScrollBarWidget::Part ScrollBarWidget::partAt(int mouseX, int mouseY) const
{
    if (!Fl::event_inside(this)) return Part::Nowhere;
    int start, length, thumbStart, thumbLength;
    trackGeometry(&start, &length, &thumbStart, &thumbLength);
    int at = vertical_ ? mouseY : mouseX;
    if (at < start) return Part::LineUp;
    if (at >= start + length) return Part::LineDown;
    if (at < thumbStart) return Part::PageUp;
    if (at >= thumbStart + thumbLength) return Part::PageDown;
    return Part::Thumb;
}

int ScrollBarWidget::positionAt(int mouseX, int mouseY) const
{
    int start, length, thumbStart, thumbLength;
    trackGeometry(&start, &length, &thumbStart, &thumbLength);
    int room = length - thumbLength;
    if (room <= 0) return static_cast<int>(minimum());
    double fraction = std::clamp(((vertical_ ? mouseY : mouseX) - grabOffset_ - start) / static_cast<double>(room), 0.0, 1.0);
    return static_cast<int>(minimum() + fraction * (maximum() - minimum()) + (maximum() >= minimum() ? 0.5 : -0.5));
}

void ScrollBarWidget::report(ScrollCode code, int position)
{
    notifyScroll(link_.dialog, link_.id, vertical_, code, position);
}

void ScrollBarWidget::repeat(void* data)
{
    ScrollBarWidget* bar = static_cast<ScrollBarWidget*>(data);
    // Arrows and trough repeat while held, the trough until the thumb reaches the pointer.
    if (bar->pressed_ == Part::Nowhere || bar->pressed_ == Part::Thumb) return;
    if (bar->partAt(Fl::event_x(), Fl::event_y()) == bar->pressed_) {
        bar->report(static_cast<ScrollCode>(static_cast<int>(bar->pressed_) - 1), 0);
    }
    Fl::repeat_timeout(0.05, repeat, data);
}

int ScrollBarWidget::handle(int event)
{
    switch (event) {
    case FL_PUSH: {
        pressed_ = partAt(Fl::event_x(), Fl::event_y());
        if (pressed_ == Part::Nowhere) return 0;
        if (pressed_ == Part::Thumb) {
            int start, length, thumbStart, thumbLength;
            trackGeometry(&start, &length, &thumbStart, &thumbLength);
            grabOffset_ = (vertical_ ? Fl::event_y() : Fl::event_x()) - thumbStart;
            dragPosition_ = position();
            return 1;
        }
        Fl_Widget_Tracker alive(this);
        report(static_cast<ScrollCode>(static_cast<int>(pressed_) - 1), 0);
        if (!alive.deleted()) Fl::add_timeout(0.4, repeat, this);
        return 1;
    }
    case FL_DRAG:
        if (pressed_ == Part::Thumb) {
            int at = positionAt(Fl::event_x(), Fl::event_y());
            if (at != dragPosition_) {
                dragPosition_ = at;
                report(ScrollCode::ThumbTrack, at);
            }
        }
        return 1;
    case FL_RELEASE: {
        Fl::remove_timeout(repeat, this);
        Part was = pressed_;
        pressed_ = Part::Nowhere;
        if (was == Part::Nowhere) return 1;
        Fl_Widget_Tracker alive(this);
        if (was == Part::Thumb) report(ScrollCode::ThumbPosition, dragPosition_);
        if (!alive.deleted()) report(ScrollCode::EndScroll, 0);
        return 1;
    }
    case FL_MOUSEWHEEL: {
        int turn = vertical_ ? Fl::event_dy() : Fl::event_dx();
        if (turn == 0) return 0;
        Fl_Widget_Tracker alive(this);
        report(turn < 0 ? ScrollCode::LineUp : ScrollCode::LineDown, 0);
        if (!alive.deleted()) report(ScrollCode::EndScroll, 0);
        return 1;
    }
    case FL_ENTER:
    case FL_LEAVE:
    case FL_MOVE:
        return 1;
    default:
        return 0;
    }
}

// ---- Making the widget of a control ------------------------------------------------

Fl_Widget* makeControlWidget(Dialog* dialog, const ControlTemplate& control)
{
    int x = dialogUnitsToPixelsX(control.x), y = dialogUnitsToPixelsY(control.y);
    int width = dialogUnitsToPixelsX(control.width), height = dialogUnitsToPixelsY(control.height);
    ControlLink link{dialog, control.id};
    const char* text = control.text ? control.text : "";
    Fl_Widget* widget = nullptr;

    switch (control.kind) {
    case ControlKind::Label: {
        LabelWidget* box = new LabelWidget(x, y, width, height);
        box->box(control.style & kStyleSunken ? FL_THIN_DOWN_BOX : FL_FLAT_BOX);
        // Text wraps only where the label has room for a second line.
        Fl_Align align = FL_ALIGN_INSIDE | FL_ALIGN_TOP | FL_ALIGN_CLIP;
        if (height >= 2 * kDialogFontSize + 4) align |= FL_ALIGN_WRAP;
        if (!(control.style & kStyleCentred)) align |= FL_ALIGN_LEFT;
        box->align(align);
        box->copy_label(escapeLabel(text).c_str());
        widget = box;
        break;
    }
    case ControlKind::GroupBox:
        widget = new GroupFrame(x, y, width, height, text);
        break;
    case ControlKind::PushButton:
        widget = new PushButtonWidget(x, y, width, height);
        break;
    case ControlKind::CheckBox:
    case ControlKind::AutoCheckBox:
        widget = new Fl_Check_Button(x, y, width, height);
        // A manual box shows the click while the button is held and then
        // springs back; the procedure decides the check.
        if (control.kind == ControlKind::CheckBox) static_cast<Fl_Button*>(widget)->type(FL_NORMAL_BUTTON);
        break;
    case ControlKind::RadioButton:
        widget = new Fl_Round_Button(x, y, width, height);
        static_cast<Fl_Button*>(widget)->type(FL_NORMAL_BUTTON);
        break;
    case ControlKind::Edit: {
        EditField* edit = new EditField(x, y, width, height, link, control.style & kStylePassword,
                                        control.style & kStyleAutoHScroll);
        edit->box(control.style & kStyleBorder ? FL_DOWN_BOX : FL_FLAT_BOX);
        edit->value(text);
        widget = edit;
        break;
    }
    case ControlKind::ListBox: {
        ListBoxWidget* list = new ListBoxWidget(x, y, width, height, link, control.style & kStyleNotify);
        int bars = 0;
        if (control.style & kStyleVScroll) bars |= Fl_Browser_::VERTICAL;
        if (control.style & kStyleHScroll) bars |= Fl_Browser_::HORIZONTAL;
        list->has_scrollbar(static_cast<uchar>(bars));
        list->box(control.style & kStyleBorder ? FL_DOWN_BOX : FL_FLAT_BOX);
        widget = list;
        break;
    }
    case ControlKind::DropDownList:
        // The template's height includes the dropped list; closed, it is one line.
        widget = new DropDownWidget(x, y, width, kDropDownHeight, link);
        break;
    case ControlKind::HorizontalScrollBar:
    case ControlKind::VerticalScrollBar:
        widget = new ScrollBarWidget(x, y, width, height, link, control.kind == ControlKind::VerticalScrollBar);
        break;
    }

    setFonts(widget);
    if (control.kind == ControlKind::PushButton || control.kind == ControlKind::CheckBox ||
        control.kind == ControlKind::AutoCheckBox || control.kind == ControlKind::RadioButton) {
        widget->copy_label(escapeLabel(text).c_str());
        widget->callback(buttonClicked, dialog);
    }
    if (control.style & kStyleDisabled) widget->deactivate();
    if (control.style & kStyleHidden) widget->hide();
    return widget;
}
