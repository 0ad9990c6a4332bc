// Linux: UTF-8 and UTF-16 are converted here directly; CP936 through tables of glibc's
// own mapping (its CP936 is GBK with the euro at 80), filled once through iconv.
//
// iconv itself manages about 250 MB/s on a Chinese page, and a harvest decodes every
// page on one processor; looking each character up in a table is several times faster
// and gives exactly iconv's mapping. Rejected input never stops a conversion: malformed
// UTF-8 and stray CP936 bytes become U+FFFD, characters CP936 lacks become "?".
#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>

#include "platform/code_page.h"
#include "platform/iconv_handle.h"

namespace kelvaro {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Converts one short input whole; the result when iconv takes all of it, else empty.
template <typename Out>
Out ConvertWhole(iconv_t converter, const void* input, size_t inputBytes) {
  Out out(8, 0);
  auto* in = static_cast<char*>(const_cast<void*>(input));
  auto* outPtr = reinterpret_cast<char*>(out.data());
  size_t inLeft = inputBytes, outLeft = out.size() * sizeof(typename Out::value_type);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);  // a clean state after a failure
  if (iconv(converter, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return {};
  out.resize(out.size() - outLeft / sizeof(typename Out::value_type));
  return out;
}

// glibc's CP936 mapping in both directions, for the characters of the BMP.
struct Cp936Tables {
  // UTF-16 unit -> CP936: 0 when the code page lacks it, below 100 (hex) one byte,
  // otherwise lead byte * 256 + trail byte.
  std::array<uint16_t, 65536> fromUnit{};
  // Lead byte * 256 + trail byte -> UTF-16 unit, 0 when the pair is no character.
  std::array<char16_t, 65536> fromPair{};
  // A byte of 80 (hex) or above that is a character by itself -> its unit, else 0.
  std::array<char16_t, 256> fromSingle{};
};

std::unique_ptr<const Cp936Tables> FillCp936Tables() {
  auto tables = std::make_unique<Cp936Tables>();
  const Iconv encoder(iconv_open("CP936", "UTF-16LE"));
  const Iconv decoder(iconv_open("UTF-16LE", "CP936"));
  if (!encoder || !decoder) return tables;  // glibc always has both
  for (unsigned unit = 0x80; unit < 0x10000; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const unsigned char input[2] = {static_cast<unsigned char>(unit & 0xFF),
                                    static_cast<unsigned char>(unit >> 8)};
    const auto bytes = ConvertWhole<std::string>(encoder.Get(), input, 2);
    if (bytes.size() == 1) tables->fromUnit[unit] = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 2) {
      tables->fromUnit[unit] = static_cast<uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                                     static_cast<unsigned char>(bytes[1]));
    }
  }
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    const unsigned char single = static_cast<unsigned char>(lead);
    const auto alone = ConvertWhole<std::u16string>(decoder.Get(), &single, 1);
    if (alone.size() == 1) tables->fromSingle[lead] = alone[0];
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
      const unsigned char pair[2] = {single, static_cast<unsigned char>(trail)};
      const auto units = ConvertWhole<std::u16string>(decoder.Get(), pair, 2);
      if (units.size() == 1) tables->fromPair[lead << 8 | trail] = units[0];
    }
  }
  return tables;
}

const Cp936Tables& Tables() {
  // Filled on first use (a few tens of milliseconds) and never changed after.
  static const std::unique_ptr<const Cp936Tables> tables = FillCp936Tables();
  return *tables;
}

// Copies the ASCII run at `in` eight units at a time; returns how many were copied.
template <typename In, typename Out>
size_t CopyAscii(const In* in, size_t size, Out* out) {
  constexpr uint64_t kHigh = sizeof(In) == 1 ? 0x8080808080808080ULL : 0xFF80FF80FF80FF80ULL;
  constexpr size_t kStep = 8 / sizeof(In);
  size_t i = 0;
  for (;;) {
    while (i + kStep <= size) {
      uint64_t chunk;
      std::memcpy(&chunk, in + i, 8);
      if (chunk & kHigh) break;
      for (size_t k = 0; k < kStep; ++k) out[i + k] = static_cast<Out>(in[i + k]);
      i += kStep;
    }
    if (i < size && static_cast<std::make_unsigned_t<In>>(in[i]) < 0x80) {
      out[i] = static_cast<Out>(in[i]);
      ++i;
      continue;
    }
    return i;
  }
}

}  // namespace

std::u16string Utf8ToWide(std::string_view utf8) {
  std::u16string wide(utf8.size(), u'\0');  // never more units than bytes
  const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t size = utf8.size();
  size_t i = 0, o = 0;
  while (i < size) {
    if (in[i] < 0x80) {
      const size_t copied = CopyAscii(in + i, size - i, &wide[o]);
      i += copied;
      o += copied;
      continue;
    }
    // The ranges of a well-formed sequence; anything else gives one U+FFFD for the
    // longest start of a sequence that could have been well-formed, as Windows does.
    const unsigned char lead = in[i];
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    uint32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      value = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      value = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    }
    size_t valid = 1;
    while (valid < length && i + valid < size) {
      const unsigned char next = in[i + valid];
      const bool fits = valid == 1 ? (next >= low && next <= high) : (next >= 0x80 && next <= 0xBF);
      if (!fits) break;
      value = value << 6 | (next & 0x3F);
      ++valid;
    }
    if (length == 0 || valid < length) {
      wide[o++] = kReplacement;
    } else if (value >= 0x10000) {
      value -= 0x10000;
      wide[o++] = static_cast<char16_t>(0xD800 + (value >> 10));
      wide[o++] = static_cast<char16_t>(0xDC00 + (value & 0x3FF));
    } else {
      wide[o++] = static_cast<char16_t>(value);
    }
    i += valid;
  }
  wide.resize(o);
  return wide;
}

std::string WideToUtf8(std::u16string_view wide) {
  std::string utf8(wide.size() * 3, '\0');
  size_t o = 0;
  for (size_t i = 0; i < wide.size();) {
    if (wide[i] < 0x80) {
      const size_t copied = CopyAscii(wide.data() + i, wide.size() - i, &utf8[o]);
      i += copied;
      o += copied;
      continue;
    }
    uint32_t value = wide[i++];
    if (IsHighSurrogate(static_cast<char16_t>(value)) && i < wide.size() &&
        IsLowSurrogate(wide[i])) {
      value = 0x10000 + ((value - 0xD800) << 10) + (wide[i++] - 0xDC00);
    } else if (IsHighSurrogate(static_cast<char16_t>(value)) ||
               IsLowSurrogate(static_cast<char16_t>(value))) {
      value = kReplacement;  // a lone surrogate
    }
    if (value < 0x800) {
      utf8[o++] = static_cast<char>(0xC0 | value >> 6);
    } else if (value < 0x10000) {
      utf8[o++] = static_cast<char>(0xE0 | value >> 12);
      utf8[o++] = static_cast<char>(0x80 | (value >> 6 & 0x3F));
    } else {
      utf8[o++] = static_cast<char>(0xF0 | value >> 18);
      utf8[o++] = static_cast<char>(0x80 | (value >> 12 & 0x3F));
      utf8[o++] = static_cast<char>(0x80 | (value >> 6 & 0x3F));
    }
    utf8[o++] = static_cast<char>(0x80 | (value & 0x3F));
  }
  utf8.resize(o);
  return utf8;
}

std::string WideToAnsi(std::u16string_view wide) {
  const Cp936Tables& tables = Tables();
  std::string text(wide.size() * 2, '\0');  // never more than two bytes a unit
  size_t o = 0;
  for (size_t i = 0; i < wide.size();) {
    if (wide[i] < 0x80) {
      const size_t copied = CopyAscii(wide.data() + i, wide.size() - i, &text[o]);
      i += copied;
      o += copied;
      continue;
    }
    const char16_t unit = wide[i++];
    const uint16_t code = tables.fromUnit[unit];
    if (code == 0) {
      // Not in the code page: one "?" for the whole character, a surrogate pair included.
      if (IsHighSurrogate(unit) && i < wide.size() && IsLowSurrogate(wide[i])) ++i;
      text[o++] = '?';
    } else if (code < 0x100) {
      text[o++] = static_cast<char>(code);
    } else {
      text[o++] = static_cast<char>(code >> 8);
      text[o++] = static_cast<char>(code & 0xFF);
    }
  }
  text.resize(o);
  return text;
}

std::u16string AnsiToWide(std::string_view cp936) {
  const Cp936Tables& tables = Tables();
  std::u16string wide(cp936.size(), u'\0');  // never more units than bytes
  const auto* in = reinterpret_cast<const unsigned char*>(cp936.data());
  const size_t size = cp936.size();
  size_t o = 0;
  for (size_t i = 0; i < size;) {
    if (in[i] < 0x80) {
      const size_t copied = CopyAscii(in + i, size - i, &wide[o]);
      i += copied;
      o += copied;
      continue;
    }
    const unsigned lead = in[i];
    const unsigned trail = i + 1 < size ? in[i + 1] : 0x100;
    if (trail < 0x100 && tables.fromPair[lead << 8 | trail] != 0) {
      wide[o++] = tables.fromPair[lead << 8 | trail];
      i += 2;
    } else if (tables.fromSingle[lead] != 0) {
      wide[o++] = tables.fromSingle[lead];
      i += 1;
    } else {
      // A lead byte with a trail byte in range is one unassigned character; anything
      // else is one stray byte.
      const bool pair =
          lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
      wide[o++] = kReplacement;
      i += pair ? 2 : 1;
    }
  }
  wide.resize(o);
  return wide;
}

}  // namespace kelvaro
