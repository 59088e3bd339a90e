#include "Deflate.h"

#include <algorithm>
#include <array>

namespace palinor::picgen {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Packs bits into bytes lowest first, as deflate reads them.
class BitWriter {
public:
    explicit BitWriter(Bytes& out) : m_out(out) {}

    /* count <= 16; the value's low bits first, as deflate packs its extra bits */
    void bits(std::uint32_t value, int count)
    {
        m_buffer |= value << m_count;
        m_count += count;
        while (m_count >= 8) {
            m_out.push_back(static_cast<std::uint8_t>(m_buffer));
            m_buffer >>= 8;
            m_count -= 8;
        }
    }
    /* Huffman codes go most significant bit first. */
    void code(std::uint32_t value, int length)
    {
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i)
            reversed |= ((value >> i) & 1u) << (length - 1 - i);
        bits(reversed, length);
    }
    void flush()
    {
        if (m_count > 0)
            m_out.push_back(static_cast<std::uint8_t>(m_buffer));
        m_buffer = 0;
        m_count = 0;
    }

private:
    Bytes& m_out;
    std::uint32_t m_buffer = 0;
    int m_count = 0;
};

void putSymbol(BitWriter& out, int symbol)
{
    if (symbol <= 143)
        out.code(0x30u + static_cast<std::uint32_t>(symbol), 8);
    else if (symbol <= 255)
        out.code(0x190u + static_cast<std::uint32_t>(symbol - 144), 9);
    else if (symbol <= 279)
        out.code(static_cast<std::uint32_t>(symbol - 256), 7);
    else
        out.code(0xC0u + static_cast<std::uint32_t>(symbol - 280), 8);
}

constexpr std::array<int, 29> lengthBase{3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                         31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> lengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                          2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> distanceBase{1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                           33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                           1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> distanceExtra{0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void putMatch(BitWriter& out, int length, int distance)
{
    int l = 28;
    while (lengthBase[static_cast<std::size_t>(l)] > length)
        --l;
    putSymbol(out, 257 + l);
    out.bits(static_cast<std::uint32_t>(length - lengthBase[static_cast<std::size_t>(l)]),
             lengthExtra[static_cast<std::size_t>(l)]);
    int d = 29;
    while (distanceBase[static_cast<std::size_t>(d)] > distance)
        --d;
    out.code(static_cast<std::uint32_t>(d), 5);
    out.bits(static_cast<std::uint32_t>(distance - distanceBase[static_cast<std::size_t>(d)]),
             distanceExtra[static_cast<std::size_t>(d)]);
}

} // namespace

Bytes zlibStream(const Bytes& raw)
{
    constexpr int window = 32768;
    constexpr int minMatch = 3;
    constexpr int maxMatch = 258;
    constexpr int maxChain = 48;
    constexpr int hashBits = 15;
    const int n = static_cast<int>(raw.size());
    std::vector<int> head(1u << hashBits, -1);
    std::vector<int> previous(window, -1);
    const auto hashAt = [&raw](int i) {
        const auto at = [&raw](int k) {
            return static_cast<std::uint32_t>(raw[static_cast<std::size_t>(k)]);
        };
        return ((at(i) << 10) ^ (at(i + 1) << 5) ^ at(i + 2)) & ((1u << hashBits) - 1);
    };
    const auto insert = [&](int i) {
        if (i + minMatch > n)
            return;
        const std::uint32_t h = hashAt(i);
        previous[static_cast<std::size_t>(i % window)] = head[h];
        head[h] = i;
    };

    Bytes out{0x78, 0x01}; // deflate, 32 KiB window, no dictionary
    BitWriter bits(out);
    bits.bits(1, 1); // the final block
    bits.bits(1, 2); // fixed Huffman codes
    int i = 0;
    while (i < n) {
        int bestLength = 0;
        int bestDistance = 0;
        if (i + minMatch <= n) {
            int candidate = head[hashAt(i)];
            for (int chain = 0; candidate >= 0 && i - candidate <= window && chain < maxChain; ++chain) {
                const int limit = std::min(maxMatch, n - i);
                int length = 0;
                while (length < limit && raw[static_cast<std::size_t>(candidate + length)] ==
                                             raw[static_cast<std::size_t>(i + length)])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = i - candidate;
                    if (length == limit)
                        break;
                }
                const int older = previous[static_cast<std::size_t>(candidate % window)];
                if (older >= candidate)
                    break; // the slot was reused by a later position: the chain ends here
                candidate = older;
            }
        }
        if (bestLength >= minMatch) {
            putMatch(bits, bestLength, bestDistance);
            for (int k = 0; k < bestLength; ++k)
                insert(i + k);
            i += bestLength;
        } else {
            putSymbol(bits, raw[static_cast<std::size_t>(i)]);
            insert(i);
            ++i;
        }
    }
    putSymbol(bits, 256); // end of block
    bits.flush();

    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521u;
        b = (b + a) % 65521u;
    }
    const std::uint32_t adler = (b << 16) | a;
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(adler >> shift));
    return out;
}

} // namespace palinor::picgen
