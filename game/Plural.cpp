#include "game/Plural.h"

namespace palinor {

std::string plural(int n, std::string_view word)
{
    return std::string(word) + (n > 1 ? "s" : "");
}

std::string counted(int n, std::string_view noun)
{
    return std::to_string(n) + " " + plural(n, noun);
}

} // namespace palinor
