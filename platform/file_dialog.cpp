// The open-file dialog: FLTK's native chooser, titled "Open" like the
// platform's common dialog.
#include <FL/Fl.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <cstring>

#include "platform/dialog_widgets.h"
#include "platform/dialogs.h"

int openFileDialog(Dialog* owner, const OpenFileRequest& request, std::string& fileName)
{
    (void)owner;  // the chooser is modal to every window of the program
    if (!openDialogDisplay()) return 0;
    // FLTK's own chooser everywhere: the GTK one, used where GTK happens to be
    // installed, behaves differently from machine to machine.
    Fl::option(Fl::OPTION_FNFC_USES_GTK, false);
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
    chooser.title("Open");
    // FLTK shows a filter as its name followed by "(pattern)": a name that
    // already ends in its pattern loses that ending, so it is not shown twice.
    std::string name = request.filterName ? request.filterName : "";
    std::string pattern = request.pattern ? request.pattern : "*";
    std::string shownPattern = "(" + pattern + ")";
    if (name.size() > shownPattern.size() && name.compare(name.size() - shownPattern.size(), shownPattern.size(), shownPattern) == 0)
        name.erase(name.size() - shownPattern.size());
    std::string filter = name + "\t" + pattern;
    chooser.filter(filter.c_str());
    if (!fileName.empty()) {
        size_t slash = fileName.rfind('/');
        if (slash != std::string::npos) chooser.directory(fileName.substr(0, slash + 1).c_str());
        chooser.preset_file(fileName.c_str());
    }
    if (chooser.show() != 0 || !chooser.filename() || !*chooser.filename()) return 0;

    std::string chosen = chooser.filename();
    size_t base = chosen.rfind('/');
    base = base == std::string::npos ? 0 : base + 1;
    if (request.defaultExtension && *request.defaultExtension && chosen.find('.', base) == std::string::npos)
        chosen += std::string(".") + request.defaultExtension;
    fileName = chosen;
    return 1;
}
