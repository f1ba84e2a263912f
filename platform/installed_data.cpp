#include "platform/installed_data.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

// The settings files, "Vellamir.INI" and "Vellamir.conf", in any case.
bool isSettingsFile(const std::string& name)
{
    for (const std::string wanted : {"vellamir.ini", "vellamir.conf"}) {
        bool same = name.size() == wanted.size();
        for (size_t i = 0; same && i < name.size(); ++i) {
            char c = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] + 32) : name[i];
            same = c == wanted[i];
        }
        if (same) return true;
    }
    return false;
}

} // namespace

int hasSaverData(const char* windowsDirectory)
{
    return isDirectory((std::string(windowsDirectory) + "/Brevane/graphics").c_str());
}

std::string findInstalledData()
{
    const char* list = getenv("XDG_DATA_DIRS");
    std::string dirs = list && *list ? list : "/usr/local/share:/usr/share";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        start = end + 1;
        if (dir.empty() || dir[0] != '/') continue;
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        std::string installed = dir + "/vellamir";
        if (isDirectory((installed + "/Brevane/graphics").c_str())) return installed;
    }
    return "";
}

int copyInstalledData(const char* installed, const char* windowsDirectory, std::string* reason, int* copied)
{
    if (copied) *copied = 0;
    std::error_code error;
    const fs::path from = fs::path(installed) / "Brevane";
    // The folder keeps the case it already has in the Windows directory.
    const fs::path to = translatePath((std::string(windowsDirectory) + "/Brevane").c_str());
    auto fail = [&](const fs::path& path) {
        if (reason) *reason = path.string() + ": " + error.message();
        return 1;
    };
    fs::create_directory(to, error);
    if (error) return fail(to);
    fs::recursive_directory_iterator entry(from, error), end;
    if (error) return fail(from);
    for (; entry != end; entry.increment(error)) {
        if (error) return fail(from);
        const fs::path relative = entry->path().lexically_relative(from);
        const fs::path target = translatePath((to / relative).c_str());
        if (entry->is_directory(error)) {
            if (!fs::is_directory(target, error) && !fs::create_directory(target, error) && error) return fail(target);
            continue;
        }
        if (!entry->is_regular_file(error) || isSettingsFile(entry->path().filename().string())) continue;
        if (fs::exists(fs::symlink_status(target, error))) continue;
        fs::copy_file(entry->path(), target, fs::copy_options::none, error);
        if (error) return fail(target);
        if (copied) ++*copied;
    }
    return 0;
}

void explainMissingData(const char* windowsDirectory)
{
    std::string installed = findInstalledData();
    fprintf(stderr, "Vellamir: the saver's data (the folder \"Brevane\" with \"graphics\", \"pass.pag\" and "
                    "\"pass2x.pag\") was looked for in the Windows directory %s.\n", windowsDirectory);
    if (!installed.empty())
        fprintf(stderr, "Vellamir: a complete copy is installed in %s: cp -rn %s/Brevane %s/\n", installed.c_str(),
                installed.c_str(), windowsDirectory);
    fprintf(stderr, "Vellamir: to install the data, run scripts/install-data in the source folder after "
                    "scripts/build, or ./setup from the installation medium (build/dist), or install "
                    "system-wide with \"cmake --install build\": the next start copies that data here.\n");
    fflush(stderr);
}
