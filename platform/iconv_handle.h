// An owned iconv converter, for the Linux sides of the code-page and terminal layers.
#pragma once

#include <iconv.h>

#include "platform/unique_handle.h"

namespace kelvaro {

struct IconvTraits {
  using Handle = iconv_t;
  static Handle Invalid() { return reinterpret_cast<iconv_t>(-1); }
  static void Close(Handle handle) { iconv_close(handle); }
};
using Iconv = UniqueHandle<IconvTraits>;

}  // namespace kelvaro
