// The product's name, shown as the main window's caption and ending the maker's
// page address, so both always say the same.
#pragma once

#include <string_view>

namespace kelvaro {

inline constexpr std::string_view kProductName = "Kelvaro";

}  // namespace kelvaro
