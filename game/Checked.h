#pragma once
// Counts, counters and scores are unsigned bytes and 1-based arrays. Going past a limit is
// an error the caller can report, never a silent wrap-around.

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace palinor {

using Byte = std::uint8_t;

// Raised when a count, a counter, a score or an index leaves its range.
class LimitError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

/* Returns value as a byte; throws LimitError naming `what` unless it lies in 0..255. */
inline Byte checkedByte(int value, const char* what)
{
    if (value < 0 || value > 255) {
        throw LimitError(std::string(what) + " hors limites (" + std::to_string(value) + ")");
    }
    return static_cast<Byte>(value);
}

/* Returns value + delta; throws LimitError unless the result lies in 0..255. */
inline Byte addToByte(Byte value, int delta, const char* what)
{
    return checkedByte(int{value} + delta, what);
}

// An array indexed 1..N, as the game's records are.
template <typename T, std::size_t N> class Array1 {
public:
    /* 1 <= i <= N */
    T& operator()(std::size_t i) { return items_.at(slot(i)); }
    const T& operator()(std::size_t i) const { return items_.at(slot(i)); }
    void clear() { items_.fill(T{}); }
    static constexpr std::size_t size() { return N; }
    bool operator==(const Array1&) const = default;

private:
    static std::size_t slot(std::size_t i)
    {
        if (i < 1 || i > N) {
            throw LimitError("indice " + std::to_string(i) + " hors de 1.." + std::to_string(N));
        }
        return i - 1;
    }
    std::array<T, N> items_{};
};

// A two-dimensional array indexed (1..Rows, 1..Cols).
template <typename T, std::size_t Rows, std::size_t Cols> class Array2 {
public:
    /* 1 <= r <= Rows, 1 <= c <= Cols */
    T& operator()(std::size_t r, std::size_t c) { return rows_(r)(c); }
    const T& operator()(std::size_t r, std::size_t c) const { return rows_(r)(c); }
    void clear()
    {
        for (std::size_t r = 1; r <= Rows; ++r) {
            rows_(r).clear();
        }
    }
    bool operator==(const Array2&) const = default;

private:
    Array1<Array1<T, Cols>, Rows> rows_;
};

} // namespace palinor
