#include "CountingPictures.h"

#include <array>
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
    explicit Board(int count) : m_count(count), m_picture(countingSize, countingSize, groundColour) {}

    void paint(int x, int y, Rgb colour)
    {
        if (x < 0 || y < 0 || x >= countingSize || y >= countingSize)
            fail("a piece leaves the picture");
        for (int ny = y - 1; ny <= y + 1; ++ny)
            for (int nx = x - 1; nx <= x + 1; ++nx)
                if (nx >= 0 && ny >= 0 && nx < countingSize && ny < countingSize && m_owner[ny][nx] != 0 &&
                    m_owner[ny][nx] != m_piece)
                    fail("two pieces touch");
        m_owner[y][x] = m_piece;
        m_picture.set(x, y, colour);
    }
    void nextPiece() { ++m_piece; }
    Raster picture() const { return m_picture; }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw std::logic_error("counting picture " + std::to_string(100 + m_count) + ": " + what);
    }

    int m_count;
    int m_piece = 0;
    std::array<std::array<int, countingSize>, countingSize> m_owner{};
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

} // namespace

Raster countingPicture(int count)
{
    if (count < 0 || count > highestCount)
        throw std::out_of_range("no counting picture for " + std::to_string(count));
    const Layout& layout = layouts()[static_cast<std::size_t>(count)];
    if (static_cast<int>(layout.tokens.size()) != count / 10 ||
        static_cast<int>(layout.units.size()) != count % 10)
        throw std::logic_error("counting picture " + std::to_string(100 + count) +
                               ": wrong number of pieces");
    Board board(count);
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

std::int32_t countingResolution(int count)
{
    if (count == 0)
        return 2834;
    if (count <= 10)
        return 2795;
    if (count <= 19)
        return 2755;
    if (count <= 29)
        return 2716;
    return 2677;
}

} // namespace palinor::picgen
