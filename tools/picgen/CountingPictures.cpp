#include "CountingPictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace palinor::picgen {
namespace {

struct Point {
    int x;
    int y;
};

// Unit discs come in two sizes: 6 px where there is room, 5 px in the crowded pictures.
enum class Disc { Wide, Narrow };

// Hand-placed top-left corners; each piece keeps at least one brown pixel (8-connected) from the others.
struct Layout {
    Disc disc;
    std::vector<Point> tokens;
    std::vector<Point> units;
};

const std::vector<Layout>& layouts()
{
    static const std::vector<Point> upperLeft{{1, 1}};
    static const std::vector<Point> middle{{2, 8}, {14, 9}};
    static const std::vector<Point> top{{1, 0}, {12, 1}};
    static const std::vector<Layout> table{
        {Disc::Wide, {}, {}},
        {Disc::Wide, {}, {{2, 10}}},
        {Disc::Wide, {}, {{3, 5}, {15, 13}}},
        {Disc::Wide, {}, {{2, 3}, {15, 6}, {8, 16}}},
        {Disc::Wide, {}, {{3, 3}, {15, 2}, {4, 15}, {16, 14}}},
        {Disc::Wide, {}, {{2, 2}, {16, 3}, {9, 9}, {3, 16}, {17, 17}}},
        {Disc::Wide, {}, {{1, 4}, {9, 2}, {17, 5}, {2, 15}, {10, 17}, {18, 14}}},
        {Disc::Wide, {}, {{2, 1}, {10, 2}, {18, 1}, {5, 10}, {14, 9}, {3, 18}, {15, 18}}},
        {Disc::Wide, {}, {{1, 1}, {9, 2}, {17, 1}, {4, 9}, {14, 10}, {1, 18}, {9, 17}, {18, 18}}},
        {Disc::Wide, {}, {{1, 1}, {9, 2}, {18, 1}, {2, 9}, {10, 10}, {18, 9}, {1, 17}, {9, 18}, {18, 17}}},
        {Disc::Wide, upperLeft, {}},
        {Disc::Wide, upperLeft, {{14, 12}}},
        {Disc::Wide, upperLeft, {{15, 3}, {8, 15}}},
        {Disc::Wide, upperLeft, {{16, 2}, {4, 15}, {16, 14}}},
        {Disc::Wide, upperLeft, {{12, 2}, {17, 10}, {3, 14}, {11, 18}}},
        {Disc::Wide, upperLeft, {{11, 1}, {18, 3}, {1, 11}, {16, 12}, {9, 18}}},
        {Disc::Wide, upperLeft, {{11, 2}, {18, 1}, {2, 10}, {18, 10}, {5, 18}, {15, 18}}},
        {Disc::Wide, upperLeft, {{11, 1}, {18, 2}, {1, 10}, {9, 11}, {17, 10}, {3, 18}, {13, 18}}},
        {Disc::Wide, upperLeft, {{10, 2}, {18, 1}, {1, 10}, {10, 10}, {18, 9}, {1, 18}, {10, 18}, {18, 17}}},
        {Disc::Narrow,
         upperLeft,
         {{11, 1}, {18, 2}, {0, 11}, {6, 10}, {13, 11}, {19, 10}, {2, 18}, {10, 19}, {17, 18}}},
        {Disc::Wide, middle, {}},
        {Disc::Wide, middle, {{10, 0}}},
        {Disc::Wide, middle, {{5, 0}, {13, 18}}},
        {Disc::Wide, middle, {{3, 0}, {15, 1}, {9, 18}}},
        {Disc::Wide, middle, {{4, 1}, {15, 0}, {2, 18}, {14, 18}}},
        {Disc::Wide, middle, {{1, 0}, {9, 1}, {18, 0}, {4, 18}, {15, 19}}},
        {Disc::Wide, middle, {{1, 0}, {9, 1}, {18, 0}, {1, 18}, {10, 19}, {18, 18}}},
        {Disc::Wide, {{0, 1}, {10, 0}}, {{19, 2}, {1, 10}, {9, 11}, {18, 10}, {2, 18}, {11, 18}, {18, 18}}},
        {Disc::Narrow, top, {{0, 10}, {9, 11}, {16, 10}, {4, 15}, {20, 15}, {0, 20}, {10, 19}, {16, 20}}},
        {Disc::Narrow,
         top,
         {{0, 10}, {8, 10}, {16, 10}, {4, 15}, {12, 15}, {20, 15}, {0, 20}, {8, 20}, {16, 20}}},
        {Disc::Wide, {{1, 2}, {15, 1}, {8, 14}}, {}},
    };
    return table;
}

// Coverage of a white disc (0..255); the ring below 255 is the soft edge into the brown.
constexpr std::array<std::array<int, 6>, 6> wideDisc{{
    {0, 120, 215, 215, 120, 0},
    {120, 255, 255, 255, 255, 120},
    {215, 255, 255, 255, 255, 215},
    {215, 255, 255, 255, 255, 215},
    {120, 255, 255, 255, 255, 120},
    {0, 120, 215, 215, 120, 0},
}};

constexpr std::array<std::array<int, 5>, 5> narrowDisc{{
    {0, 120, 210, 120, 0},
    {120, 255, 255, 255, 120},
    {210, 255, 255, 255, 210},
    {120, 255, 255, 255, 120},
    {0, 120, 210, 120, 0},
}};

// The ten-token: a rim lit from above (W white, H light grey, G grey; lower case = blended into the
// brown), a near-black face K and the figures "10" in grey D, the corners of the 0 softened with E.
constexpr std::array<const char*, 8> token{
    "..wWWw..", //
    ".WKKKKW.", //
    "wKDKEDEw", //
    "WKDKDKDW", //
    "WKDKDKDH", //
    "hKDKEDEh", //
    ".HKKKKH.", //
    "..gGGg..", //
};

constexpr Rgb white{255, 255, 255};
constexpr int rimBlend = 150;

Rgb tokenColour(char code)
{
    switch (code) {
    case 'W':
    case 'w':
        return white;
    case 'H':
    case 'h':
        return {226, 226, 226};
    case 'G':
    case 'g':
        return {192, 192, 192};
    case 'K':
        return {28, 24, 20};
    case 'D':
        return {150, 150, 150};
    case 'E':
        return {88, 88, 88};
    default:
        throw std::logic_error(std::string("unknown token pixel ") + code);
    }
}

// Paints pieces and remembers which piece owns each pixel, so that a layout mistake stops the build.
class Board {
public:
    Board(int count, int side)
        : m_count(count), m_side(side), m_owner(static_cast<std::size_t>(side * side)),
          m_picture(side, side, groundColour)
    {
    }

    void paint(int x, int y, Rgb colour)
    {
        if (x < 0 || y < 0 || x >= m_side || y >= m_side)
            fail("a piece leaves the picture");
        for (int ny = y - 1; ny <= y + 1; ++ny)
            for (int nx = x - 1; nx <= x + 1; ++nx)
                if (nx >= 0 && ny >= 0 && nx < m_side && ny < m_side && owner(nx, ny) != 0 &&
                    owner(nx, ny) != m_piece)
                    fail("two pieces touch");
        owner(x, y) = m_piece;
        m_picture.set(x, y, colour);
    }
    void nextPiece() { ++m_piece; }
    Raster picture() const { return m_picture; }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::logic_error("counting picture " + std::to_string(100 + m_count) + " at " +
                               std::to_string(m_side) + " px: " + what);
    }
    int& owner(int x, int y) { return m_owner[static_cast<std::size_t>(y * m_side + x)]; }

    int m_count;
    int m_side;
    int m_piece = 0;
    std::vector<int> m_owner;
    Raster m_picture;
};

template <std::size_t N>
void paintDisc(Board& board, Point at, const std::array<std::array<int, N>, N>& coverage)
{
    board.nextPiece();
    for (std::size_t row = 0; row < N; ++row)
        for (std::size_t col = 0; col < N; ++col)
            if (const int alpha = coverage[row][col]; alpha > 0)
                board.paint(at.x + static_cast<int>(col), at.y + static_cast<int>(row),
                            blend(groundColour, white, alpha));
}

void paintToken(Board& board, Point at)
{
    board.nextPiece();
    for (int row = 0; row < static_cast<int>(token.size()); ++row) {
        for (int col = 0; token[row][col] != '\0'; ++col) {
            const char code = token[row][col];
            if (code == '.')
                continue;
            const bool blended = code >= 'a' && code <= 'z';
            board.paint(at.x + col, at.y + row,
                        blended ? blend(groundColour, tokenColour(code), rimBlend) : tokenColour(code));
        }
    }
}

// The larger drawings are computed from shapes rather than from the hand-made pixel tables, so that
// they gain detail instead of repeating each pixel.
constexpr int subSamples = 4;

// A white disc whose edge fades into the brown over `softness` pixels, as the small discs' edges do.
void paintRoundDisc(Board& board, double cx, double cy, double radius, double softness)
{
    board.nextPiece();
    const double reach = radius + softness / 2;
    for (int y = static_cast<int>(std::floor(cy - reach)); y < std::ceil(cy + reach); ++y)
        for (int x = static_cast<int>(std::floor(cx - reach)); x < std::ceil(cx + reach); ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double cover = std::clamp((radius - d) / softness + 0.5, 0.0, 1.0);
            if (const int alpha = static_cast<int>(std::lround(cover * 255)); alpha > 0)
                board.paint(x, y, blend(groundColour, white, alpha));
        }
}

bool insideRoundedBox(double u, double v, double left, double top, double right, double bottom, double corner)
{
    const double nearestU = std::clamp(u, left + corner, right - corner);
    const double nearestV = std::clamp(v, top + corner, bottom - corner);
    return u >= left && u <= right && v >= top && v <= bottom &&
           std::hypot(u - nearestU, v - nearestV) <= corner;
}

// The ten-token at a point given in the small token's pixels (0..8), so the shapes read like the table
// above: the rim lit from above, the dark face and "10", whose strokes fall on whole pixels at 2x.
Rgb tokenSample(double u, double v, bool& inside)
{
    const double dx = u - 4.0;
    const double dy = v - 4.0;
    const double d = std::hypot(dx, dy);
    inside = d <= 3.95;
    if (!inside)
        return {};
    if (d > 3.2) {
        // Lit from the top left: white above, light grey on the lower right, grey at the bottom.
        const double shade = std::clamp((dy + 0.3 * dx) / d, -1.0, 1.0);
        if (shade < 0.25)
            return white;
        return shade < 0.7 ? tokenColour('H') : tokenColour('G');
    }
    const bool one = u >= 2.0 && u <= 3.0 && v >= 2.0 && v <= 6.0;
    const bool zero =
        insideRoundedBox(u, v, 4.0, 2.0, 7.0, 6.0, 1.0) && !insideRoundedBox(u, v, 5.0, 3.0, 6.0, 5.0, 0.4);
    return one || zero ? tokenColour('D') : tokenColour('K');
}

void paintLargeToken(Board& board, Point at, int scale)
{
    board.nextPiece();
    const int side = 8 * scale;
    for (int row = 0; row < side; ++row)
        for (int col = 0; col < side; ++col) {
            int covered = 0;
            int r = 0;
            int g = 0;
            int b = 0;
            for (int sy = 0; sy < subSamples; ++sy)
                for (int sx = 0; sx < subSamples; ++sx) {
                    bool inside = false;
                    const Rgb c = tokenSample((col + (sx + 0.5) / subSamples) / scale,
                                              (row + (sy + 0.5) / subSamples) / scale, inside);
                    if (inside) {
                        ++covered;
                        r += c.r;
                        g += c.g;
                        b += c.b;
                    }
                }
            if (covered == 0)
                continue;
            const Rgb mean{static_cast<std::uint8_t>(r / covered), static_cast<std::uint8_t>(g / covered),
                           static_cast<std::uint8_t>(b / covered)};
            board.paint(at.x * scale + col, at.y * scale + row,
                        blend(groundColour, mean, covered * 255 / (subSamples * subSamples)));
        }
}

} // namespace

Raster countingPicture(int count, int scale)
{
    if (count < 0 || count > highestCount)
        throw std::out_of_range("no counting picture for " + std::to_string(count));
    if (scale != 1 && scale != 2)
        throw std::out_of_range("counting pictures are drawn at 1x and 2x only");
    const Layout& layout = layouts()[static_cast<std::size_t>(count)];
    if (static_cast<int>(layout.tokens.size()) != count / 10 ||
        static_cast<int>(layout.units.size()) != count % 10)
        throw std::logic_error("counting picture " + std::to_string(100 + count) +
                               ": wrong number of pieces");
    Board board(count, countingSize * scale);
    if (scale == 1) {
        for (Point at : layout.tokens)
            paintToken(board, at);
        for (Point at : layout.units) {
            if (layout.disc == Disc::Wide)
                paintDisc(board, at, wideDisc);
            else
                paintDisc(board, at, narrowDisc);
        }
        return board.picture();
    }
    for (Point at : layout.tokens)
        paintLargeToken(board, at, scale);
    // The same discs as above, centred on their cells: 6 or 5 small pixels across.
    const double cell = layout.disc == Disc::Wide ? 6.0 : 5.0;
    const double radius = layout.disc == Disc::Wide ? 2.9 : 2.3;
    for (Point at : layout.units)
        paintRoundDisc(board, (at.x + cell / 2) * scale, (at.y + cell / 2) * scale, radius * scale, 1.4);
    return board.picture();
}

} // namespace palinor::picgen
