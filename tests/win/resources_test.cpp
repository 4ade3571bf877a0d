// What the built exe carries: the exe beside the tests and, where PINNAFEX_SHIPPED_EXE names
// it, the shipped i686 one (a resource-only load works across architectures).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/bar_ids.h"

namespace pinnafex {
namespace {

std::vector<std::string> Exes() {
  char path[MAX_PATH];
  std::string own(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  std::vector<std::string> exes{own.substr(0, own.find_last_of("\\/") + 1) + "pinnafex.exe"};
  if (const char* shipped = std::getenv("PINNAFEX_SHIPPED_EXE")) exes.emplace_back(shipped);
  return exes;
}

std::string Resource(const std::string& exe, LPCSTR name, int type) {
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(type));
  const char* data =
      found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
  const std::string bytes = data ? std::string(data, SizeofResource(module, found)) : "";
  FreeLibrary(module);
  return bytes;
}

std::string TextOf(HWND window) {
  char text[64] = "";
  GetClassNameA(window, text, sizeof text);
  std::string look = text;
  GetWindowTextA(window, text, sizeof text);
  return look + " " + text;
}

// The bar as each exe's template builds it: each control the code looks up is there, once,
// with its caption (where the layout puts them is checked end to end). Then the exe's icon,
// pictures and manifest.
TEST(Resources, TemplateHoldsEveryControlOfTheCodesTable) {
  for (const std::string& exe : Exes()) {
    SCOPED_TRACE(exe);
    const std::string bar = Resource(exe, "IDD_DIALOG1", 5);  // RT_DIALOG
    ASSERT_FALSE(bar.empty());
    HWND dialog = CreateDialogIndirectParamA(nullptr, reinterpret_cast<LPCDLGTEMPLATEA>(bar.data()),
                                             nullptr, nullptr, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(dialog), "#32770 Pinnafex");
    EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
    for (int i = 0; i < kSlotCount; ++i) {
      const std::string clip = "Clip " + std::to_string(i + 1);
      EXPECT_EQ(TextOf(GetDlgItem(dialog, kSlotFrameIds[i])), "Button " + clip);
      EXPECT_EQ(TextOf(GetDlgItem(dialog, kPopButtonIds[i])), "Button Pop") << clip;
      EXPECT_EQ(TextOf(GetDlgItem(dialog, kPushButtonIds[i])), "Button Push") << clip;
      EXPECT_EQ(TextOf(GetDlgItem(dialog, kSlotComboIds[i])).substr(0, 8), "ComboBox") << clip;
    }
    std::vector<int> seen(IDC_SPARE_COMBO + 1);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      const int id = GetDlgCtrlID(child);
      ASSERT_TRUE(id >= IDC_SLOT_1_POP && id <= IDC_SPARE_COMBO) << id;
      ++seen[id];
    }
    for (int id = IDC_SLOT_1_POP; id <= IDC_SPARE_COMBO; ++id) EXPECT_EQ(seen[id], 1) << id;
    DestroyWindow(dialog);

    // The icon, the splash pictures, and what the loader reads: no elevation prompt, and
    // Windows 10 and each monitor's DPI declared, so that it is not served an older behaviour.
    EXPECT_FALSE(Resource(exe, "IDI_ICON1", 14).empty()) << "icon";  // RT_GROUP_ICON
    for (int id : {12563, 12633})  // the splash pictures, RT_BITMAP
      EXPECT_FALSE(Resource(exe, MAKEINTRESOURCEA(id), 2).empty()) << "bitmap " << id;
    const std::string manifest = Resource(exe, MAKEINTRESOURCEA(1), 24);  // RT_MANIFEST
    for (const char* part :
         {"level=\"asInvoker\"", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", ">PerMonitorV2"})
      EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

}  // namespace
}  // namespace pinnafex
