#include "app/settings.h"

#include <string>

#include "app/ini_file.h"

namespace kelvaro {

std::filesystem::path SettingsFilePath(const std::filesystem::path& runDirectory) {
  return runDirectory / kSettingsFileName;
}

void LoadSettings(Window& window, const std::filesystem::path& runDirectory) {
  const std::filesystem::path file = SettingsFilePath(runDirectory);
  const std::string section(kSettingsSection);
  window.SetEditText(EditId::WorkerCount, ReadIniText(file, section, std::string(kWorkerCountKey),
                                                      std::string(kDefaultWorkerCount)));
  window.SetEditText(EditId::Depth, ReadIniText(file, section, std::string(kDepthKey),
                                                std::string(kDefaultDepth)));
}

void SaveWorkerCount(Window& window, const std::filesystem::path& runDirectory) {
  WriteIniText(SettingsFilePath(runDirectory), std::string(kSettingsSection),
               std::string(kWorkerCountKey), window.EditText(EditId::WorkerCount));
}

void SaveDepth(Window& window, const std::filesystem::path& runDirectory) {
  WriteIniText(SettingsFilePath(runDirectory), std::string(kSettingsSection),
               std::string(kDepthKey), window.EditText(EditId::Depth));
}

}  // namespace kelvaro
