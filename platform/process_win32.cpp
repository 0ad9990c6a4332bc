// Windows: affinity and working-set calls on the current process; RtlAdjustPrivilege
// is not in the import libraries, so it is looked up in ntdll at run time.
#include <windows.h>

#include <string>

#include "platform/process.h"

namespace kelvaro {
namespace {

using RtlAdjustPrivilegeFn = LONG(WINAPI*)(ULONG, BOOLEAN, BOOLEAN, PBOOLEAN);
constexpr ULONG kDebugPrivilege = 20;

}  // namespace

void PinProcessToFirstProcessor() { SetProcessAffinityMask(GetCurrentProcess(), 1); }

void TrimWorkingSet() {
  SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

void EnableDebugPrivilege() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (!ntdll) return;
  auto adjust = reinterpret_cast<RtlAdjustPrivilegeFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlAdjustPrivilege")));
  if (!adjust) return;
  BOOLEAN previous = FALSE;
  adjust(kDebugPrivilege, TRUE, FALSE, &previous);
}

std::filesystem::path ProgramPath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return std::filesystem::path(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace kelvaro
