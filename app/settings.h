// The two work settings, the worker count and the depth, kept in "config.ini" beside
// the program: loaded into the settings boxes when the main window has been created
// and written back whenever a box's text changes.
//
// The file holds the boxes' texts as they are, not numbers: the start of a harvest
// reads them as numbers. Setting a box's text raises its text-changed event, so
// LoadSettings writes both keys straight back, which creates a missing file or key and
// stores a value again in the form in which it was read.
#pragma once

#include <filesystem>
#include <string_view>

#include "engine/window.h"

namespace kelvaro {

inline constexpr std::string_view kSettingsFileName = "config.ini";
inline constexpr std::string_view kSettingsSection = "\xC5\xE4\xD6\xC3";                 // 配置
inline constexpr std::string_view kWorkerCountKey = "\xB9\xA4\xD7\xF7\xCF\xDF\xB3\xCC";  // 工作线程
inline constexpr std::string_view kDepthKey = "\xB2\xC9\xBC\xAF\xBC\xB6\xB1\xF0";  // 采集级别
inline constexpr std::string_view kDefaultWorkerCount = "20";
inline constexpr std::string_view kDefaultDepth = "1";

// runDirectory followed by "config.ini".
std::filesystem::path SettingsFilePath(const std::filesystem::path& runDirectory);

// The main window's created event: fills the worker-count box, then the depth box.
void LoadSettings(Window& window, const std::filesystem::path& runDirectory);
// The text-changed events of the worker-count and the depth box.
void SaveWorkerCount(Window& window, const std::filesystem::path& runDirectory);
void SaveDepth(Window& window, const std::filesystem::path& runDirectory);

}  // namespace kelvaro
