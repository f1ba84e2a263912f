// The run's gallery pictures: the bundled default picture read at once with
// the BMP reader, the user's pictures decoded by worker threads while the
// first frames are drawn and handed to OpenGL a few per pass on the drawing
// thread, each slot reshaped to its picture when it arrives.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "gallery/gallery.h"
#include "kgl/bitmap.h"
#include "kgl/framework.h"
#include "kgl/glbind.h"
#include "kgl/modes.h"
#include "platform/installed_data.h"
#include "plaques/plaques.h"
#include "settings/settings.h"
#include "shell/run_state.h"
#include "world/museum.h"
#include "world/textures.h"
#include "world/themes.h"

namespace {

// Bytes of level 0 handed to OpenGL in one pass (at least one picture): an
// upload of this size takes a few milliseconds, so frames keep coming.
constexpr size_t kUploadBytesPerPass = 3u << 20;
constexpr unsigned kMostWorkers = 4;

// One picture the workers have finished.
struct Arrival {
    int picture = 0;
    std::string why;          // empty when it was read
    float aspect = 1.0f;
    MipmapChain chain;
    PlaqueCard plaque;        // no levels when the picture has none
};

// The loading of one run. Made per run and never freed: a fatal exit may
// leave the workers running, and they must never find their record gone.
struct PictureLoader {
    std::vector<std::string> paths;     // per picture; empty for the bundled ones
    std::vector<int> jobs;              // the user's pictures, in list order
    int viewHeight = 0, pictureCount = 0;
    bool plaques = false;               // the workers make each picture's plaque too
    std::atomic<size_t> nextJob{0};
    std::atomic<bool> stopping{false};
    std::mutex mutex;                   // guards arrived
    std::deque<Arrival> arrived;
    std::vector<std::thread> workers;
    int outstanding = 0;                // user pictures not yet hung or skipped (drawing thread)
    int passesSeen = 0;                 // the workers start once the first frame is out
    bool settled = false;
    int slotPicture[kPictureSlots] = {};
};

PictureLoader* loader = nullptr;
uint32_t fallbackTexture = 0;           // the default picture hung when no user picture can be read

uint8_t frameStyleFor(const std::string& path)
{
    // The same picture always takes the same frame.
    uint32_t hash = 2166136261u;
    for (unsigned char c : path) hash = (hash ^ c) * 16777619u;
    return static_cast<uint8_t>(1 + hash % kFrameStyles);
}

// The display window's height: the pixels a picture can use.
int viewHeight()
{
    float scale = settings.displayScale;
    if (!(scale > 0.0f) || scale > 1.0f) scale = 1.0f;
    return static_cast<int>(saverRun.screenHeight * scale);
}

bool isBundledPicture(const std::string& path)
{
    const std::string bundled = defaultPicturePath();
    if (path.size() != bundled.size()) return false;
    for (size_t i = 0; i < path.size(); ++i)
        if (tolower(static_cast<unsigned char>(path[i])) != tolower(static_cast<unsigned char>(bundled[i])))
            return false;
    return true;
}

void decodeJobs(PictureLoader* work)
{
    // Decoded at up to one and a half times the texture's longer side (the
    // most it can be, square, within the picture's share of the budget): the
    // shorter side of a photo then still holds its texture's, and a large
    // JPEG is decoded at 1/8 or 1/4 of its size, the cheapest steps.
    const TextureSize largest = chooseTextureSize(kMaxPictureTexture, kMaxPictureTexture, work->viewHeight,
                                                  work->pictureCount);
    const int longest = std::max(largest.width, largest.height) * 3 / 2;
    for (;;) {
        if (work->stopping) return;
        const size_t job = work->nextJob++;
        if (job >= work->jobs.size()) return;
        Arrival arrival;
        arrival.picture = work->jobs[job];
        GalleryImage image;
        PictureCaption caption;
        if (decodeGalleryPicture(work->paths[arrival.picture], longest, kMatColour, image, &arrival.why,
                                 work->plaques ? &caption : nullptr) != 0) {
            if (arrival.why.empty()) arrival.why = "cannot be read";
        } else {
            // The picture's own proportions: the reduced decode rounds its
            // shorter side, to a single pixel for a long panorama.
            arrival.aspect = static_cast<float>(image.pictureHeight) / static_cast<float>(image.pictureWidth);
            const TextureSize size = chooseTextureSize(image.width, image.height, work->viewHeight, work->pictureCount);
            arrival.chain = buildMipmaps(image.rgb.data(), image.width, image.height, size);
            if (arrival.chain.levels.empty()) arrival.why = "cannot be read";
            // A picture with neither title nor date gets no plaque.
            if (work->plaques)
                makePlaqueCard(caption.title, plaqueDate(caption.year, caption.month, caption.day),
                               std::min(kPlaqueMaxWidth, plaqueRoom(arrival.aspect)),
                               pixelsPerUnitAtNearest(work->viewHeight), arrival.plaque);
        }
        std::lock_guard<std::mutex> lock(work->mutex);
        work->arrived.push_back(std::move(arrival));
    }
}

uint32_t uploadMipmaps(const MipmapChain& chain)
{
    uint32_t name = newBoundTexture(TextureLook::Smooth);
    for (size_t level = 0; level < chain.levels.size(); ++level)
        gl.glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGB, chain.sizes[level].width,
                        chain.sizes[level].height, 0, GL_RGB, GL_UNSIGNED_BYTE, chain.levels[level].data());
    return name;
}

// A plaque's card as a luminance texture (the card's colour comes with the drawing).
SlotPlaque uploadPlaque(const PlaqueCard& card)
{
    SlotPlaque plaque{};
    if (card.levels.empty()) return plaque;
    plaque.texture = newBoundTexture(TextureLook::Smooth);
    for (size_t level = 0, w = card.width, h = card.height; level < card.levels.size();
         ++level, w = std::max<size_t>(1, w / 2), h = std::max<size_t>(1, h / 2))
        gl.glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_LUMINANCE, static_cast<GLsizei>(w),
                        static_cast<GLsizei>(h), 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, card.levels[level].data());
    plaque.width = card.worldWidth;
    plaque.height = card.worldHeight;
    plaque.usedS = card.usedS;
    plaque.usedT = card.usedT;
    return plaque;
}

// The bundled default picture, through the BMP reader; a missing file ends
// the run as a missing theme texture does.
uint32_t uploadBundledPicture(const std::string& path, int pictureCount, float* aspect, TextureSize* size)
{
    // The colour table comes along: an 8-bit picture's indices mean nothing without it.
    Bitmap* bitmap = readBitmapFile(path.c_str(), 1);
    if (!bitmap) {
        explainMissingData(windowsDirectory);
        fatalError(("Fatal Error: Could not load Bitmap named " + path).c_str());
    }
    std::vector<uint8_t> pixels = packedBitmapBGR(bitmap);
    if (pixels.empty()) fatalError("Fatal Error: Out of memory!");
    swapRedBlue(bitmap->width, bitmap->height, pixels.data());
    *aspect = static_cast<float>(bitmap->height) / static_cast<float>(bitmap->width);
    *size = chooseTextureSize(bitmap->width, bitmap->height, viewHeight(), pictureCount);
    const MipmapChain chain = buildMipmaps(pixels.data(), bitmap->width, bitmap->height, *size);
    freeBitmap(bitmap);
    return uploadMipmaps(chain);
}

// Every picture has come: the slots of skipped pictures take the shown ones in
// turn; with none shown at all, every slot takes the default picture.
void settle(Museum& museum)
{
    MuseumTextures& t = museumTextures;
    std::vector<int> shown;
    for (int i = 0; i < t.pictureCount; ++i)
        if (t.pictureStates[i] == kPictureShown) shown.push_back(i);
    if (shown.empty()) {
        if (!fallbackTexture) {
            float aspect = 1.0f;
            TextureSize size{};
            fallbackTexture = uploadBundledPicture(defaultPicturePath(), 1, &aspect, &size);
            museum.hungPictureCount = std::max(museum.hungPictureCount, 1);
            for (int s = 0; s < kPictureSlots; ++s) {
                rehangSlot(museum, s, fallbackTexture, aspect, 0);
                museum.plaque[s] = SlotPlaque{};
            }
        }
        return;
    }
    size_t next = 0;
    for (int s = 0; s < kPictureSlots; ++s) {
        if (t.pictureStates[loader->slotPicture[s]] == kPictureShown) continue;
        const int picture = shown[next++ % shown.size()];
        loader->slotPicture[s] = picture;
        rehangSlot(museum, s, t.pictureTextures[picture], t.pictureAspectRatios[picture], t.pictureFrameStyles[picture]);
        museum.plaque[s] = t.picturePlaques[picture];
    }
}

void hangArrival(Museum& museum, Arrival& arrival)
{
    MuseumTextures& t = museumTextures;
    const int picture = arrival.picture;
    if (!arrival.why.empty()) {
        fprintf(stderr, "Vellamir: skipped picture \"%s\": %s\n", loader->paths[picture].c_str(), arrival.why.c_str());
        t.pictureStates[picture] = kPictureSkipped;
        return;
    }
    t.pictureTextures[picture] = uploadMipmaps(arrival.chain);
    t.pictureAspectRatios[picture] = arrival.aspect;
    t.textureWidths[picture] = arrival.chain.sizes[0].width;
    t.textureHeights[picture] = arrival.chain.sizes[0].height;
    t.pictureStates[picture] = kPictureShown;
    t.picturePlaques[picture] = uploadPlaque(arrival.plaque);
    for (int s = 0; s < kPictureSlots; ++s)
        if (loader->slotPicture[s] == picture) {
            rehangSlot(museum, s, t.pictureTextures[picture], arrival.aspect, t.pictureFrameStyles[picture]);
            museum.plaque[s] = t.picturePlaques[picture];
        }
}

// Two workers, or one per core: the drawing thread gets its share all the same.
void startWorkers()
{
    if (!loader->workers.empty() || loader->stopping || loader->jobs.empty()) return;
    unsigned workers = std::max(2u, std::min(std::thread::hardware_concurrency(), kMostWorkers));
    workers = std::min<unsigned>(workers, static_cast<unsigned>(loader->jobs.size()));
    for (unsigned i = 0; i < workers; ++i) loader->workers.emplace_back(decodeJobs, loader);
}

int hangSome(Museum& museum, bool everything)
{
    if (!loader || loader->pictureCount == 0) return 0;
    // The first call comes just before the first frame: nothing competes with it.
    if (everything || ++loader->passesSeen >= 2) startWorkers();
    size_t uploaded = 0;
    while (loader->outstanding > 0 && (everything || uploaded < kUploadBytesPerPass)) {
        Arrival arrival;
        {
            std::lock_guard<std::mutex> lock(loader->mutex);
            if (loader->arrived.empty()) break;
            arrival = std::move(loader->arrived.front());
            loader->arrived.pop_front();
        }
        if (!arrival.chain.levels.empty()) uploaded += arrival.chain.levels[0].size();
        if (!arrival.plaque.levels.empty()) uploaded += arrival.plaque.levels[0].size();
        hangArrival(museum, arrival);
        loader->outstanding--;
    }
    if (loader->outstanding == 0 && !loader->settled) {
        loader->settled = true;
        settle(museum);
    }
    return loader->outstanding;
}

} // namespace

void stopPictureLoading()
{
    if (!loader) return;
    loader->stopping = true;
    for (std::thread& worker : loader->workers) worker.join();
    loader->workers.clear();
    // Decoded pictures nobody will upload.
    std::lock_guard<std::mutex> lock(loader->mutex);
    loader->arrived.clear();
}

void loadPictureTextures()
{
    stopPictureLoading();
    MuseumTextures& t = museumTextures;
    int count = settings.pictureCount;
    if (count < 0) count = 0;
    if (count > kMaxPictures) count = kMaxPictures;
    const std::vector<std::string> entries(settings.pictures, settings.pictures + count);
    std::vector<std::string> paths = listGalleryPictures(entries, kMaxPictures);
    // Folders without a picture leave the bundled one to hang.
    if (paths.empty() && !entries.empty()) {
        fprintf(stderr, "Vellamir: no picture found in the picture list; the default picture hangs\n");
        paths.push_back(defaultPicturePath());
    }

    loader = new PictureLoader;
    loader->pictureCount = static_cast<int>(std::min<size_t>(paths.size(), kMaxPictures));
    loader->viewHeight = viewHeight();
    // Plaques belong to the museum at the screen's own size; the classic
    // modes keep their look.
    loader->plaques = settings.videoMode == kScreenSizeMode && settings.plaques != 0;
    loader->paths.assign(paths.begin(), paths.begin() + loader->pictureCount);
    fallbackTexture = 0;
    t.pictureCount = loader->pictureCount;
    for (int i = 0; i < t.pictureCount; ++i) {
        const std::string& path = loader->paths[i];
        t.pictureTextures[i] = 0;
        t.pictureAspectRatios[i] = 1.0f;
        t.textureWidths[i] = t.textureHeights[i] = 0;
        t.picturePlaques[i] = SlotPlaque{};
        if (isBundledPicture(path)) {
            TextureSize size{};
            t.pictureTextures[i] = uploadBundledPicture(path, t.pictureCount, &t.pictureAspectRatios[i], &size);
            t.textureWidths[i] = size.width, t.textureHeights[i] = size.height;
            t.pictureStates[i] = kPictureShown;
            t.pictureFrameStyles[i] = 0;
        } else {
            t.pictureStates[i] = kPictureWaiting;
            t.pictureFrameStyles[i] = frameStyleFor(path);
            loader->jobs.push_back(i);
        }
    }
    for (int s = 0; s < kPictureSlots; ++s) loader->slotPicture[s] = t.pictureCount > 0 ? s % t.pictureCount : 0;
    loader->outstanding = static_cast<int>(loader->jobs.size());
    loader->settled = loader->outstanding == 0;
    if (loader->jobs.empty()) return;

}

int hangArrivedPictures(Museum& museum)
{
    return hangSome(museum, false);
}

int picturesStillComing()
{
    return loader ? loader->outstanding : 0;
}

void finishPictureLoading(Museum& museum)
{
    while (loader && loader->outstanding > 0 && !loader->stopping) {
        if (hangSome(museum, true) > 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    hangSome(museum, true);
}
