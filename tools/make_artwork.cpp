// Writes the saver's bundled artwork into a data folder:
//   <folder>/graphics/<texture>.bmp   every texture the themes name
//   <folder>/graphics/Default1.bmp    the default gallery picture
//   <folder>/pass.pag, pass2x.pag     the password prompt pictures
// Usage: vellamir_artwork <folder>   (the build passes build/data/Brevane)
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/artwork.h"

namespace {

bool write(const std::string& path, const Image& image)
{
    if (writeBmp(path, image)) return true;
    std::fprintf(stderr, "vellamir_artwork: cannot write %s\n", path.c_str());
    return false;
}

bool writeTextures(const std::string& folder, const TextureRecipe* recipes, int count)
{
    for (int i = 0; i < count; ++i) {
        Image image(recipes[i].size, recipes[i].size);
        recipes[i].paint(image);
        if (!write(folder + "/" + recipes[i].fileName, image)) return false;
    }
    return true;
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
    const bool ok = writeTextures(graphics, patternTextures, patternTextureCount) &&
                    writeTextures(graphics, naturalTextures, naturalTextureCount) &&
                    write(graphics + "/Default1.bmp", paintDefaultPicture()) &&
                    write(folder + "/pass.pag", paintPasswordPrompt(1)) &&
                    write(folder + "/pass2x.pag", paintPasswordPrompt(2));
    return ok ? 0 : 1;
}
