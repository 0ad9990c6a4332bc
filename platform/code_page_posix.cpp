// Linux: the conversions through glibc's iconv (its CP936 is GBK with the euro at 80).
//
// ASCII runs are copied straight, and only the runs of other characters go through
// iconv, so a page that is mostly markup costs little more than a copy. In UTF-8 and
// UTF-16 no byte or unit of a longer sequence is ASCII, so the runs end at the first
// ASCII unit; in CP936 a trail byte may be ASCII, so there a lead byte takes the next
// byte into its run. iconv stops at input it
// rejects; each direction says what stands for the rejected bytes and where to go on.
#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "platform/code_page.h"
#include "platform/unique_handle.h"

namespace kelvaro {
namespace {

struct IconvTraits {
  using Handle = iconv_t;
  static Handle Invalid() { return reinterpret_cast<iconv_t>(-1); }
  static void Close(Handle handle) { iconv_close(handle); }
};
using Iconv = UniqueHandle<IconvTraits>;

constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr const char* kUtf8 = "UTF-8";
constexpr const char* kCp936 = "CP936";

// What stands in the output for input that iconv rejected, and how much input it covers.
struct Substitute {
  size_t skipBytes;
  std::string_view outputBytes;
};

// U+FFFD as UTF-16 in the machine's byte order.
constexpr std::string_view kReplacementUtf16 =
    std::endian::native == std::endian::little ? "\xFD\xFF" : "\xFF\xFD";

// The length of the longest start of a well-formed UTF-8 sequence at `rest` (at least 1),
// so a truncated character gives one U+FFFD, as Windows does, and not one per byte.
Substitute InvalidUtf8(std::string_view rest) {
  const auto byteAt = [&](size_t i) { return static_cast<unsigned char>(rest[i]); };
  const unsigned char lead = byteAt(0);
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  }
  size_t valid = 1;
  while (valid < length && valid < rest.size()) {
    const unsigned char next = byteAt(valid);
    const bool fits = valid == 1 ? (next >= low && next <= high) : (next >= 0x80 && next <= 0xBF);
    if (!fits) break;
    ++valid;
  }
  return {valid, kReplacementUtf16};
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// A character CP936 lacks, or a lone surrogate: one "?" for the whole character.
size_t RejectedUnitsBytes(std::string_view rest) {
  char16_t first, second = 0;
  std::memcpy(&first, rest.data(), 2);
  if (rest.size() >= 4) std::memcpy(&second, rest.data() + 2, 2);
  return IsHighSurrogate(first) && IsLowSurrogate(second) ? 4 : 2;
}
Substitute UnmappableInCp936(std::string_view rest) {
  return {RejectedUnitsBytes(rest), "?"};
}
Substitute LoneSurrogate(std::string_view) {
  return {2, "\xEF\xBF\xBD"};
}

// A lead byte with a trail byte in range is one unassigned character; anything else
// is one stray byte.
Substitute InvalidCp936(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  const auto trail = rest.size() > 1 ? static_cast<unsigned char>(rest[1]) : 0;
  const bool pair = lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
  return {pair ? size_t{2} : size_t{1}, kReplacementUtf16};
}

// Converts `input` (bytes in `from`) and appends the result to `out` (units of `to`).
template <typename OutString>
class RunConverter {
 public:
  RunConverter(const char* to, const char* from, Substitute (*onInvalid)(std::string_view))
      : to_(to), from_(from), onInvalid_(onInvalid) {}

  void Append(std::string_view input, OutString& out) {
    if (!converter_) {
      converter_.Reset(iconv_open(to_, from_));
      if (!converter_) return;  // glibc always has these; nothing sane to do otherwise
    }
    constexpr size_t kUnit = sizeof(typename OutString::value_type);
    size_t usedBytes = out.size() * kUnit;
    // As many output units as input bytes is enough except for UTF-16 to UTF-8
    // (three bytes from two); the loop grows the buffer when it is not.
    out.resize(out.size() + input.size() + 8);
    auto* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    while (inLeft > 0) {
      char* outStart = reinterpret_cast<char*>(out.data());
      char* outPtr = outStart + usedBytes;
      size_t outLeft = out.size() * kUnit - usedBytes;
      const size_t result = iconv(converter_.Get(), &in, &inLeft, &outPtr, &outLeft);
      usedBytes = static_cast<size_t>(outPtr - outStart);
      if (result != static_cast<size_t>(-1)) break;
      if (errno != E2BIG) {  // EILSEQ, or EINVAL for a character cut at the end
        const Substitute substitute = onInvalid_(std::string_view(in, inLeft));
        const size_t skip = std::min(substitute.skipBytes, inLeft);
        in += skip;
        inLeft -= skip;
        if (out.size() * kUnit - usedBytes < substitute.outputBytes.size()) {
          out.resize(out.size() + substitute.outputBytes.size() / kUnit + 1);
        }
        std::memcpy(reinterpret_cast<char*>(out.data()) + usedBytes, substitute.outputBytes.data(),
                    substitute.outputBytes.size());
        usedBytes += substitute.outputBytes.size();
      }
      if (out.size() * kUnit - usedBytes < 16) out.resize(out.size() * 2 + 16);
    }
    out.resize(usedBytes / kUnit);
  }

 private:
  const char* to_;
  const char* from_;
  Substitute (*onInvalid_)(std::string_view);
  Iconv converter_;  // opened at the first run that needs it: ASCII needs none
};

template <typename Unit>
bool IsAscii(Unit unit) {
  return static_cast<std::make_unsigned_t<Unit>>(unit) < 0x80;
}

// The end of the run of non-ASCII characters that starts at `i`.
template <typename InView>
size_t UnicodeRunEnd(InView input, size_t i) {
  while (i < input.size() && !IsAscii(input[i])) ++i;
  return i;
}
size_t AnsiRunEnd(std::string_view input, size_t i) {
  while (i < input.size() && !IsAscii(input[i])) i += 2;
  return std::min(i, input.size());
}

// Walks `input` (a string of 8- or 16-bit units), copying ASCII runs and handing the
// other runs to the converter as bytes.
template <typename OutString, typename InView>
OutString ConvertByRuns(InView input, RunConverter<OutString>& converter,
                        size_t (*runEnd)(InView, size_t)) {
  using InUnit = typename InView::value_type;
  using OutUnit = typename OutString::value_type;
  OutString out;
  out.reserve(input.size());
  size_t i = 0;
  while (i < input.size()) {
    size_t asciiEnd = i;
    while (asciiEnd < input.size() && IsAscii(input[asciiEnd])) ++asciiEnd;
    const size_t oldSize = out.size();
    out.resize(oldSize + (asciiEnd - i));
    for (size_t k = i; k < asciiEnd; ++k) out[oldSize + k - i] = static_cast<OutUnit>(input[k]);
    i = asciiEnd;
    const size_t otherEnd = runEnd(input, i);
    if (otherEnd > i) {
      converter.Append(std::string_view(reinterpret_cast<const char*>(input.data() + i),
                                        (otherEnd - i) * sizeof(InUnit)),
                       out);
    }
    i = otherEnd;
  }
  return out;
}

}  // namespace

std::u16string Utf8ToWide(std::string_view utf8) {
  RunConverter<std::u16string> converter(kUtf16, kUtf8, InvalidUtf8);
  return ConvertByRuns(utf8, converter, UnicodeRunEnd<std::string_view>);
}

std::string WideToAnsi(std::u16string_view wide) {
  RunConverter<std::string> converter(kCp936, kUtf16, UnmappableInCp936);
  return ConvertByRuns(wide, converter, UnicodeRunEnd<std::u16string_view>);
}

std::u16string AnsiToWide(std::string_view cp936) {
  RunConverter<std::u16string> converter(kUtf16, kCp936, InvalidCp936);
  return ConvertByRuns(cp936, converter, AnsiRunEnd);
}

std::string WideToUtf8(std::u16string_view wide) {
  RunConverter<std::string> converter(kUtf8, kUtf16, LoneSurrogate);
  return ConvertByRuns(wide, converter, UnicodeRunEnd<std::u16string_view>);
}

}  // namespace kelvaro
