// Finding the pictures a run hangs: the listed files, and the image files of
// the listed picture folders.
#include "gallery/gallery.h"

#include <algorithm>
#include <random>

#include "platform/files.h"

namespace {

// The extensions of the formats the picture loader reads, lower case.
const char* const kPictureExtensions[] = {"jpg", "jpeg", "png", "webp", "gif", "tif", "tiff", "bmp"};

bool hasPictureExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return false;
    std::string extension = path.substr(dot + 1);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    for (const char* known : kPictureExtensions)
        if (extension == known) return true;
    return false;
}

} // namespace

int isPictureFolder(const std::string& entry)
{
    return !entry.empty() && isDirectory(entry.c_str()) ? 1 : 0;
}

std::vector<std::string> listGalleryPictures(const std::vector<std::string>& entries, int limit)
{
    std::vector<std::string> pictures;
    for (const std::string& entry : entries) {
        if (entry.empty()) continue;
        if (!isPictureFolder(entry)) {
            pictures.push_back(entry);
            continue;
        }
        std::vector<std::string> found;
        listFolderFiles(entry.c_str(), kMaxFolderEntries, kMaxFolderDepth, found);
        std::sort(found.begin(), found.end());
        for (std::string& file : found)
            if (hasPictureExtension(file)) pictures.push_back(std::move(file));
    }
    if (limit >= 0 && pictures.size() > static_cast<size_t>(limit)) {
        // A different choice on every run, from the system's entropy: the
        // museum's own random sequence stays untouched.
        std::random_device entropy;
        std::mt19937 generator(entropy());
        std::shuffle(pictures.begin(), pictures.end(), generator);
        pictures.resize(static_cast<size_t>(limit));
    }
    return pictures;
}
