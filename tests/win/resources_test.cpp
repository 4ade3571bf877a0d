// What the built exe carries, read from the exe beside the tests and, where
// PINNAFEX_SHIPPED_EXE names it, the shipped i686 one (a resource-only load works across
// architectures).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/control_ids.h"
#include "version.h"

namespace pinnafex {
namespace {

std::vector<std::string> Exes() {
  char path[MAX_PATH];
  std::string own(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  std::vector<std::string> exes{own.substr(0, own.find_last_of("\\/") + 1) + "pinnafex.exe"};
  if (const char* shipped = std::getenv("PINNAFEX_SHIPPED_EXE")) exes.emplace_back(shipped);
  return exes;
}

std::string Resource(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(module, name, type);
  const auto* data =
      found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
  return data ? std::string(data, SizeofResource(module, found)) : "";
}

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

std::string TextOf(HWND window) {
  char text[64] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The bar as each exe's template builds it: every control the code looks up is there, once,
// with its caption, inside the bar.
TEST(Resources, TemplateHoldsEveryControlOfTheCodesTable) {
  for (const std::string& exe : Exes()) {
    SCOPED_TRACE(exe);
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const std::string bar = Resource(module, "IDD_DIALOG1", MAKEINTRESOURCEA(5));
    ASSERT_FALSE(bar.empty());
    EXPECT_FALSE(Resource(module, "IDI_ICON1", MAKEINTRESOURCEA(14)).empty()) << "icon";
    FreeLibrary(module);
    HWND dialog = CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(bar.data()),
                                             nullptr, PlainDialog, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(dialog), "Pinnafex");
    EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
    for (int i = 0; i < kSlotCount; ++i) {
      const std::string clip = "Clip " + std::to_string(i + 1);
      const struct {
        int id;
        const char* className;
        std::string text;
      } rows[] = {{kSlotFrameIds[i], "Button", clip},
                  {kPopButtonIds[i], "Button", "Pop"},
                  {kPushButtonIds[i], "Button", "Push"},
                  {kSlotComboIds[i], "ComboBox", ""}};
      for (const auto& row : rows) {
        HWND control = GetDlgItem(dialog, row.id);
        char className[32] = "";
        GetClassNameA(control, className, sizeof className);
        EXPECT_STREQ(className, row.className) << clip << ", id " << row.id;
        if (!row.text.empty()) EXPECT_EQ(TextOf(control), row.text) << clip << ", id " << row.id;
      }
    }
    RECT inside;
    GetClientRect(dialog, &inside);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&inside), 2);
    std::vector<int> seen(kLastControlId + 1);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      const int id = GetDlgCtrlID(child);
      ASSERT_TRUE(id >= kFirstControlId && id <= kLastControlId) << id;
      ++seen[id];
      RECT rect, both;
      GetWindowRect(child, &rect);
      IntersectRect(&both, &rect, &inside);
      EXPECT_TRUE(EqualRect(&both, &rect)) << "id " << id << " reaches out of the bar";
    }
    for (int id = kFirstControlId; id <= kLastControlId; ++id) EXPECT_EQ(seen[id], 1) << id;
    DestroyWindow(dialog);
  }
}

// What Explorer's properties show, and what the loader reads: no elevation prompt, and the
// program declares Windows 10 so that it is not served an older one's behaviour.
TEST(Resources, VersionAndManifest) {
  unsigned major = 0, minor = 0, patch = 0;
  ASSERT_EQ(std::sscanf(PINNAFEX_VERSION_TEXT, "%u.%u.%u", &major, &minor, &patch), 3);
  for (const std::string& exe : Exes()) {
    SCOPED_TRACE(exe);
    std::vector<char> block(GetFileVersionInfoSizeA(exe.c_str(), nullptr));
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, block.size(), block.data()));
    const char* const rows[][2] = {{"ProductName", "Pinnafex"},
                                   {"CompanyName", "Quorvel"},
                                   {"FileVersion", PINNAFEX_VERSION_TEXT},
                                   {"ProductVersion", PINNAFEX_VERSION_TEXT}};
    for (const auto& row : rows) {
      void* value = nullptr;
      UINT length = 0;
      const std::string path = std::string("\\StringFileInfo\\040904E4\\") + row[0];
      ASSERT_TRUE(VerQueryValueA(block.data(), path.c_str(), &value, &length)) << row[0];
      EXPECT_STREQ(static_cast<const char*>(value), row[1]);
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, (major << 16) | minor);
    EXPECT_EQ(fixed->dwFileVersionLS, patch << 16);

    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const std::string manifest = Resource(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    FreeLibrary(module);
    for (const char* part : {"level=\"asInvoker\"", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
      EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace pinnafex
