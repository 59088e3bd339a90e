#include "Raster.h"

namespace palinor::picgen {

Rgb blend(Rgb under, Rgb over, int alpha)
{
    auto mix = [alpha](int u, int o) {
        return static_cast<std::uint8_t>((u * (255 - alpha) + o * alpha + 127) / 255);
    };
    return {mix(under.r, over.r), mix(under.g, over.g), mix(under.b, over.b)};
}

} // namespace palinor::picgen
