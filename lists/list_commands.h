// The commands of the two lists' pop-up menus. Each runs on the window thread and
// reports only through the status text.
#pragma once

#include "engine/window.h"

namespace kelvaro {

void AddKeyword(Window& window);            // "添加": a typed keyword to the seed list
void ClearKeywords(Window& window);         // "清空" of the seed list
void ClearRelatedKeywords(Window& window);  // "清空" of the related list
void ImportKeywords(Window& window);        // "导入": a keyword file into the seed list
void ExportRelatedKeywords(Window& window);  // "导出": the related list into a file

}  // namespace kelvaro
