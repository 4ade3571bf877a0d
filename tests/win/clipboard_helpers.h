// The clipboard as the tests fill and read it, from a window of their own.
#pragma once
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace pinnafex {

inline HWND Owner() {
  static HWND owner =
      CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  return owner;
}

struct Format {
  UINT format;
  std::string bytes;  // exactly these, no terminator added
};
inline Format Text(const std::string& text) {
  return {CF_TEXT, text + '\0'};
}
inline Format Wide(const std::wstring& text) {
  return {CF_UNICODETEXT,
          std::string(reinterpret_cast<const char*>(text.c_str()), text.size() * 2 + 2)};
}
inline Format Locale(LCID locale) {
  return {CF_LOCALE, std::string(reinterpret_cast<const char*>(&locale), sizeof locale)};
}

inline bool Put(const std::vector<Format>& formats) {
  bool ok = OpenClipboard(Owner()) && EmptyClipboard();
  for (const Format& f : formats) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, f.bytes.size());
    if (void* dest = GlobalLock(block)) std::memcpy(dest, f.bytes.data(), f.bytes.size());
    GlobalUnlock(block);
    if (!SetClipboardData(f.format, block)) {
      GlobalFree(block);
      ok = false;
    }
  }
  return CloseClipboard() && ok;
}

// Every byte of a block, or with `text` up to its first zero; "<none>" without a block.
inline std::string Bytes(HANDLE block, bool text = false) {
  const auto* p = block ? static_cast<const char*>(GlobalLock(block)) : nullptr;
  const std::string bytes = p ? std::string(p, GlobalSize(block)) : "<none>";
  GlobalUnlock(block);
  return text ? bytes.substr(0, bytes.find('\0')) : bytes;
}
inline std::string Clipboard(UINT format, bool text = false) {
  const std::string bytes = OpenClipboard(Owner()) ? Bytes(GetClipboardData(format), text) : "";
  CloseClipboard();
  return bytes;
}

}  // namespace pinnafex
