#include "platform/files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool sameIgnoringAsciiCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        unsigned char ca = static_cast<unsigned char>(*a), cb = static_cast<unsigned char>(*b);
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca + 32);
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb + 32);
        if (ca != cb) return false;
    }
    return *a == *b;
}

// The entry of directory dir whose name matches name ignoring ASCII case, or "".
std::string findEntryIgnoringCase(const std::string& dir, const std::string& name)
{
    DIR* listing = opendir(dir.empty() ? "." : dir.c_str());
    if (!listing) return {};
    std::string found;
    while (dirent* entry = readdir(listing)) {
        if (sameIgnoringAsciiCase(entry->d_name, name.c_str())) {
            found = entry->d_name;
            break;
        }
    }
    closedir(listing);
    return found;
}

// Creates dir (one level) unless it exists; 0 when it exists afterwards.
int ensureDirectory(const std::string& dir)
{
    if (mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST) return isDirectory(dir.c_str()) ? 0 : 1;
    return 1;
}

// One folder walk: where it started (resolved), the directories it has been
// to (device and inode) and the entries it may still look at.
struct FolderWalk {
    std::string root;
    std::set<std::pair<dev_t, ino_t>> visited;
    int entriesLeft = 0;
    std::vector<std::string>* files = nullptr;
};

bool insideRoot(const std::string& root, const std::string& resolved)
{
    return resolved == root || (resolved.size() > root.size() && resolved.compare(0, root.size(), root) == 0 &&
                                (root == "/" || resolved[root.size()] == '/'));
}

void walkFolder(FolderWalk& walk, const std::string& dir, int depthLeft)
{
    DIR* listing = opendir(dir.c_str());
    if (!listing) return;
    std::vector<std::string> folders;
    while (dirent* entry = readdir(listing)) {
        if (entry->d_name[0] == '.') continue;  // ".", ".." and hidden entries
        if (walk.entriesLeft <= 0) break;
        --walk.entriesLeft;
        const std::string path = dir + "/" + entry->d_name;
        struct stat info;
        if (lstat(path.c_str(), &info) != 0) continue;
        if (S_ISLNK(info.st_mode)) {
            char* resolved = realpath(path.c_str(), nullptr);
            if (!resolved) continue;
            const bool inside = insideRoot(walk.root, resolved);
            std::free(resolved);
            if (!inside || stat(path.c_str(), &info) != 0) continue;
        }
        if (S_ISREG(info.st_mode))
            walk.files->push_back(path);
        else if (S_ISDIR(info.st_mode) && depthLeft > 0 && walk.visited.insert({info.st_dev, info.st_ino}).second)
            folders.push_back(path);
    }
    closedir(listing);
    for (const std::string& folder : folders) walkFolder(walk, folder, depthLeft - 1);
}

} // namespace

std::string translatePath(const char* path)
{
    std::string slashed(path ? path : "");
    for (char& c : slashed)
        if (c == '\\') c = '/';

    std::string result;
    bool searching = true; // once a component is missing, nothing below it exists
    size_t pos = 0;
    if (!slashed.empty() && slashed[0] == '/') {
        result = "/";
        pos = 1;
    }
    while (pos <= slashed.size()) {
        size_t end = slashed.find('/', pos);
        if (end == std::string::npos) end = slashed.size();
        std::string component = slashed.substr(pos, end - pos);
        if (!component.empty()) {
            if (!result.empty() && result.back() != '/') result += '/';
            std::string candidate = result + component;
            if (searching && component != "." && component != ".." && !exists(candidate)) {
                std::string match = findEntryIgnoringCase(result, component);
                if (match.empty())
                    searching = false;
                else
                    candidate = result + match;
            }
            result = candidate;
        }
        pos = end + 1;
    }
    if (slashed.size() > 1 && slashed.back() == '/' && result.back() != '/') result += '/';
    return result;
}

int queryWindowsDirectory(char* out, int size, std::string* reason)
{
    if (size > 0) out[0] = '\0';
    std::string dir;
    bool isDefault = false;
    if (const char* windir = getenv("WINDIR"); windir && *windir) {
        dir = windir;
    } else {
        const char* data = getenv("XDG_DATA_HOME");
        if (data && *data) {
            dir = std::string(data) + "/vellamir";
        } else {
            const char* home = getenv("HOME");
            if (!home || !*home) {
                if (reason) *reason = "Neither WINDIR nor HOME is set.";
                return 1;
            }
            dir = std::string(home) + "/.local/share/vellamir";
        }
        isDefault = true;
    }
    // Everything the program names from here on is relative to this directory
    // once it has made it current, so a relative value (WINDIR=gallery) is
    // anchored to the directory the program was started in, here and once.
    if (dir[0] != '/') {
        char cwd[4096];
        if (!getcwd(cwd, sizeof cwd)) {
            if (reason) *reason = "The Windows directory " + dir + " cannot be found from the current directory.";
            return 1;
        }
        while (dir.size() > 2 && dir.compare(0, 2, "./") == 0) dir.erase(0, 2);
        dir = (dir == "." ? std::string(cwd) : std::string(cwd) + (cwd[1] ? "/" : "") + dir);
    }
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (static_cast<int>(dir.size()) > kMaxWindowsDirectory || static_cast<int>(dir.size()) >= size) {
        if (reason) *reason = "The Windows directory " + dir + " is longer than 255 bytes.";
        return 1;
    }
    if (isDefault && !isDirectory(dir.c_str())) {
        // Create every missing level of the default, as a fresh account may lack ~/.local/share.
        for (size_t slash = dir.find('/', 1); ; slash = dir.find('/', slash + 1)) {
            std::string level = dir.substr(0, slash);
            if (ensureDirectory(level) != 0) {
                if (reason) *reason = "The Windows directory " + dir + " cannot be created: " + strerror(errno);
                return 1;
            }
            if (slash == std::string::npos) break;
        }
    }
    memcpy(out, dir.c_str(), dir.size() + 1);
    return 0;
}

FILE* openFile(const char* path, const char* mode)
{
    return fopen(translatePath(path).c_str(), mode);
}

int setCurrentDirectory(const char* path)
{
    return chdir(translatePath(path).c_str()) == 0 ? 0 : 1;
}

int getCurrentDirectory(char* out, int size)
{
    return size > 0 && getcwd(out, static_cast<size_t>(size)) ? 0 : 1;
}

int makeDirectory(const char* path)
{
    return mkdir(translatePath(path).c_str(), 0755) == 0 ? 0 : 1;
}

int isDirectory(const char* path)
{
    struct stat info;
    return stat(translatePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 1 : 0;
}

int fileExists(const char* path)
{
    struct stat info;
    return stat(translatePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode) ? 1 : 0;
}

int removeFile(const char* path)
{
    return unlink(translatePath(path).c_str()) == 0 ? 0 : 1;
}

int replaceFile(const char* from, const char* to)
{
    return rename(translatePath(from).c_str(), translatePath(to).c_str()) == 0 ? 0 : 1;
}

int copyFileMode(FILE* from, FILE* to)
{
    struct stat info, target;
    if (!from || !to || fstat(fileno(from), &info) != 0 || fstat(fileno(to), &target) != 0) return 1;
    // Only a regular file takes the bits: a device such as /dev/null keeps its own.
    if (!S_ISREG(target.st_mode)) return 1;
    return fchmod(fileno(to), info.st_mode & 0777) == 0 ? 0 : 1;
}

FILE* openRegularFile(const char* path)
{
    // Without blocking, so a FIFO at the path cannot stall the caller; what is
    // no regular file (a FIFO, a device, a directory) is not opened at all.
    const int fd = open(translatePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
        close(fd);
        return nullptr;
    }
    FILE* file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
}

int readWholeFile(const char* path, std::string& bytes, size_t maxBytes, std::string* why)
{
    bytes.clear();
    auto fail = [&](const std::string& text) {
        if (why) *why = text;
        bytes.clear();
        return 1;
    };
    // Opened without blocking, so a FIFO or a device at the path cannot stall
    // the caller; only a regular file no longer than the caller's bound is read.
    const int fd = open(translatePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) return fail("no such file");
        if (error == EACCES || error == EPERM) return fail("no permission to read it");
        return fail(std::strerror(error));
    }
    const std::string tooLarge = maxBytes % (1 << 20) == 0
        ? "larger than " + std::to_string(maxBytes >> 20) + " MB"
        : "larger than " + std::to_string(maxBytes) + " bytes";
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        close(fd);
        return fail("not a regular file");
    }
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        close(fd);
        return fail(tooLarge);
    }
    bytes.reserve(static_cast<size_t>(info.st_size));
    char chunk[65536];
    std::string failure;
    for (;;) {
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) { failure = std::strerror(errno); break; }
        if (got == 0) break;
        // A file that grows while it is read still stops at the bound.
        if (bytes.size() + static_cast<size_t>(got) > maxBytes) { failure = tooLarge; break; }
        bytes.append(chunk, static_cast<size_t>(got));
    }
    close(fd);
    if (!failure.empty()) return fail(failure);
    return 0;
}

namespace {

// The directory a path's file is in ("." for a bare name).
std::string directoryOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The temporary files of earlier saves of target that never reached their
// rename (a save killed half-way): target's name, a dot and the six letters
// or digits mkstemp puts there. Such a file may hold an old password.
// The temporary names a save uses: "<file>.saving-" and six random letters
// or digits. Saves of earlier versions used "<file>." and the six characters;
// such a name is taken for ours only when it is private (mode 0600, as
// mkstemp made it) and holds a digit or a capital, which a random part almost
// always does and a user's own "Vellamir.INI.backup" does not.
constexpr char kSavingInfix[] = ".saving-";
constexpr size_t kRandomPart = 6;

bool isRandomPart(const char* text, bool earlierVersion)
{
    if (strlen(text) != kRandomPart) return false;
    bool digitOrCapital = false;
    for (const char* c = text; *c; ++c) {
        const bool lower = *c >= 'a' && *c <= 'z';
        const bool other = (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9');
        if (!lower && !other) return false;
        digitOrCapital = digitOrCapital || other;
    }
    return !earlierVersion || digitOrCapital;
}

void removeStaleTemporaries(const std::string& target)
{
    std::string dir = directoryOf(target);
    size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string saving = base + kSavingInfix, earlier = base + ".";
    DIR* listing = opendir(dir.c_str());
    if (!listing) return;
    while (dirent* entry = readdir(listing)) {
        const char* name = entry->d_name;
        bool ours = strncmp(name, saving.c_str(), saving.size()) == 0 && isRandomPart(name + saving.size(), false);
        bool earlierVersion = !ours && strncmp(name, earlier.c_str(), earlier.size()) == 0 &&
                              isRandomPart(name + earlier.size(), true);
        if (!ours && !earlierVersion) continue;
        struct stat info;
        std::string stale = dir + "/" + name;
        if (lstat(stale.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid()) continue;
        if (earlierVersion && (info.st_mode & 07777) != 0600) continue;
        unlink(stale.c_str());
    }
    closedir(listing);
}

// Makes a rename in dir durable. Some file systems cannot sync a directory;
// the new file is in place either way, so that is not a failed save.
void syncDirectoryOf(const std::string& target)
{
    int fd = open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

} // namespace

int writeFileSafely(const char* path, const void* bytes, size_t size, bool isPrivate)
{
    std::string target = translatePath(path);
    std::string temporary = target + kSavingInfix + "XXXXXX";
    int fd = mkstemp(temporary.data()); // creates the file with mode 0600
    if (fd < 0) return 1;
    bool ok = isPrivate || fchmod(fd, 0644) == 0;
    const char* next = static_cast<const char*>(bytes);
    size_t left = size;
    while (ok && left > 0) {
        ssize_t wrote = write(fd, next, left);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            ok = false;
            break;
        }
        next += wrote;
        left -= static_cast<size_t>(wrote);
    }
    if (ok && fsync(fd) != 0) ok = false;
    if (close(fd) != 0) ok = false;
    if (ok && rename(temporary.c_str(), target.c_str()) != 0) ok = false;
    if (!ok) {
        unlink(temporary.c_str());
        return 1;
    }
    syncDirectoryOf(target);
    removeStaleTemporaries(target);
    return 0;
}

int listFolderFiles(const char* folder, int maxEntries, int maxDepth, std::vector<std::string>& files)
{
    std::string dir = translatePath(folder);
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    char* resolved = realpath(dir.c_str(), nullptr);
    struct stat info;
    if (!resolved || stat(resolved, &info) != 0 || !S_ISDIR(info.st_mode)) {
        std::free(resolved);
        return 1;
    }
    FolderWalk walk;
    walk.root = resolved;
    std::free(resolved);
    walk.visited.insert({info.st_dev, info.st_ino});
    walk.entriesLeft = maxEntries;
    walk.files = &files;
    walkFolder(walk, dir, maxDepth);
    return 0;
}
