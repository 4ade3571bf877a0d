// Clipboard helpers shared by the slot tests: exact bytes in and out, and a holder thread
// that keeps the clipboard open the way another program would.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace pinnafex {
namespace slot_test {

// A hidden window of the test thread that owns what the tests put on the clipboard.
inline HWND TestOwner() {
  static HWND owner = CreateWindowExA(0, "STATIC", "slot test owner", 0, 0, 0, 0, 0, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
  return owner;
}

// A movable block of exactly these bytes, no terminator added.
inline HGLOBAL BlockOf(const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
  if (!block) return nullptr;
  auto* dest = static_cast<char*>(GlobalLock(block));
  if (!bytes.empty()) memcpy(dest, bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

struct Format {
  UINT format;
  std::string bytes;
};

// Empties the clipboard and puts each block on it; false if any step failed.
inline bool PutClipboard(const std::vector<Format>& formats) {
  if (!OpenClipboard(TestOwner())) return false;
  bool ok = EmptyClipboard() != 0;
  for (const Format& f : formats) {
    HGLOBAL block = BlockOf(f.bytes);
    if (!SetClipboardData(f.format, block)) {
      GlobalFree(block);
      ok = false;
    }
  }
  CloseClipboard();
  return ok;
}

// CF_TEXT of the text with its terminator.
inline bool PutClipboardText(const std::string& text) {
  return PutClipboard({{CF_TEXT, text + std::string(1, '\0')}});
}

// Bytes of a text block before its first zero byte, never past the block's size.
inline std::string TextOfBlock(HANDLE block) {
  const auto* text = static_cast<const char*>(GlobalLock(block));
  if (!text) return "<unlockable>";
  const SIZE_T size = GlobalSize(block);
  SIZE_T length = 0;
  while (length < size && text[length]) ++length;
  std::string out(text, length);
  GlobalUnlock(block);
  return out;
}

// UTF-16 text as the clipboard holds it, terminator included.
inline std::string Utf16Bytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2);
}

// The clipboard's data in `format` as bytes (the whole block), or "<none>".
inline std::string ClipboardBytes(UINT format) {
  if (!OpenClipboard(TestOwner())) return "<not opened>";
  std::string bytes = "<none>";
  HANDLE data = GetClipboardData(format);
  if (const auto* p = data ? static_cast<const char*>(GlobalLock(data)) : nullptr) {
    bytes.assign(p, GlobalSize(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return bytes;
}

// The clipboard's CF_UNICODETEXT up to its terminator.
inline std::wstring ClipboardWideText() {
  const std::string bytes = ClipboardBytes(CF_UNICODETEXT);
  std::wstring text(bytes.size() / 2, L'\0');
  memcpy(&text[0], bytes.data(), text.size() * 2);
  return text.substr(0, text.find(L'\0'));
}

// The clipboard's CF_TEXT, or "<none>".
inline std::string ClipboardText() {
  if (!OpenClipboard(TestOwner())) return "<not opened>";
  HANDLE data = GetClipboardData(CF_TEXT);
  std::string text = data ? TextOfBlock(data) : "<none>";
  CloseClipboard();
  return text;
}

// Keeps the clipboard open from a hidden window of another thread until destroyed. (Wine lets
// a second OpenClipboard(NULL) in while the holder used NULL; a window-owned open keeps it out.)
class ClipboardHolder {
 public:
  explicit ClipboardHolder(DWORD holdMs = 10000) : holdMs_(holdMs) {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    WaitForSingleObject(ready_, 5000);
  }
  ~ClipboardHolder() {
    SetEvent(release_);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    CloseHandle(release_);
    CloseHandle(ready_);
  }
  ClipboardHolder(const ClipboardHolder&) = delete;
  ClipboardHolder& operator=(const ClipboardHolder&) = delete;
  bool holding() const { return holding_; }

 private:
  static DWORD WINAPI Run(void* param) {
    auto* self = static_cast<ClipboardHolder*>(param);
    HWND window = CreateWindowExA(0, "STATIC", "slot test holder", 0, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    self->holding_ = window && OpenClipboard(window);
    SetEvent(self->ready_);
    WaitForSingleObject(self->release_, self->holdMs_);
    if (self->holding_) CloseClipboard();
    if (window) DestroyWindow(window);
    return 0;
  }

  DWORD holdMs_;
  HANDLE ready_ = nullptr;
  HANDLE release_ = nullptr;
  HANDLE thread_ = nullptr;
  bool holding_ = false;  // written before ready_ is set
};

}  // namespace slot_test
}  // namespace pinnafex
