#include "platform/backdrop.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include "platform/dialog_widgets.h"

struct BackdropWindow {
    Fl_Window* window;
    void (*onClose)();
};

namespace {

// The classic application-workspace grey.
constexpr unsigned char kWorkspaceGrey = 128;

void closeRequested(Fl_Widget*, void* data)
{
    // FLTK closes a window on Escape; the backdrop closes only through its
    // title bar, or a stray key would end an installation half done.
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    BackdropWindow* backdrop = static_cast<BackdropWindow*>(data);
    void (*onClose)() = backdrop->onClose;
    closeBackdropWindow(backdrop);
    if (onClose) onClose();
}

} // namespace

BackdropWindow* openBackdropWindow(const char* caption, void (*onClose)())
{
    if (!openDialogDisplay()) return nullptr; // FLTK gets the dialogs' connection
    int x, y, width, height;
    Fl::screen_work_area(x, y, width, height);
    auto* backdrop = new BackdropWindow{new Fl_Window(x, y, width, height), onClose};
    backdrop->window->copy_label(caption);
    backdrop->window->color(fl_rgb_color(kWorkspaceGrey, kWorkspaceGrey, kWorkspaceGrey));
    backdrop->window->resizable(backdrop->window);
    backdrop->window->callback(closeRequested, backdrop);
    backdrop->window->end();
    backdrop->window->show();
    Fl::check();
    return backdrop;
}

void closeBackdropWindow(BackdropWindow* backdrop)
{
    if (!backdrop) return;
    backdrop->window->hide();
    Fl::delete_widget(backdrop->window);
    delete backdrop;
}
