// Any bytes as a plaque's title and date (they come from a photo's metadata
// and file name): the card is set without reading or writing past a buffer,
// stays within its bounds and has every mipmap level of its size.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "plaques/plaques.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The fonts are opened once and kept for the process, as in a run.
    PlaqueCard card;
    makePlaqueCard("Harbour", "2019-06-14", kPlaqueMaxWidth, 1250.0f, card);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte splits title from date and sets the room beside the frame.
    const size_t split = size > 0 ? data[0] % (size + 1) : 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string title = bytes.substr(size > 0 ? 1 : 0, split), date = bytes.substr(std::min(size, split + 1));
    const float room = kPlaqueMinWidth + (size > 0 ? data[size - 1] : 0) / 255.0f * (kPlaqueMaxWidth - kPlaqueMinWidth);
    PlaqueCard card;
    if (makePlaqueCard(title, date, room, 1250.0f, card) != 0) {
        if (!card.levels.empty()) abort();
        return 0;
    }
    if (card.width < 1 || card.height < 1 || card.width > 1024 || card.levels.empty()) abort();
    if (card.levels[0].size() != size_t(card.width) * size_t(card.height) || card.levels.back().size() != 1) abort();
    if (card.worldWidth > room + 1e-3f || !(card.usedS > 0 && card.usedS <= 1 && card.usedT > 0 && card.usedT <= 1))
        abort();
    return 0;
}
