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

// Whether `big` is `small` with each pixel repeated over 2 x 2: a blurry-free but coarse enlargement.
bool isPixelDoubled(const Picture& small, const Picture& big)
{
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x)
            if (big.at(x, y) != small.at(x / 2, y / 2))
                return false;
    return true;
}

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

TEST_P(CountingPicture, isDrawnAnewAtTwiceTheSizeShowingTheSameCount)
{
    const int k = GetParam();
    const Bytes small = readFile(generated + "/pictures/" + std::to_string(100 + k) + ".dib");
    const Bytes b = readFile(generated + "/pictures/" + std::to_string(100 + k) + "@2x.dib");
    ASSERT_EQ(b.size(), 40u + 50u * 152u);
    // 16-bit words: size, 50 x 50, 1 plane, 24 bits, no compression, 7600 bytes of pixels.
    const unsigned header[] = {40, 0, 50, 0, 50, 0, 1, 24, 0, 0, 7600, 0};
    for (std::size_t w = 0; w < std::size(header); ++w)
        EXPECT_EQ(word(b, 2 * w), header[w]) << "header word " << w;
    const Picture big{b, 0};
    EXPECT_EQ(big.at(0, 0), ground);
    const std::vector<bool> pieces = blobs(big, [](Rgb c) { return c != ground; });
    EXPECT_EQ(std::count(pieces.begin(), pieces.end(), true), k / 10) << "tokens, with their dark figures";
    EXPECT_EQ(std::count(pieces.begin(), pieces.end(), false), k % 10) << "white discs";
    if (k > 0) {
        EXPECT_FALSE(isPixelDoubled({small, 0}, big));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCount, CountingPicture, ::testing::Range(0, 31));

TEST(PocketPicture, showsOnePipPerPointInBothDrawings)
{
    for (int pocket = 1; pocket <= 4; ++pocket) {
        const std::string name = generated + "/pictures/die" + std::to_string(pocket);
        const Bytes small = readFile(name + ".bmp");
        const Bytes big = readFile(name + "@2x.bmp");
        ASSERT_EQ(Picture(small, 14).width, 30);
        ASSERT_EQ(Picture(big, 14).width, 60);
        EXPECT_EQ(Picture(big, 14).height, 60);
        EXPECT_EQ(blobs({small, 14}, nearBlack).size(), std::size_t(pocket)) << pocket;
        EXPECT_EQ(blobs({big, 14}, nearBlack).size(), std::size_t(pocket)) << pocket;
        EXPECT_FALSE(isPixelDoubled({small, 14}, {big, 14})) << pocket;
    }
}

const auto dword = [](const Bytes& b, std::size_t at) { return word(b, at) | word(b, at + 2) << 16; };
const std::vector<unsigned> iconSizes{16, 24, 32, 48, 64, 128, 256, 512};

TEST(AppIcon, icoHoldsThe256ColourImageThenTrueColourOnesFrom16To256)
{
    const Bytes b = readFile(generated + "/icons/palinor.ico");
    ASSERT_GE(b.size(), 6u + 8u * 16u);
    EXPECT_EQ(word(b, 2), 1u) << "an icon, not a cursor";
    ASSERT_EQ(word(b, 4), 8u) << "images";
    const auto entry = [&](std::size_t i) { return 6 + 16 * i; };
    // The first image is the original one: 32 x 32, one plane of 8 bits, 2216 bytes, a 32 x 64 header.
    EXPECT_EQ(word(b, entry(0)), 0x2020u);
    EXPECT_EQ(word(b, entry(0) + 6), 8u);
    ASSERT_EQ(dword(b, entry(0) + 8), 2216u);
    const std::size_t first = dword(b, entry(0) + 12);
    EXPECT_EQ(dword(b, first + 4), 32u);
    EXPECT_EQ(dword(b, first + 8), 64u);
    // The mask's rows, bottom-up, follow the palette and the pixels; a set bit is transparent.
    const auto transparent = [&](std::size_t x, std::size_t y) {
        return (b.at(first + 40 + 1024 + 1024 + (31 - y) * 4 + x / 8) >> (7 - x % 8)) & 1;
    };
    EXPECT_TRUE(transparent(0, 0) && transparent(31, 0) && transparent(0, 31) && transparent(31, 31));
    EXPECT_FALSE(transparent(16, 16));

    for (std::size_t i = 1; i < 8; ++i) {
        const unsigned n = iconSizes[i - 1];
        SCOPED_TRACE(n);
        EXPECT_EQ(word(b, entry(i)), (n % 256) * 0x101u) << "width and height, 0 meaning 256";
        EXPECT_EQ(word(b, entry(i) + 6), 32u) << "bits per pixel";
        const std::size_t at = dword(b, entry(i) + 12);
        ASSERT_LE(at + dword(b, entry(i) + 8), b.size());
        if (n == 256) {
            // A PNG: its signature, then IHDR with the width and height big-endian.
            EXPECT_EQ(dword(b, at), 0x474E5089u);
            EXPECT_EQ(b.at(at + 18) << 8 | b.at(at + 19), 256);
            continue;
        }
        // BGRA rows bottom-up: the bottom-left corner is transparent, the centre opaque.
        EXPECT_EQ(dword(b, at + 4), n);
        EXPECT_EQ(dword(b, at + 8), 2 * n);
        EXPECT_EQ(word(b, at + 14), 32u);
        EXPECT_EQ(b.at(at + 40 + 3), 0);
        EXPECT_EQ(b.at(at + 40 + 4 * (n / 2 * n + n / 2) + 3), 255);
    }
}

TEST(Picgen, drawsTheSameBytesOnEveryRun)
{
    // Drawn again beside the test; left there for a look when they differ.
    const std::string rerun = "rm -rf again && \"" PICGEN "\" again && diff -r \"" + generated + "\" again";
    EXPECT_EQ(std::system((rerun + " && rm -r again").c_str()), 0);
}

} // namespace
