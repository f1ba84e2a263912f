// Writes the saver's bundled artwork into a data folder:
//   <folder>/graphics/<texture>.bmp   every texture the themes name, at its classic size
//   <folder>/graphics/<texture>.jpg   the same texture at 1024 x 1024, for the screen's own size
//   <folder>/graphics/Default1.bmp    the default gallery picture
//   <folder>/pass.pag, pass2x.pag     the password prompt pictures
// Usage: vellamir_artwork <folder>   (the build passes build/data/Brevane)
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tools/artwork.h"

namespace {

bool write(const std::string& path, const Image& image)
{
    if (writeBmp(path, image)) return true;
    std::fprintf(stderr, "vellamir_artwork: cannot write %s\n", path.c_str());
    return false;
}

// The high-resolution copy's name: the classic file's with ".jpg" for ".bmp".
std::string detailedName(const char* fileName)
{
    std::string name = fileName;
    return name.substr(0, name.rfind('.')) + ".jpg";
}

// One texture at one size: the classic BMP, or the 1024 x 1024 JPEG.
bool paintTexture(const std::string& folder, const TextureRecipe& recipe, bool detailed)
{
    const int size = detailed ? kDetailedSize : recipe.size;
    Image image(size, size);
    image.detail = float(size) / float(recipe.size);
    recipe.paint(image);
    if (!detailed) return write(folder + "/" + recipe.fileName, image);
    const std::string path = folder + "/" + detailedName(recipe.fileName);
    if (writeJpeg(path, image, kDetailedQuality)) return true;
    std::fprintf(stderr, "vellamir_artwork: cannot write %s\n", path.c_str());
    return false;
}

// Every texture at both sizes, shared out among the processor's cores (the
// large ones take most of the build's painting).
bool writeTextures(const std::string& folder)
{
    struct Job {
        const TextureRecipe* recipe;
        bool detailed;
    };
    std::vector<Job> jobs;
    for (bool detailed : {true, false}) {
        for (int i = 0; i < patternTextureCount; ++i) jobs.push_back({&patternTextures[i], detailed});
        for (int i = 0; i < naturalTextureCount; ++i) jobs.push_back({&naturalTextures[i], detailed});
    }
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    auto work = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++)
            if (!paintTexture(folder, *jobs[i].recipe, jobs[i].detailed)) failed = true;
    };
    std::vector<std::thread> workers;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned i = 1; i < cores; ++i) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();
    return !failed;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vellamir_artwork <data folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::string graphics = folder + "/graphics";
    std::error_code error;
    std::filesystem::create_directories(graphics, error);
    if (error) {
        std::fprintf(stderr, "vellamir_artwork: cannot create %s: %s\n", graphics.c_str(), error.message().c_str());
        return 1;
    }
    const bool ok = writeTextures(graphics) &&
                    write(graphics + "/Default1.bmp", paintDefaultPicture()) &&
                    write(folder + "/pass.pag", paintPasswordPrompt(1)) &&
                    write(folder + "/pass2x.pag", paintPasswordPrompt(2));
    return ok ? 0 : 1;
}
