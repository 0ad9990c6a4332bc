// The end of the program as the user sees it: any harvest is stopped, then one question
// offers the maker's page, which the shell opens when the answer is OK.
//
// The question and the shell are passed in, so the front end shows its own message box
// and tests can answer for the user; ending the process stays with the caller.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/application.h"
#include "app/shell_open.h"

namespace kelvaro {

// The maker's home page: a reserved example domain, never a real third party.
inline constexpr std::string_view kMakerHomePage = "https://www.example.com/";
// 是否进入Tanvrel官方查看最新作品?
inline constexpr std::string_view kMakerQuestion =
    "\xCA\xC7\xB7\xF1\xBD\xF8\xC8\xEBTanvrel\xB9\xD9\xB7\xBD\xB2\xE9\xBF\xB4\xD7\xEE\xD0\xC2\xD7"
    "\xF7\xC6\xB7?";
inline constexpr std::string_view kMakerQuestionCaption = "\xD0\xC5\xCF\xA2\xA3\xBA";  // 信息：

// The maker's home page, "#", then the product name.
std::string MakerAddress();

// True when the user answers OK.
using MakerPageQuestion = std::function<bool()>;
using ShellOpener = std::function<void(const ShellOpenRequest&)>;

// AbortHarvest, then the question; on OK the shell opens MakerAddress() with every
// other argument left at its default. The caller ends the process afterwards.
void CloseDown(Application& application, const MakerPageQuestion& askOpenMakerPage,
               const ShellOpener& shellOpen = ShellOpen);

}  // namespace kelvaro
