// The open-file and folder dialogs: FLTK's native chooser, titled "Open" like
// the platform's common dialog.
#include <FL/Fl.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <cstring>

#include "platform/dialog_widgets.h"
#include "platform/dialogs.h"

namespace {

// FLTK's pattern for a request's: several "*.ext" joined by ";" become one
// "*.{ext,...,EXT,...}", since FLTK matches names case by case on Linux and
// cameras write ".JPG".
std::string chooserPattern(const char* requested)
{
    std::string pattern = requested ? requested : "*";
    if (pattern.find(';') == std::string::npos) return pattern;
    std::string lower, upper;
    size_t start = 0;
    while (start <= pattern.size()) {
        size_t end = pattern.find(';', start);
        if (end == std::string::npos) end = pattern.size();
        std::string one = pattern.substr(start, end - start);
        if (one.compare(0, 2, "*.") == 0 && one.size() > 2) {
            std::string extension = one.substr(2), capitals = extension;
            for (char& c : capitals)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
            lower += (lower.empty() ? "" : ",") + extension;
            upper += "," + capitals;
        }
        start = end + 1;
    }
    return "*.{" + lower + upper + "}";
}

// Opens the display for a chooser; false when there is none. Called before
// the chooser is made, which is when FLTK picks its kind: FLTK's own chooser
// everywhere, as the GTK one, used where GTK happens to be installed, behaves
// differently from machine to machine.
bool prepareChooser()
{
    if (!openDialogDisplay()) return false;
    Fl::option(Fl::OPTION_FNFC_USES_GTK, false);
    return true;
}

// Runs the chooser, opened at the folder of start (a file) and with start
// chosen; false when the user cancels.
bool runChooser(Fl_Native_File_Chooser& chooser, const char* title, const std::string& start)
{
    chooser.title(title);
    const size_t slash = start.rfind('/');
    if (slash != std::string::npos) chooser.directory(start.substr(0, slash + 1).c_str());
    if (!start.empty() && start.back() != '/') chooser.preset_file(start.c_str());
    return chooser.show() == 0 && chooser.count() > 0 && chooser.filename() && *chooser.filename();
}

int chooseFiles(const OpenFileRequest& request, std::string& fileName, std::vector<std::string>& fileNames,
                bool several)
{
    if (!prepareChooser()) return 0;
    Fl_Native_File_Chooser chooser(several ? Fl_Native_File_Chooser::BROWSE_MULTI_FILE
                                           : Fl_Native_File_Chooser::BROWSE_FILE);
    // FLTK shows a filter as its name followed by "(pattern)": a name that
    // already ends in its pattern loses that ending, so it is not shown twice.
    std::string name = request.filterName ? request.filterName : "";
    std::string pattern = chooserPattern(request.pattern);
    std::string shownPattern = std::string("(") + (request.pattern ? request.pattern : "*") + ")";
    if (name.size() > shownPattern.size() && name.compare(name.size() - shownPattern.size(), shownPattern.size(), shownPattern) == 0)
        name.erase(name.size() - shownPattern.size());
    std::string filter = name + "\t" + pattern;
    chooser.filter(filter.c_str());
    if (!runChooser(chooser, "Open", fileName)) return 0;

    fileNames.clear();
    for (int i = 0; i < chooser.count(); ++i) {
        std::string chosen = chooser.filename(i);
        size_t base = chosen.rfind('/');
        base = base == std::string::npos ? 0 : base + 1;
        if (request.defaultExtension && *request.defaultExtension && chosen.find('.', base) == std::string::npos)
            chosen += std::string(".") + request.defaultExtension;
        fileNames.push_back(chosen);
    }
    fileName = fileNames.back();
    return 1;
}

} // namespace

int openFileDialog(Dialog* owner, const OpenFileRequest& request, std::string& fileName)
{
    (void)owner;  // the chooser is modal to every window of the program
    std::vector<std::string> fileNames;
    return chooseFiles(request, fileName, fileNames, false);
}

int openFilesDialog(Dialog* owner, const OpenFileRequest& request, std::string& fileName,
                    std::vector<std::string>& fileNames)
{
    (void)owner;
    return chooseFiles(request, fileName, fileNames, true);
}

int openFolderDialog(Dialog* owner, std::string& folder)
{
    (void)owner;
    if (!prepareChooser()) return 0;
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_DIRECTORY);
    if (!runChooser(chooser, "Add folder", folder.empty() ? folder : folder + "/")) return 0;
    std::string chosen = chooser.filename();
    while (chosen.size() > 1 && chosen.back() == '/') chosen.pop_back();
    folder = chosen;
    return 1;
}
