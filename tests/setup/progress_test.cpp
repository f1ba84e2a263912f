// The progress panel: its numbers and its pixels.
#include <gtest/gtest.h>

#include "setup/progress.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << c.r << "," << c.g << "," << c.b << ")";
}

Rgb pixel(const PanelImage& image, int x, int y)
{
    const uint8_t* p = &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
    return {p[0], p[1], p[2]};
}

const Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kBlue{0, 0, 255}, kPen{0, 0, 10};

// The panel of the progress dialog: 258 by 18 dialog units.
constexpr int kWidth = 387, kHeight = 29;

} // namespace

TEST(Progress, HalfOfTheTotalAndAPercentageTruncatedNeverRoundedUp)
{
    EXPECT_EQ(progressText(500, 1000), "50% complete");
    EXPECT_EQ(progressBarRight(kWidth, 500, 1000), (kWidth - 1) / 2);
    EXPECT_EQ(progressBarRight(100, 500, 1000), 49) << "(w - 1) / 2 truncated";
    EXPECT_EQ(progressText(0, 1000), "0% complete");
    EXPECT_EQ(progressText(9, 1000), "0% complete");
    EXPECT_EQ(progressText(999, 1000), "99% complete");
    EXPECT_EQ(progressText(999999, 1000000), "99% complete");
    EXPECT_EQ(progressText(1000, 1000), "100% complete");
    EXPECT_EQ(progressText(29, 100), "29% complete") << "no floating-point shortfall";
    EXPECT_EQ(progressBarRight(kWidth, 999, 1000), 385);
    EXPECT_EQ(progressBarRight(kWidth, 1000, 1000), kWidth - 1);
}

TEST(Progress, MeaninglessTotalsStayInsideThePanel)
{
    // A total of 0 or less has no percentage: nothing is shown as copied.
    for (int32_t total : {0, -1, INT32_MIN}) {
        EXPECT_EQ(progressText(5000, total), "0% complete") << total;
        EXPECT_EQ(progressBarRight(kWidth, 5000, total), 0) << total;
    }
    // A total below the bytes copied stops at the full panel.
    EXPECT_EQ(progressText(3000, 1000), "100% complete");
    EXPECT_EQ(progressBarRight(kWidth, 3000, 1000), kWidth - 1);
    EXPECT_EQ(progressText(INT64_C(1) << 40, INT32_MAX), "100% complete");
    EXPECT_EQ(progressBarRight(kWidth, INT32_MAX - 1, INT32_MAX), kWidth - 2);

    PanelImage image;
    drawProgressPanel(kWidth, kHeight, 3000, 1000, image);
    EXPECT_EQ(image.rgb.size(), static_cast<size_t>(kWidth * kHeight * 3));
    EXPECT_EQ(pixel(image, kWidth - 1, kHeight / 2), kBlack) << "the border is not covered";
    drawProgressPanel(0, 0, 1, 1, image);
    EXPECT_TRUE(image.rgb.empty());
    drawProgressPanel(3, 2, 1, 1, image);
    EXPECT_EQ(image.rgb.size(), 18u);
}

TEST(Progress, PanelBeforeAnyCopy)
{
    PanelImage image;
    drawProgressPanel(kWidth, kHeight, 0, 1000, image);
    ASSERT_EQ(image.width, kWidth);
    ASSERT_EQ(image.height, kHeight);
    EXPECT_EQ(pixel(image, 0, 0), kBlack);
    EXPECT_EQ(pixel(image, kWidth - 1, kHeight - 1), kBlack);
    EXPECT_EQ(pixel(image, 1, 1), kWhite) << "no bar";
    EXPECT_EQ(pixel(image, 2, kHeight / 2), kWhite);

    // Black text, centred on the middle, within its cell from height/2 - 8 on.
    int left = kWidth, right = -1, top = kHeight, bottom = -1;
    for (int y = 1; y < kHeight - 1; ++y)
        for (int x = 1; x < kWidth - 1; ++x) {
            Rgb c = pixel(image, x, y);
            if (c == kWhite) continue;
            EXPECT_EQ(c, kBlack);
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    ASSERT_GE(right, left) << "the text is drawn";
    EXPECT_NEAR((left + right) / 2.0, kWidth / 2.0, 2.0);
    EXPECT_GE(top, kHeight / 2 - 8);
    EXPECT_LE(bottom, kHeight / 2 + 8);
}

TEST(Progress, BarTurnsTheTextUnderItWhite)
{
    // Nearly done: the bar covers the whole text, blue over the panel, white over the text.
    PanelImage image;
    drawProgressPanel(kWidth, kHeight, 999, 1000, image);
    int right = progressBarRight(kWidth, 999, 1000);
    int whiteText = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            Rgb c = pixel(image, x, y);
            bool inBar = x >= 1 && x <= right - 1 && y >= 1 && y <= kHeight - 2;
            bool edge = y == 1 || y == kHeight - 2 || x == 1 || x == right - 1;
            if (!inBar) {
                EXPECT_TRUE(c == kBlack || c == kWhite) << x << "," << y << " " << c;
            } else if (edge) {
                EXPECT_EQ(c, kPen) << x << "," << y;
            } else if (!(c == kBlue)) {
                EXPECT_EQ(c, kWhite) << x << "," << y;
                ++whiteText;
            }
        }
    EXPECT_GT(whiteText, 50);

    // At half the text is partly under the bar: white there, black beyond.
    drawProgressPanel(kWidth, kHeight, 500, 1000, image);
    int half = progressBarRight(kWidth, 500, 1000);
    int blackText = 0;
    whiteText = 0;
    for (int y = 2; y < kHeight - 2; ++y)
        for (int x = 2; x < kWidth - 2; ++x) {
            Rgb c = pixel(image, x, y);
            if (x < half - 1) {
                EXPECT_TRUE(c == kBlue || c == kWhite) << x << "," << y << " " << c;
                whiteText += c == kWhite;
            } else if (x > half - 1) {
                EXPECT_TRUE(c == kBlack || c == kWhite) << x << "," << y << " " << c;
                blackText += c == kBlack;
            }
        }
    EXPECT_GT(whiteText, 20);
    EXPECT_GT(blackText, 20);
    EXPECT_EQ(pixel(image, 1, 1), kPen);
    EXPECT_EQ(pixel(image, half - 1, 2), kPen);
    EXPECT_EQ(pixel(image, half, 2), kWhite);
    EXPECT_EQ(pixel(image, half, 1), kWhite);
}
