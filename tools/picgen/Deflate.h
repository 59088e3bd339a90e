// Deflate with the fixed Huffman codes and greedy LZ77 matching, wrapped as a zlib stream: no compression
// library, yet the larger icons shrink to a fraction of their raw size.
#pragma once

#include <cstdint>
#include <vector>

namespace palinor::picgen {

/* The zlib stream (header, one deflate block, Adler-32) that inflates back to raw. */
std::vector<std::uint8_t> zlibStream(const std::vector<std::uint8_t>& raw);

} // namespace palinor::picgen
