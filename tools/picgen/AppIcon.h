// The application icon: a light wooden disc seen from above, with a grey shadow band on its right.
#pragma once

#include "Raster.h"

namespace palinor::picgen {

IndexedImage appIcon();

} // namespace palinor::picgen
