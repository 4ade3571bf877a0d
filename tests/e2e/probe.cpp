// probe: reads and drives the running bar from outside, inside the same Wine session. Prints JSON
// lines on stdout; exit code 0 when what was asked for was found, 1 when not.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// Every unit beyond printable ASCII escaped: a byte of code page 1252 for the narrow texts, a
// UTF-16 unit for the wide ones (pairs stay pairs).
template <typename Unit>
std::string Json(const Unit *text) {
  std::string out = "\"";
  for (const Unit *p = text; *p; ++p) {
    const auto unit = static_cast<unsigned>(static_cast<std::make_unsigned_t<Unit>>(*p));
    char buf[8] = {static_cast<char>(unit), 0};
    if (unit < 0x20 || unit >= 0x7F || unit == '"' || unit == '\\')
      std::snprintf(buf, sizeof buf, "\\u%04x", unit);
    out += buf;
  }
  return out + "\"";
}

std::string Text(HWND hwnd) {
  char text[1024] = "";
  SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return Json(text);
}

std::string WideText(HWND hwnd) {
  wchar_t text[1024] = L"";
  SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  return Json(text);
}

// A top-level window of class `cls` titled `title` ("*": any title), or with `other`, a visible
// one titled otherwise (a message box beside the bar).
HWND Find(const char *cls, const char *title = "*", bool other = false) {
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, cls, nullptr)) != nullptr;) {
    const bool titled = !std::strcmp(title, "*") || Text(w) == Json(title);
    if (other ? !titled && IsWindowVisible(w) : titled) return w;
  }
  return nullptr;
}

HWND Bar() {
  return Find("#32770", "Pinnafex");
}

// One line a window: its place relative to `parent`'s client area (the screen's for none).
void Print(HWND w, HWND parent) {
  RECT r{}, c{}, s{};  // s: what of it its region lets show
  GetWindowRect(w, &r);
  if (GetWindowRgnBox(w, &s) == ERROR) SetRect(&s, 0, 0, r.right - r.left, r.bottom - r.top);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT *>(&r), 2);
  GetClientRect(w, &c);
  POINT origin{0, 0};
  ClientToScreen(w, &origin);
  char cls[64] = "";
  GetClassNameA(w, cls, sizeof cls);
  std::printf(
      "{\"hwnd\":%lu,\"owner\":%lu,\"id\":%d,\"class\":%s,\"text\":%s,\"wtext\":%s,\"enabled\":%d,"
      "\"visible\":%d,\"topmost\":%d,\"rect\":[%ld,%ld,%ld,%ld],\"client\":[0,0,%ld,%ld],"
      "\"origin\":[%ld,%ld],\"shows\":[%ld,%ld,%ld,%ld]}\n",
      static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(w)),
      static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(GetWindow(w, GW_OWNER))),
      GetDlgCtrlID(w), Json(cls).c_str(), Text(w).c_str(), WideText(w).c_str(),
      IsWindowEnabled(w) ? 1 : 0, (GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) ? 1 : 0,
      (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0, r.left, r.top, r.right, r.bottom,
      c.right, c.bottom, origin.x, origin.y, r.left + s.left, r.top + s.top, r.left + s.right,
      r.top + s.bottom);
}

// A window, then with `children` its own controls, one a line.
int Window(HWND hwnd, bool children = false) {
  if (!hwnd) return 1;
  Print(hwnd, nullptr);
  if (children)
    for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) Print(c, hwnd);
  return 0;
}

// The UTF-16 entries of a combo of the bar from `first` on, at most 2000.
int Combo(int id, long first) {
  HWND combo = GetDlgItem(Bar(), id);
  if (!combo) return 1;
  const long count = static_cast<long>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  std::printf("{\"count\":%ld,\"selected\":%ld,\"entries\":[", count,
              static_cast<long>(SendMessageW(combo, CB_GETCURSEL, 0, 0)));
  for (long i = first; i < std::min(count, first + 2000); ++i) {
    const LRESULT len = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::vector<wchar_t> text(static_cast<size_t>(std::max<LRESULT>(len, 0)) + 1, 0);
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(text.data()));
    std::printf("%s%s", i > first ? "," : "", Json(text.data()).c_str());
  }
  return std::printf("]}\n") < 0;
}

// Tells that it holds what it took, then keeps it MS milliseconds.
int Hold(DWORD ms) {
  std::printf("{\"holding\":1}\n");
  std::fflush(stdout);
  Sleep(ms);
  return 0;
}

// A clipboard format by number, or by name for a registered one.
UINT FormatOf(const char *text) {
  char *end = nullptr;
  const unsigned long number = std::strtoul(text, &end, 0);
  return *end ? RegisterClipboardFormatA(text) : static_cast<UINT>(number);
}

// The formats offered, then the whole data of each FORMAT asked for, in hex.
int ClipGet(int argc, char **argv) {
  if (!OpenClipboard(nullptr)) return 1;
  std::printf("{\"formats\":[");
  for (UINT f = 0, n = 0; (f = EnumClipboardFormats(f)) != 0; ++n)
    std::printf("%s%u", n ? "," : "", f);
  std::printf("],\"data\":{");
  for (int i = 2; i < argc; ++i) {
    HANDLE block = GetClipboardData(FormatOf(argv[i]));
    const auto *bytes = block ? static_cast<const unsigned char *>(GlobalLock(block)) : nullptr;
    std::printf("%s\"%s\":%s", i > 2 ? "," : "", argv[i], bytes ? "\"" : "null");
    for (size_t k = 0; bytes && k < GlobalSize(block); ++k) std::printf("%02x", bytes[k]);
    if (bytes) std::printf("\"");
    GlobalUnlock(block);
  }
  std::printf("}}\n");
  CloseClipboard();
  return 0;
}

// Empties the clipboard and puts each FORMAT HEX pair given ("-": hex on stdin, for texts no
// command line holds), each in a zero-filled block one byte longer, for a terminator. "hold MS"
// at the end keeps it open that long from a window of the probe's own, as a program that holds
// it does.
int ClipSet(int argc, char **argv) {
  const bool hold = argc > 3 && !std::strcmp(argv[argc - 2], "hold");
  if (!OpenClipboard(
          hold ? CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr)
               : nullptr))
    return 1;
  EmptyClipboard();
  for (int i = 2; i + 1 < argc - (hold ? 2 : 0); i += 2) {
    std::string hex = argv[i + 1];
    if (hex == "-") {
      hex.clear();
      char buf[65536];
      for (size_t got; (got = std::fread(buf, 1, sizeof buf, stdin)) > 0;) hex.append(buf, got);
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, hex.size() / 2 + 1);
    auto *p = block ? static_cast<char *>(GlobalLock(block)) : nullptr;
    for (size_t k = 0; p && k < hex.size() / 2; ++k) {
      const char pair[3] = {hex[2 * k], hex[2 * k + 1], 0};
      p[k] = static_cast<char>(std::strtoul(pair, nullptr, 16));
    }
    GlobalUnlock(block);
    if (!SetClipboardData(FormatOf(argv[i]), block)) GlobalFree(block);
  }
  if (hold) Hold(std::atol(argv[argc - 1]));
  CloseClipboard();
  return 0;
}

// Reads the text of the bar's control ID COUNT times, every MS milliseconds; a line per change.
int Sample(int id, int count, DWORD intervalMs) {
  HWND control = GetDlgItem(Bar(), id);
  std::string last;
  for (int n = 0; control && n < count; ++n, Sleep(intervalMs)) {
    const std::string text = Text(control);
    if (n == 0 || text != last) std::printf("{\"text\":%s}\n", text.c_str());
    std::fflush(stdout);
    last = text;
  }
  return control ? 0 : 1;
}

// Injects each key with SendInput as another program would: a virtual key in hex, "^" before it
// for its release, "+" after it for an extended key.
int Keys(int argc, char **argv) {
  for (int i = 2; i < argc; ++i) {
    const char *key = argv[i];
    INPUT input{INPUT_KEYBOARD, {}};
    input.ki.dwFlags =
        (*key == '^' ? KEYEVENTF_KEYUP : 0u) | (std::strchr(key, '+') ? KEYEVENTF_EXTENDEDKEY : 0u);
    input.ki.wVk = static_cast<WORD>(std::strtoul(key + (*key == '^'), nullptr, 16));
    if (!SendInput(1, &input, sizeof input)) return 1;
  }
  return 0;
}

// A stand-in taskbar THICKNESS pixels deep at EDGE (0 left .. 3 bottom), until killed.
int Taskbar(UINT edge, LONG thickness) {
  HWND bar = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "Taskbar",
                             WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  APPBARDATA record{sizeof record, bar, WM_APP, edge};
  RECT &r = record.rc;
  r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  LONG *sides[] = {&r.left, &r.top, &r.right, &r.bottom};
  *sides[(edge + 2) % 4] = *sides[edge] + (edge < 2 ? thickness : -thickness);
  if (!SHAppBarMessage(ABM_NEW, &record) || !SHAppBarMessage(ABM_SETPOS, &record)) return 1;
  MoveWindow(bar, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  Window(bar);
  std::fflush(stdout);
  for (MSG msg; GetMessageA(&msg, nullptr, 0, 0) > 0;) DispatchMessageA(&msg);
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  const std::string verb = argc > 1 ? argv[1] : "";
  auto arg = [&](int i) { return i < argc ? std::strtoll(argv[i], nullptr, 0) : 0; };
  HWND box = verb == "box" || verb == "answer" ? Find("#32770", "Pinnafex", true) : nullptr;
  if (verb == "idle") Sleep(INFINITE);
  if (verb == "bar") return Window(Bar());
  if (verb == "controls")
    return Window(argc > 2 ? Find(argv[2], argc > 3 ? argv[3] : "*") : Bar(), true);
  if (verb == "settext" && argc > 5) {  // CLASS TITLE ID HEX: a text as UTF-16LE bytes in hex
    std::wstring text;
    for (const char *p = argv[5]; p[0] && p[1] && p[2] && p[3]; p += 4) {
      const char unit[5] = {p[2], p[3], p[0], p[1], 0};
      text += static_cast<wchar_t>(std::strtoul(unit, nullptr, 16));
    }
    HWND control = GetDlgItem(Find(argv[2], argv[3]), static_cast<int>(arg(4)));
    if (control) SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return control ? 0 : 1;
  }
  if (verb == "box") return Window(box, true);
  if (verb == "combo") return Combo(static_cast<int>(arg(2)), static_cast<long>(arg(3)));
  if (verb == "answer") return PostMessageA(box, WM_COMMAND, arg(2), 0) ? 0 : 1;
  if (verb == "post") return PostMessageA(Bar(), static_cast<UINT>(arg(2)), arg(3), arg(4)) ? 0 : 1;
  if (verb == "send") {  // prints the bar's answer
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(Bar(), static_cast<UINT>(arg(2)), arg(3), arg(4), SMTO_NORMAL, 5000,
                             &answer))
      return 1;
    return std::printf("{\"answer\":%lu}\n", static_cast<unsigned long>(answer)) < 0;
  }
  if (verb == "clip-get") return ClipGet(argc, argv);
  if (verb == "clip-set") return ClipSet(argc, argv);
  if (verb == "keys") return Keys(argc, argv);
  if (verb == "sample")
    return Sample(static_cast<int>(arg(2)), static_cast<int>(arg(3)), static_cast<DWORD>(arg(4)));
  if (verb == "hotkey") {  // takes a key as another program would, for MS milliseconds
    if (!RegisterHotKey(nullptr, 1, static_cast<UINT>(arg(2)), static_cast<UINT>(arg(3)))) return 1;
    return Hold(static_cast<DWORD>(arg(4)));
  }
  if (verb == "hold") {  // a file opened without sharing for MS milliseconds, as a scanner does
    HANDLE file = CreateFileA(argv[argc - 2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    return file == INVALID_HANDLE_VALUE || Hold(static_cast<DWORD>(arg(3))) || !CloseHandle(file);
  }
  if (verb == "front") return Window(GetForegroundWindow());
  if (verb == "taskbar") return Taskbar(static_cast<UINT>(arg(2)), static_cast<LONG>(arg(3)));
  if (verb == "appbar-remove") {  // a killed bar never took its claim off the shell
    APPBARDATA record{sizeof record, reinterpret_cast<HWND>(arg(2))};
    return SHAppBarMessage(ABM_REMOVE, &record) ? 0 : 1;
  }
  std::fputs("usage: probe VERB ARGS... (see main)\n", stderr);
  return 2;
}
