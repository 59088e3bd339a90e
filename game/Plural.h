#pragma once
// French plurals: the singular on 0 and 1, the plural from 2 on.

#include <string>
#include <string_view>

namespace palinor {

// "restant", "restants".
std::string plural(int n, std::string_view word);
// "0 palet", "1 point", "2 points".
std::string counted(int n, std::string_view noun);

} // namespace palinor
