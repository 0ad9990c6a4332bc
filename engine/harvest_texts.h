// The texts the harvest shows on the button and in the status bar, as CP936 bytes.
// The button's caption is also the run state, so these are compared byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace kelvaro {

inline constexpr std::string_view kStartCaption = "\xBF\xAA\xCA\xBC\xB2\xC9\xBC\xAF";  // 开始采集
inline constexpr std::string_view kStopCaption = "\xCD\xA3\xD6\xB9\xB2\xC9\xBC\xAF";  // 停止采集
inline constexpr std::string_view kHarvestingStatus =
    "\xD5\xFD\xD4\xDA\xB2\xC9\xBC\xAF...";  // 正在采集...

// 采集完成,相关关键字共(N)个,排除重复后还剩(M)
std::string HarvestSummary(int found, int kept);

}  // namespace kelvaro
