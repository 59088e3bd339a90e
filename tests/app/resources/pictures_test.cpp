// The files picgen draws, read back byte by byte from the build folder.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;
const fs::path generated = PALINOR_GENERATED_DIR;

Bytes readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le(const Bytes& b, std::size_t at, int size = 4)
{
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return v;
}

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

// 24-bit bottom-up rows after a BITMAPINFOHEADER starting at `header`.
struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Picture(const Bytes& b, std::size_t header)
        : width(int(le(b, header + 4))), height(int(le(b, header + 8)))
    {
        const std::size_t stride = (std::size_t(width) * 3 + 3) / 4 * 4;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::size_t at =
                    header + 40 + std::size_t(height - 1 - y) * stride + std::size_t(x) * 3;
                pixels.push_back({b.at(at + 2), b.at(at + 1), b.at(at)});
            }
    }
    Rgb at(int x, int y) const { return pixels[std::size_t(y * width + x)]; }
};

struct Blob {
    int area = 0, left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    std::vector<Rgb> colours;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    bool has(bool (*test)(Rgb)) const { return std::any_of(colours.begin(), colours.end(), test); }
};

// Connected pixels (8 neighbours) that pass `inBlob`; two pieces found as one blob would be touching.
template <class Pred> std::vector<Blob> blobs(const Picture& p, Pred inBlob)
{
    std::vector<int> seen(p.pixels.size(), 0);
    std::vector<Blob> found;
    for (int start = 0; start < int(p.pixels.size()); ++start) {
        if (seen[std::size_t(start)] || !inBlob(p.pixels[std::size_t(start)]))
            continue;
        Blob blob;
        std::vector<int> todo{start};
        seen[std::size_t(start)] = 1;
        while (!todo.empty()) {
            const int i = todo.back();
            todo.pop_back();
            const int x = i % p.width, y = i / p.width;
            ++blob.area;
            blob.left = std::min(blob.left, x);
            blob.right = std::max(blob.right, x);
            blob.top = std::min(blob.top, y);
            blob.bottom = std::max(blob.bottom, y);
            blob.colours.push_back(p.pixels[std::size_t(i)]);
            for (int ny = y - 1; ny <= y + 1; ++ny)
                for (int nx = x - 1; nx <= x + 1; ++nx)
                    if (nx >= 0 && ny >= 0 && nx < p.width && ny < p.height &&
                        !seen[std::size_t(ny * p.width + nx)] && inBlob(p.at(nx, ny))) {
                        seen[std::size_t(ny * p.width + nx)] = 1;
                        todo.push_back(ny * p.width + nx);
                    }
        }
        found.push_back(blob);
    }
    return found;
}

constexpr Rgb ground{128, 64, 0};
constexpr auto nearBlack = [](Rgb c) { return std::max({c.r, c.g, c.b}) < 64; };
constexpr auto pureWhite = [](Rgb c) { return c == Rgb{255, 255, 255}; };
constexpr auto greyFigure = [](Rgb c) { return c.r == c.g && c.g == c.b && c.r >= 120 && c.r <= 180; };
constexpr auto softEdge = [](Rgb c) { return c.r > ground.r && c.r < 255 && c.b > ground.b && c.b < 255; };

Bytes counting(int count)
{
    return readFile(generated / "pictures" / (std::to_string(100 + count) + ".dib"));
}

class CountingPicture : public ::testing::TestWithParam<int> {};

TEST_P(CountingPicture, isAHeaderlessDibOf25x25TrueColourPixels)
{
    const int k = GetParam();
    const Bytes b = counting(k);
    ASSERT_EQ(b.size(), 1940u);
    const std::uint32_t resolution = k == 0 ? 2834 : k <= 10 ? 2795 : k <= 19 ? 2755 : k <= 29 ? 2716 : 2677;
    constexpr std::uint32_t planesAndBits = 1 | (24u << 16);
    const std::array<std::uint32_t, 10> header{40,         25, 25, planesAndBits, 0, 1900, resolution,
                                               resolution, 0,  0};
    for (std::size_t field = 0; field < 10; ++field)
        EXPECT_EQ(le(b, field * 4), header[field]) << "header field " << field;
    for (std::size_t row = 0; row < 25; ++row)
        EXPECT_EQ(b[40 + row * 76 + 75], 0) << "padding of row " << row;
}

TEST_P(CountingPicture, showsTensAsTokensAndUnitsAsSoftWhiteDiscsApartOnTheGround)
{
    const int k = GetParam();
    const Picture p(counting(k), 0);
    for (auto [x, y] : {std::pair{0, 0}, {24, 0}, {0, 24}, {24, 24}})
        EXPECT_EQ(p.at(x, y), ground) << x << "," << y;
    std::vector<Blob> tokens, units;
    for (const Blob& blob : blobs(p, [](Rgb c) { return !(c == ground); }))
        (blob.has(nearBlack) ? tokens : units).push_back(blob);
    ASSERT_EQ(int(tokens.size()), k / 10);
    ASSERT_EQ(int(units.size()), k % 10);
    for (const Blob& t : tokens) {
        EXPECT_EQ(t.width(), 8);
        EXPECT_EQ(t.height(), 8);
        EXPECT_TRUE(t.has(pureWhite) && t.has(greyFigure)) << "a token has a white rim and grey figures";
    }
    for (const Blob& u : units) {
        // A disc cut by the border would be smaller than the others.
        EXPECT_EQ(u.width(), units.front().width());
        EXPECT_EQ(u.area, units.front().area);
        EXPECT_EQ(u.width(), u.height());
        EXPECT_TRUE(u.width() == 5 || u.width() == 6) << u.width();
        EXPECT_TRUE(u.has(pureWhite) && u.has(softEdge)) << "a white disc with a blended edge";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCount, CountingPicture, ::testing::Range(0, 31));

TEST(PocketPicture, isAWoodTileWithOnePipPerPointInItsPlace)
{
    // Pip centres in thirds of the tile: 0 left or top, 1 middle, 2 right or bottom.
    using Centres = std::vector<std::pair<int, int>>;
    const std::array<Centres, 4> expected{
        {{{1, 1}}, {{0, 0}, {2, 2}}, {{1, 0}, {0, 2}, {2, 2}}, {{0, 0}, {2, 0}, {0, 2}, {2, 2}}}};
    for (int pocket = 1; pocket <= 4; ++pocket) {
        SCOPED_TRACE("die" + std::to_string(pocket));
        const Bytes b = readFile(generated / "pictures" / ("die" + std::to_string(pocket) + ".bmp"));
        ASSERT_EQ(b.size(), 14u + 40u + 30u * 92u);
        EXPECT_EQ(le(b, 0, 2), 0x4D42u); // "BM"
        EXPECT_EQ(le(b, 2), b.size());
        EXPECT_EQ(le(b, 10), 54u);
        EXPECT_EQ(le(b, 28, 2), 24u);
        const Picture p(b, 14);
        ASSERT_EQ(p.width, 30);
        ASSERT_EQ(p.height, 30);
        Centres centres;
        for (const Blob& pip : blobs(p, nearBlack)) {
            EXPECT_TRUE(pip.width() >= 5 && pip.width() <= 7) << pip.width();
            centres.push_back({(pip.left + pip.right) / 20, (pip.top + pip.bottom) / 20});
        }
        std::sort(centres.begin(), centres.end(),
                  [](auto a, auto b) { return std::pair(a.second, a.first) < std::pair(b.second, b.first); });
        EXPECT_EQ(centres, expected[std::size_t(pocket - 1)]);
        const Rgb wood = p.at(2, 15);
        EXPECT_TRUE(std::abs(wood.r - 245) < 30 && std::abs(wood.g - 182) < 30 && std::abs(wood.b - 87) < 30);
        // The grain runs down the tile: between wood pixels, colours change more across it than along it.
        const auto woodStep = [](Rgb a, Rgb b) {
            return a.b < 140 && b.b < 140 && a.g > 120 && b.g > 120 ? std::abs(a.g - b.g) : 0;
        };
        int along = 0, across = 0;
        for (int y = 1; y < 28; ++y)
            for (int x = 1; x < 28; ++x) {
                along += woodStep(p.at(x, y + 1), p.at(x, y));
                across += woodStep(p.at(x + 1, y), p.at(x, y));
            }
        EXPECT_GT(across, 2 * along);
    }
}

TEST(AppIcon, holdsOne32x32PaletteImageOfAWoodDiscOnATransparentGround)
{
    const Bytes b = readFile(generated / "icons" / "palinor.ico");
    ASSERT_EQ(b.size(), 6u + 16u + 2216u);
    EXPECT_EQ(le(b, 0), 1u << 16);         // reserved 0, type icon
    EXPECT_EQ(le(b, 4, 2), 1u);            // one image
    EXPECT_EQ(le(b, 6), 32u | (32u << 8)); // 32 x 32, 0 = 256 colours
    EXPECT_EQ(le(b, 10), 1u | (8u << 16)); // 1 plane, 8 bits
    EXPECT_EQ(le(b, 14), 2216u);
    EXPECT_EQ(le(b, 18), 22u);
    EXPECT_EQ(le(b, 22), 40u);
    EXPECT_EQ(le(b, 26), 32u);
    EXPECT_EQ(le(b, 30), 64u); // colour rows and mask rows
    EXPECT_EQ(le(b, 36, 2), 8u);
    constexpr std::size_t palette = 22 + 40, pixels = palette + 1024, mask = pixels + 1024;
    const auto opaque = [&](int x, int y) {
        return !((b[mask + std::size_t(31 - y) * 4 + std::size_t(x / 8)] >> (7 - x % 8)) & 1);
    };
    const auto colour = [&](int x, int y) {
        const std::size_t entry =
            palette + 4 * std::size_t(b[pixels + std::size_t(31 - y) * 32 + std::size_t(x)]);
        return Rgb{b[entry + 2], b[entry + 1], b[entry]};
    };
    int widest = 0;
    for (int y = 0; y < 32; ++y) {
        int row = 0;
        for (int x = 0; x < 32; ++x)
            row += opaque(x, y);
        widest = std::max(widest, row);
    }
    EXPECT_EQ(widest, 22);
    EXPECT_FALSE(opaque(0, 0) || opaque(31, 0) || opaque(0, 31) || opaque(31, 31));
    ASSERT_TRUE(opaque(16, 16));
    const Rgb face = colour(14, 14);
    EXPECT_TRUE(std::abs(face.r - 249) < 10 && std::abs(face.g - 220) < 10 && std::abs(face.b - 168) < 10);
    int right = 31;
    while (!opaque(right, 16))
        --right;
    const Rgb shadow = colour(right, 16);
    EXPECT_TRUE(shadow.r == shadow.g && shadow.g == shadow.b && shadow.r < 200) << "grey band on the right";
}

TEST(Picgen, drawsTheSameBytesOnEveryRun)
{
    const fs::path again = fs::temp_directory_path() / "palinor-picgen-rerun";
    ASSERT_EQ(std::system(("\"" PICGEN "\" \"" + again.string() + "\"").c_str()), 0);
    int compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(generated))
        if (entry.is_regular_file()) {
            EXPECT_EQ(readFile(entry.path()), readFile(again / fs::relative(entry.path(), generated)))
                << entry.path();
            ++compared;
        }
    fs::remove_all(again);
    EXPECT_EQ(compared, 31 + 4 + 2);
}

} // namespace
