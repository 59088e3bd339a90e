// The pictures and the icon as the program finds them: Qt resources, read through Qt's own image readers.
#include "app/resources/PalinorResources.h"

#include <QImageReader>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

const QRgb kGround = qRgb(128, 64, 0);
const auto nearBlack = [](QRgb c) { return std::max({qRed(c), qGreen(c), qBlue(c)}) < 64; };

// The groups of 8-connected pixels that pass `in` (two touching pieces make one), each told by whether it
// holds a near-black pixel.
static std::vector<bool> pieces(const QImage& image, bool (*in)(QRgb))
{
    std::vector<bool> seen(std::size_t(image.width() * image.height())), dark;
    const auto fill = [&](const auto& self, QPoint p) -> void {
        const auto i = std::size_t(p.y() * image.width() + p.x());
        if (!image.valid(p) || seen[i] || !in(image.pixel(p)))
            return;
        seen[i] = true;
        dark.back() = dark.back() || nearBlack(image.pixel(p));
        for (int n = 0; n < 9; ++n)
            self(self, p + QPoint(n % 3 - 1, n / 3 - 1));
    };
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!seen[std::size_t(y * image.width() + x)] && in(image.pixel(x, y)))
                fill(fill, (dark.push_back(false), QPoint(x, y)));
    return dark;
}

TEST(Resources, countingPicturesAndDieFacesShowTheirCountAtBothSizes)
{
    palinor_init_resources();
    for (const auto& [suffix, scale] : {std::pair{"", 1}, {"@2x", 2}}) {
        for (int k = 0; k <= 30; ++k) {
            const QImage shown(QStringLiteral(":/pictures/%1%2.png").arg(100 + k).arg(suffix));
            ASSERT_EQ(shown.size(), QSize(25, 25) * scale) << k << suffix;
            // Tokens carry their dark figures, white discs none; no piece touches another.
            const std::vector<bool> found = pieces(shown, [](QRgb c) { return c != kGround; });
            EXPECT_EQ(std::count(found.begin(), found.end(), true), k / 10) << k << suffix;
            EXPECT_EQ(std::count(found.begin(), found.end(), false), k % 10) << k << suffix;
        }
        for (int pips = 1; pips <= 4; ++pips) {
            const QImage shown(QStringLiteral(":/pictures/die%1%2.png").arg(pips).arg(suffix));
            ASSERT_EQ(shown.size(), QSize(30, 30) * scale) << pips << suffix;
            EXPECT_EQ(pieces(shown, nearBlack).size(), std::size_t(pips)) << pips << suffix;
        }
    }
}

TEST(Resources, iconIsATransparentSquareAtEverySizeAndTheIcoHoldsItFrom16To256)
{
    for (int n : palinor::kApplicationIconSizes) {
        const QImage png(QStringLiteral(":/icons/palinor-%1.png").arg(n));
        ASSERT_EQ(png.size(), QSize(n, n));
        EXPECT_TRUE(qAlpha(png.pixel(0, 0)) == 0 && qAlpha(png.pixel(n / 2, n / 2)) == 255) << n;
    }
    QImageReader ico(QStringLiteral(":/icons/palinor.ico"));
    QList<int> sides;
    do {
        const QImage image = ico.read().convertToFormat(QImage::Format_ARGB32);
        const QImage png(QStringLiteral(":/icons/palinor-%1.png").arg(image.width()));
        EXPECT_TRUE(!image.isNull() && image == png.convertToFormat(QImage::Format_ARGB32))
            << image.width() << qPrintable(ico.errorString()) << " (is Qt's ico plugin installed?)";
        sides << image.width();
    } while (ico.jumpToNextImage());
    EXPECT_EQ(sides, (QList<int>{16, 24, 32, 48, 64, 128, 256}));
}

TEST(Picgen, drawsTheSameBytesOnEveryRun)
{
    // Drawn again beside the test; left there for a look when they differ.
    EXPECT_FALSE(std::system("rm -rf again && '" PICGEN "' again && diff -r '" PALINOR_GENERATED_DIR
                             "' again && rm -r again"));
}
