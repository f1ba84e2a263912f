// Plaque cards set with the system's fonts: wrapping, the side a line starts
// from, and the date's form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "plaques/plaques.h"
#include "tests/support/test_support.h"

namespace {

constexpr float kTexelsPerUnit = 1250.0f;   // a 1080-line screen at the nearest point of the walk

PlaqueCard cardOf(const std::string& title, const std::string& date = "2019-06-14", float room = 0.16f)
{
    PlaqueCard card;
    EXPECT_EQ(makePlaqueCard(title, date, room, kTexelsPerUnit, card), 0) << title;
    return card;
}

// The first and last columns of level 0 darker than the card's edge, inside
// it, in its upper part (a card's first line) or all of it.
void inkColumns(const PlaqueCard& card, int* first, int* last, bool firstLine = false)
{
    const int width = static_cast<int>(card.usedS * card.width + 0.5f);
    const int height = static_cast<int>(card.usedT * card.height + 0.5f);
    *first = width, *last = -1;
    for (int y = 3; y < (firstLine ? height * 2 / 5 : height - 3); ++y)
        for (int x = 3; x < width - 3; ++x)
            if (card.levels[0][static_cast<size_t>(y) * card.width + x] < 128) {
                *first = std::min(*first, x);
                *last = std::max(*last, x);
            }
}

} // namespace

TEST(PlaqueCards, TitlesWrapToThreeLinesAndReadFromTheirOwnSide)
{
    const PlaqueCard one = cardOf("Harbour");
    const PlaqueCard three = cardOf("The harbour at dawn seen from the old lighthouse");
    const PlaqueCard many = cardOf(std::string(40, 'x') + " the harbour at dawn seen from the old lighthouse again and again");
    EXPECT_GT(three.worldHeight, one.worldHeight + 0.03f) << "two more lines";
    EXPECT_FLOAT_EQ(many.worldHeight, three.worldHeight) << "never more than three lines";
    for (const PlaqueCard* card : {&one, &three, &many}) {
        EXPECT_LE(card->worldWidth, 0.16f + 1e-4f);
        EXPECT_EQ(card->levels.size(), 1 + static_cast<size_t>(std::log2(std::max(card->width, card->height))));
        EXPECT_EQ(card->levels.back().size(), 1u);
    }

    // A short title over a longer date: a Latin one starts at the left
    // margin, an Arabic one ("sea") at the right.
    const PlaqueCard latin = cardOf("Sea", "2019-06-14");
    const PlaqueCard arabic = cardOf("\xD8\xA8\xD8\xAD\xD8\xB1", "2019-06-14");
    int first = 0, last = 0;
    inkColumns(latin, &first, &last, true);
    EXPECT_LT(first, 20);
    const int arabicWidth = static_cast<int>(arabic.usedS * arabic.width + 0.5f);
    inkColumns(arabic, &first, &last, true);
    EXPECT_GT(last, arabicWidth - 20);
    EXPECT_GT(first, 40);

    PlaqueCard none;
    EXPECT_EQ(makePlaqueCard(" ", "", 0.16f, kTexelsPerUnit, none), 1);
    EXPECT_TRUE(none.levels.empty());
}

TEST(PlaqueCards, TheDateIsIsoInTheCLocale)
{
    ScopedEnv all("LC_ALL", "C");
    EXPECT_EQ(plaqueDate(2019, 6, 14), "2019-06-14");
    EXPECT_EQ(plaqueDate(0, 0, 0), "");
}
