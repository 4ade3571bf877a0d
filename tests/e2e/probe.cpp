// probe: reads and drives the running bar from outside, inside the same Wine session.
// Prints JSON on stdout; exit code 0 when what was asked for was found, 1 when not, 2 on misuse.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kBarTitle[] = "Pinnafex";

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);  // bytes of code page 1252, one each
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// UTF-16 text as JSON, every unit beyond ASCII escaped (pairs stay pairs).
std::string JsonWide(const wchar_t* text) {
  std::string out = "\"";
  for (const wchar_t* p = text; *p; ++p) {
    const auto unit = static_cast<unsigned>(*p);
    if (unit >= 0x20 && unit < 0x7F && unit != '"' && unit != '\\') {
      out += static_cast<char>(unit);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", unit);
      out += buf;
    }
  }
  return out + "\"";
}

std::string WindowText(HWND hwnd) {
  char text[1024] = "";
  SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

std::string ClassOf(HWND hwnd) {
  char cls[256] = "";
  GetClassNameA(hwnd, cls, sizeof cls);
  return cls;
}

std::string RectJson(const RECT& r) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "[%ld,%ld,%ld,%ld]", r.left, r.top, r.right, r.bottom);
  return buf;
}

struct Found {
  const char* title;
  const char* cls;
  HWND hwnd;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == GetCurrentProcessId()) return TRUE;
  if (found->cls && ClassOf(hwnd) != found->cls) return TRUE;
  if (found->title && std::strcmp(found->title, "*") != 0 && WindowText(hwnd) != found->title) {
    return TRUE;
  }
  found->hwnd = hwnd;
  return FALSE;
}

HWND FindWindowOf(const char* title, const char* cls) {
  Found found{title, cls, nullptr};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&found));
  return found.hwnd;
}

HWND Bar() {
  return FindWindowOf(kBarTitle, "#32770");
}

std::string WindowJson(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  RECT c{};
  GetClientRect(hwnd, &c);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char head[512];
  std::snprintf(
      head, sizeof head,
      "{\"hwnd\":%lu,\"pid\":%lu,\"rect\":%s,\"client\":%s,\"origin\":[%ld,%ld],\"visible\":%d,"
      "\"topmost\":%d,\"exstyle\":%lu,\"style\":%lu,\"title\":",
      static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)), pid, RectJson(r).c_str(),
      RectJson(c).c_str(), origin.x, origin.y, IsWindowVisible(hwnd) ? 1 : 0,
      (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0,
      static_cast<unsigned long>(GetWindowLongA(hwnd, GWL_EXSTYLE)),
      static_cast<unsigned long>(GetWindowLongA(hwnd, GWL_STYLE)));
  return head + Json(WindowText(hwnd)) + "}";
}

int Window(HWND hwnd) {
  if (!hwnd) return 1;
  std::printf("%s\n", WindowJson(hwnd).c_str());
  return 0;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM param) {
  HWND parent = reinterpret_cast<HWND>(param);
  if (GetParent(child) != parent) return TRUE;  // only the dialog's own controls
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  std::printf(
      "{\"id\":%d,\"class\":%s,\"text\":%s,\"style\":%lu,\"enabled\":%d,\"visible\":%d,"
      "\"rect\":%s}\n",
      GetDlgCtrlID(child), Json(ClassOf(child)).c_str(), Json(WindowText(child)).c_str(),
      static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE)), IsWindowEnabled(child) ? 1 : 0,
      (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) ? 1 : 0, RectJson(r).c_str());
  return TRUE;
}

// The controls of the bar, or of another program's top-level window of a class (e.g. Notepad).
int Controls(HWND window) {
  if (!window) return 1;
  EnumChildWindows(window, PrintChild, reinterpret_cast<LPARAM>(window));
  return 0;
}

// Entries of a combo from `first` on, at most 2000, as code page 1252 bytes (the wide message
// crosses processes cleanly), or with `wide` as the UTF-16 text they hold.
int Combo(int id, bool wide, long first) {
  HWND combo = GetDlgItem(Bar(), id);
  if (!combo) return 1;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  std::printf("{\"id\":%d,\"count\":%ld,\"selected\":%ld,\"dropped\":%ld,\"entries\":[", id,
              static_cast<long>(count), static_cast<long>(SendMessageW(combo, CB_GETCURSEL, 0, 0)),
              static_cast<long>(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)));
  const long shown = std::min(static_cast<long>(count), first + 2000);
  for (long i = first; i < shown; ++i) {
    const LRESULT len = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::vector<wchar_t> text(static_cast<size_t>(len > 0 ? len : 0) * 2 + 2, 0);
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(text.data()));
    std::vector<char> narrow(text.size() * 2 + 1, 0);
    WideCharToMultiByte(1252, 0, text.data(), -1, narrow.data(), static_cast<int>(narrow.size()),
                        nullptr, nullptr);
    std::printf("%s%s", i > first ? "," : "",
                (wide ? JsonWide(text.data()) : Json(narrow.data())).c_str());
  }
  std::printf("]}\n");
  return 0;
}

BOOL CALLBACK PrintBoxChild(HWND child, LPARAM) {
  std::printf("%s{\"id\":%d,\"class\":%s,\"text\":%s}", GetDlgCtrlID(child) == 65535 ? "" : "",
              GetDlgCtrlID(child), Json(ClassOf(child)).c_str(), Json(WindowText(child)).c_str());
  std::printf(",");
  return TRUE;
}

// A message box of another process: a top-level #32770 other than the bar.
BOOL CALLBACK FindBox(HWND hwnd, LPARAM param) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
  if (ClassOf(hwnd) != "#32770" || WindowText(hwnd) == kBarTitle) return TRUE;
  *reinterpret_cast<HWND*>(param) = hwnd;
  return FALSE;
}

HWND MessageBoxWindow() {
  HWND box = nullptr;
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
  return box;
}

int Box() {
  HWND box = MessageBoxWindow();
  if (!box) return 1;
  DWORD pid = 0;
  GetWindowThreadProcessId(box, &pid);
  std::printf("{\"caption\":%s,\"pid\":%lu,\"owner\":%lu,\"children\":[",
              Json(WindowText(box)).c_str(), pid,
              static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(GetWindow(box, GW_OWNER))));
  EnumChildWindows(box, PrintBoxChild, 0);
  std::printf("null]}\n");
  return 0;
}

int Answer(int button) {
  HWND box = MessageBoxWindow();
  if (!box) return 1;
  PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0);
  return 0;
}

int Post(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND bar = Bar();
  if (!bar) return 1;
  PostMessageA(bar, message, wParam, lParam);
  return 0;
}

// A clipboard format by number, or by name for a registered one.
UINT FormatOf(const char* spec) {
  char* end = nullptr;
  const unsigned long number = std::strtoul(spec, &end, 0);
  return *end ? RegisterClipboardFormatA(spec) : static_cast<UINT>(number);
}

std::string HexOf(const unsigned char* bytes, size_t size) {
  std::string hex;
  char pair[3];
  for (size_t i = 0; i < size; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    hex += pair;
  }
  return hex;
}

// The formats, CF_TEXT up to its terminator, and the whole data of each FORMAT asked for.
int ClipGet(int argc, char** argv) {
  if (!OpenClipboard(nullptr)) return 1;
  std::printf("{\"formats\":[");
  for (UINT f = 0, n = 0; (f = EnumClipboardFormats(f)) != 0; ++n)
    std::printf("%s%u", n ? "," : "", f);
  std::printf("],\"text\":");
  HANDLE data = GetClipboardData(CF_TEXT);
  const auto* text = data ? static_cast<const unsigned char*>(GlobalLock(data)) : nullptr;
  if (text) {
    std::printf("\"%s\"", HexOf(text, std::strlen(reinterpret_cast<const char*>(text))).c_str());
    GlobalUnlock(data);
  } else {
    std::printf("null");
  }
  std::printf(",\"data\":{");
  for (int i = 2; i < argc; ++i) {
    HANDLE block = GetClipboardData(FormatOf(argv[i]));
    const auto* bytes = block ? static_cast<const unsigned char*>(GlobalLock(block)) : nullptr;
    std::printf("%s%s:", i > 2 ? "," : "", Json(argv[i]).c_str());
    if (bytes) {
      std::printf("\"%s\"", HexOf(bytes, GlobalSize(block)).c_str());
      GlobalUnlock(block);
    } else {
      std::printf("null");
    }
  }
  std::printf("}}\n");
  CloseClipboard();
  return 0;
}

// A zero-filled movable block holding the bytes given in hex, one more byte for a terminator.
HGLOBAL HexBlock(const std::string& hex) {
  const size_t n = hex.size() / 2;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, n + 1);
  char* p = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
  if (!p) return block;
  for (size_t i = 0; i < n; ++i) {
    char pair[3] = {hex[2 * i], hex[2 * i + 1], 0};
    p[i] = static_cast<char>(std::strtoul(pair, nullptr, 16));
  }
  GlobalUnlock(block);
  return block;
}

// Hex on stdin, for texts longer than a command line takes.
std::string HexFromStdin() {
  std::string hex;
  char buf[65536];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, stdin)) > 0) hex.append(buf, got);
  while (!hex.empty() && (hex.back() == '\n' || hex.back() == '\r')) hex.pop_back();
  return hex;
}

void PutClip(UINT format, const char* hex) {
  HGLOBAL block = HexBlock(std::strcmp(hex, "-") == 0 ? HexFromStdin() : std::string(hex));
  if (block && !SetClipboardData(format, block)) GlobalFree(block);
}

// Sets CF_TEXT to the bytes given in hex ("-": read from stdin, "none": no CF_TEXT), then each
// further FORMAT HEX pair (a format by number or name); no argument empties the clipboard.
int ClipSet(int argc, char** argv) {
  if (!OpenClipboard(nullptr)) return 1;
  EmptyClipboard();
  if (argc > 2 && std::strcmp(argv[2], "none") != 0) PutClip(CF_TEXT, argv[2]);
  for (int i = 3; i + 1 < argc; i += 2) PutClip(FormatOf(argv[i]), argv[i + 1]);
  CloseClipboard();
  return 0;
}

// Follows a top-level window of CLASS in another process: {"watching":CLASS} at once, then one
// line whenever its state changes, {"gone":1} when it has closed, {"gone":0} when it is still
// open at the deadline.
int Watch(const char* cls, DWORD timeoutMs) {
  std::printf("{\"ms\":0,\"watching\":%s}\n", Json(cls).c_str());
  std::fflush(stdout);
  const DWORD start = GetTickCount();
  DWORD seenAt = 0;
  bool seen = false;
  std::string last;
  for (;;) {
    HWND hwnd = FindWindowOf("*", cls);
    const DWORD now = GetTickCount();
    if (hwnd) {
      if (!seen) seenAt = now;
      seen = true;
      std::string state = WindowJson(hwnd);
      if (state != last) {
        std::printf("{\"ms\":%lu,\"window\":%s}\n", now - seenAt, state.c_str());
        std::fflush(stdout);
        last = state;
      }
    } else if (seen) {
      std::printf("{\"ms\":%lu,\"gone\":1}\n", now - seenAt);
      return 0;
    }
    if (!seen && now - start > timeoutMs) return 1;
    if (seen && now - seenAt > timeoutMs) {
      std::printf("{\"ms\":%lu,\"gone\":0}\n", now - seenAt);
      return 0;
    }
    Sleep(10);
  }
}

// Keeps the clipboard open for MS milliseconds from a hidden window of its own, as a program
// that holds it does; {"holding":1} once it has it.
int HoldClipboard(DWORD ms) {
  HWND window = CreateWindowExA(0, "STATIC", "probe holder", 0, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!window || !OpenClipboard(window)) return 1;
  std::printf("{\"holding\":1}\n");
  std::fflush(stdout);
  Sleep(ms);
  CloseClipboard();
  DestroyWindow(window);
  return 0;
}

// Reads the text of the bar's control ID COUNT times, every MS milliseconds; one line per
// change, with the milliseconds since the sample before it (a tick may hide in a long gap).
int Sample(int id, int count, DWORD intervalMs) {
  HWND control = GetDlgItem(Bar(), id);
  if (!control) return 1;
  std::string last;
  DWORD previous = GetTickCount();
  for (int n = 0; n < count; ++n) {
    if (n) Sleep(intervalMs);
    const std::string text = WindowText(control);
    const DWORD now = GetTickCount();
    if (n == 0 || text != last) {
      std::printf("{\"n\":%d,\"gap\":%lu,\"text\":%s}\n", n, n ? now - previous : 0,
                  Json(text).c_str());
      last = text;
    }
    previous = now;
  }
  return 0;
}

// Moves the bar as another program could: position and size, its z-order left alone.
int MoveBar(int x, int y, int width, int height) {
  HWND bar = Bar();
  if (!bar) return 1;
  return SetWindowPos(bar, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
}

// Takes the bar out of the topmost band without moving it.
int NotTopmost() {
  HWND bar = Bar();
  if (!bar) return 1;
  return SetWindowPos(bar, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE)
             ? 0
             : 1;
}

// The rectangle a combo of the bar takes with its list dropped, in the bar's client coordinates.
int DroppedRect(int id) {
  HWND bar = Bar();
  HWND combo = GetDlgItem(bar, id);
  if (!combo) return 1;
  RECT r{};
  // Wine answers CB_OKAY (0) where Windows answers nonzero: the result says nothing.
  SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
  MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&r), 2);
  std::printf("{\"id\":%d,\"rect\":%s}\n", id, RectJson(r).c_str());
  return 0;
}

// Takes a bar's claim off the shell: a bar that was killed never removed itself, and Wine's
// appbar service would keep clipping every later bar against its last rectangle.
int AppbarRemove(HWND bar) {
  APPBARDATA record{};
  record.cbSize = sizeof record;
  record.hWnd = bar;
  return SHAppBarMessage(ABM_REMOVE, &record) ? 0 : 1;
}

// Ends the session for the bar as the system does: WM_QUERYENDSESSION, then WM_ENDSESSION
// (TRUE), with HOW as their second parameter. Prints the bar's answer to the first.
int EndSession(LPARAM how) {
  HWND bar = Bar();
  DWORD_PTR query = 0;
  if (!SendMessageTimeoutA(bar, WM_QUERYENDSESSION, 0, how, SMTO_NORMAL, 5000, &query)) return 1;
  SendMessageTimeoutA(bar, WM_ENDSESSION, TRUE, how, SMTO_NORMAL, 5000, nullptr);
  std::printf("{\"query\":%lu}\n", static_cast<unsigned long>(query));
  return 0;
}

LPARAM Number(const char* text) {
  return static_cast<LPARAM>(std::strtoll(text, nullptr, 0));
}

}  // namespace

int main(int argc, char** argv) {
  const std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "idle") {
    Sleep(INFINITE);
  } else if (verb == "bar") {
    return Window(Bar());
  } else if (verb == "window" && argc > 2) {
    return Window(FindWindowOf(argv[2], argc > 3 ? argv[3] : nullptr));
  } else if (verb == "controls") {
    return Controls(argc > 2 ? FindWindowOf("*", argv[2]) : Bar());
  } else if (verb == "combo" && argc > 2) {
    bool wide = false;
    long first = 0;
    for (int arg = 3; arg < argc; ++arg) {
      if (std::strcmp(argv[arg], "wide") == 0) {
        wide = true;
      } else {
        first = static_cast<long>(Number(argv[arg]));
      }
    }
    return Combo(static_cast<int>(Number(argv[2])), wide, first);
  } else if (verb == "box") {
    return Box();
  } else if (verb == "answer" && argc > 2) {
    return Answer(static_cast<int>(Number(argv[2])));
  } else if (verb == "post" && argc > 4) {
    return Post(static_cast<UINT>(Number(argv[2])), static_cast<WPARAM>(Number(argv[3])),
                Number(argv[4]));
  } else if (verb == "clip-get") {
    return ClipGet(argc, argv);
  } else if (verb == "clip-set") {
    return ClipSet(argc, argv);
  } else if (verb == "watch" && argc > 3) {
    return Watch(argv[2], static_cast<DWORD>(Number(argv[3])));
  } else if (verb == "hold-clip" && argc > 2) {
    return HoldClipboard(static_cast<DWORD>(Number(argv[2])));
  } else if (verb == "sample" && argc > 4) {
    return Sample(static_cast<int>(Number(argv[2])), static_cast<int>(Number(argv[3])),
                  static_cast<DWORD>(Number(argv[4])));
  } else if (verb == "move" && argc > 5) {
    return MoveBar(static_cast<int>(Number(argv[2])), static_cast<int>(Number(argv[3])),
                   static_cast<int>(Number(argv[4])), static_cast<int>(Number(argv[5])));
  } else if (verb == "not-topmost") {
    return NotTopmost();
  } else if (verb == "dropped-rect" && argc > 2) {
    return DroppedRect(static_cast<int>(Number(argv[2])));
  } else if (verb == "end-session" && argc > 2) {
    return EndSession(Number(argv[2]));
  } else if (verb == "appbar-remove" && argc > 2) {
    return AppbarRemove(reinterpret_cast<HWND>(Number(argv[2])));
  }
  std::fprintf(
      stderr,
      "usage: probe idle|bar|window TITLE|* [CLASS]|controls [CLASS]|combo ID [wide] [FIRST]|box|"
      "answer BUTTON|post MSG WPARAM LPARAM|clip-get [FORMAT]...|"
      "clip-set [HEX|-|none [FORMAT HEX]...]|hold-clip MS|watch CLASS MS|"
      "sample ID COUNT MS|move X Y W H|not-topmost|dropped-rect ID|"
      "appbar-remove HWND\n");
  return 2;
}
