// One unit of harvest work: a keyword and the level at which it was found.
//
// Logically the record is the object {"关键字": keyword, "现行级别": level}; it is
// built once and never changed after it has been appended to the TaskList, which
// keeps records in a compact form of its own rather than as objects.
#pragma once

#include <cstdint>
#include <string>

namespace kelvaro {

struct TaskRecord {
  std::string keyword;  // 关键字: CP936 text, may be empty
  int32_t level = 0;    // 现行级别: 1 for a seed keyword, the parent's level + 1 below

  bool operator==(const TaskRecord&) const = default;
};

}  // namespace kelvaro
