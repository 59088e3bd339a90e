// The files picgen draws, read back byte by byte from the build folder.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Rgb = std::array<int, 3>;
const std::string generated = PALINOR_GENERATED_DIR;
constexpr Rgb ground{128, 64, 0};

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The little-endian 16-bit word at `at`.
const auto word = [](const Bytes& b, std::size_t at) -> unsigned { return b.at(at) | b.at(at + 1) << 8; };

// 24-bit rows, stored bottom-up and padded to 4 bytes, after the BITMAPINFOHEADER at `header`.
struct Picture {
    const Bytes& b;
    std::size_t header;
    int width = int(word(b, header + 4)), height = int(word(b, header + 8));
    Rgb at(int x, int y) const
    {
        const int i = int(header) + 40 + (height - 1 - y) * ((width * 3 + 3) / 4 * 4) + x * 3;
        return {b.at(std::size_t(i + 2)), b.at(std::size_t(i + 1)), b.at(std::size_t(i))};
    }
};

const auto nearBlack = [](Rgb c) { return std::max({c[0], c[1], c[2]}) < 64; };

// The groups of 8-connected pixels that pass `in` (two touching pieces make one), each told by whether it
// holds a near-black pixel.
std::vector<bool> blobs(const Picture& p, bool (*in)(Rgb))
{
    std::vector<bool> seen(std::size_t(p.width * p.height)), dark;
    const auto fill = [&](const auto& self, int x, int y) -> void {
        const std::size_t i = std::size_t(y * p.width + x);
        if (x < 0 || y < 0 || x >= p.width || y >= p.height || seen[i] || !in(p.at(x, y)))
            return;
        seen[i] = true;
        dark.back() = dark.back() || nearBlack(p.at(x, y));
        for (int n = 0; n < 9; ++n)
            self(self, x + n % 3 - 1, y + n / 3 - 1);
    };
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (!seen[std::size_t(y * p.width + x)] && in(p.at(x, y))) {
                dark.push_back(false);
                fill(fill, x, y);
            }
    return dark;
}

class CountingPicture : public ::testing::TestWithParam<int> {};

TEST_P(CountingPicture, isAHeaderlessDibShowingTensAsTokensAndUnitsAsDiscsApartOnTheGround)
{
    const int k = GetParam();
    const Bytes b = readFile(generated + "/pictures/" + std::to_string(100 + k) + ".dib");
    ASSERT_EQ(b.size(), 1940u);
    const unsigned dpm = k == 0 ? 2834 : k <= 10 ? 2795 : k <= 19 ? 2755 : k <= 29 ? 2716 : 2677;
    // 16-bit words: size, 25 x 25, 1 plane, 24 bits, no compression, 1900 bytes of pixels, dpm, no palette.
    const unsigned header[] = {40, 0, 25, 0, 25, 0, 1, 24, 0, 0, 1900, 0, dpm, 0, dpm, 0, 0, 0, 0, 0};
    for (std::size_t w = 0; w < std::size(header); ++w)
        EXPECT_EQ(word(b, 2 * w), header[w]) << "header word " << w;
    for (std::size_t row = 0; row < 25; ++row)
        EXPECT_EQ(b[40 + row * 76 + 75], 0) << "padding of row " << row;
    EXPECT_EQ(Picture(b, 0).at(0, 0), ground);
    const std::vector<bool> pieces = blobs({b, 0}, [](Rgb c) { return c != ground; });
    EXPECT_EQ(std::count(pieces.begin(), pieces.end(), true), k / 10) << "tokens, with their dark figures";
    EXPECT_EQ(std::count(pieces.begin(), pieces.end(), false), k % 10) << "white discs";
}

INSTANTIATE_TEST_SUITE_P(EveryCount, CountingPicture, ::testing::Range(0, 31));

TEST(PocketPicture, showsOnePipPerPoint)
{
    for (int pocket = 1; pocket <= 4; ++pocket) {
        const Bytes b = readFile(generated + "/pictures/die" + std::to_string(pocket) + ".bmp");
        EXPECT_EQ(blobs({b, 14}, nearBlack).size(), std::size_t(pocket)) << pocket;
    }
}

TEST(AppIcon, holdsOne32x32PaletteImageWhoseMaskClearsTheCorners)
{
    const Bytes b = readFile(generated + "/icons/palinor.ico");
    ASSERT_EQ(b.size(), 6u + 16u + 2216u);
    // 16-bit words: an icon of one 32 x 32 image, one plane of 8 bits, 2216 bytes at 22, then a
    // BITMAPINFOHEADER of 32 x 64: the colour rows and the mask rows.
    const unsigned words[] = {0, 1, 1, 0x2020, 0, 1, 8, 2216, 0, 22, 0, 40, 0, 32, 0, 64, 0, 1, 8};
    for (std::size_t w = 0; w < std::size(words); ++w)
        EXPECT_EQ(word(b, 2 * w), words[w]) << "word " << w;
    // The mask's rows, bottom-up, follow the palette and the pixels; a set bit is transparent.
    const auto transparent = [&](std::size_t x, std::size_t y) {
        return (b[22 + 40 + 1024 + 1024 + (31 - y) * 4 + x / 8] >> (7 - x % 8)) & 1;
    };
    EXPECT_TRUE(transparent(0, 0) && transparent(31, 0) && transparent(0, 31) && transparent(31, 31));
    EXPECT_FALSE(transparent(16, 16));
}

TEST(Picgen, drawsTheSameBytesOnEveryRun)
{
    // Drawn again beside the test; left there for a look when they differ.
    const std::string rerun = "rm -rf again && \"" PICGEN "\" again && diff -r \"" + generated + "\" again";
    EXPECT_EQ(std::system((rerun + " && rm -r again").c_str()), 0);
}

} // namespace
