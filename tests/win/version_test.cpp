// The version resource and the application manifest as the built exe carries them: the exe
// beside the tests and, where named, the shipped i686 one.
#include <windows.h>

#include <gtest/gtest.h>

#include "built_exes.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "version.h"

namespace {

// The version's three numbers as the build states them, e.g. "1.0.0".
struct Version {
  unsigned major = 0, minor = 0, patch = 0;
};
bool ParseVersion(const char* text, Version* v) {
  char rest = 0;
  return std::sscanf(text, "%u.%u.%u%c", &v->major, &v->minor, &v->patch, &rest) == 3;
}

// version.dll is loaded by name: the tests link only what the program itself needs.
using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

struct VersionDll {
  HMODULE module = LoadLibraryA("version.dll");
  SizeFn size = reinterpret_cast<SizeFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "GetFileVersionInfoSizeA")));
  InfoFn info = reinterpret_cast<InfoFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "GetFileVersionInfoA")));
  QueryFn query =
      reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(module, "VerQueryValueA")));
  bool ok() const { return module && size && info && query; }
};

// The whole version block of an exe, empty when it has none.
std::vector<BYTE> VersionBlock(const VersionDll& dll, const std::string& exe) {
  DWORD ignored = 0;
  const DWORD size = dll.size(exe.c_str(), &ignored);
  std::vector<BYTE> block(size);
  if (size == 0 || !dll.info(exe.c_str(), 0, size, block.data())) block.clear();
  return block;
}

std::string QueryText(const VersionDll& dll, const std::vector<BYTE>& block, const char* path) {
  void* value = nullptr;
  UINT length = 0;
  if (!dll.query(block.data(), path, &value, &length) || !value) return "<missing>";
  return static_cast<const char*>(value);
}

// The manifest the loader reads when it starts the process (RT_MANIFEST, id 1).
std::string Manifest(const std::string& exe) {
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return "";
  std::string text;
  if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    if (data) text.assign(data, SizeofResource(module, found));
  }
  FreeLibrary(module);
  return text;
}

TEST(Version, BuildStatesThreeNumbers) {
  Version v;
  EXPECT_TRUE(ParseVersion(PINNAFEX_VERSION_TEXT, &v)) << "version text " << PINNAFEX_VERSION_TEXT;
}

TEST(Version, FixedInfoCarriesTheVersion) {
  VersionDll dll;
  ASSERT_TRUE(dll.ok());
  Version v;
  ASSERT_TRUE(ParseVersion(PINNAFEX_VERSION_TEXT, &v));
  for (const std::string& exe : ExesToCheck()) {
    const std::vector<BYTE> block = VersionBlock(dll, exe);
    ASSERT_FALSE(block.empty()) << exe << " carries no version resource";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(dll.query(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) << exe;
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO)) << exe;
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu) << exe;
    EXPECT_EQ(fixed->dwFileVersionMS, (v.major << 16) | v.minor) << exe;
    EXPECT_EQ(fixed->dwFileVersionLS, v.patch << 16) << exe;
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS) << exe;
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS) << exe;
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32)) << exe;
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP)) << exe;
  }
}

TEST(Version, StringsNameTheProgramAndItsVersion) {
  VersionDll dll;
  ASSERT_TRUE(dll.ok());
  struct Row {
    const char* path;
    std::string expected;
  };
  const Row rows[] = {
      {"\\StringFileInfo\\040904E4\\ProductName", "Pinnafex"},
      {"\\StringFileInfo\\040904E4\\CompanyName", "Quorvel"},
      {"\\StringFileInfo\\040904E4\\OriginalFilename", "pinnafex.exe"},
      {"\\StringFileInfo\\040904E4\\InternalName", "pinnafex"},
      {"\\StringFileInfo\\040904E4\\FileVersion", PINNAFEX_VERSION_TEXT},
      {"\\StringFileInfo\\040904E4\\ProductVersion", PINNAFEX_VERSION_TEXT},
  };
  for (const std::string& exe : ExesToCheck()) {
    const std::vector<BYTE> block = VersionBlock(dll, exe);
    ASSERT_FALSE(block.empty()) << exe << " carries no version resource";
    for (const Row& row : rows) {
      EXPECT_EQ(QueryText(dll, block, row.path), row.expected) << exe << " " << row.path;
    }
    // The string block's name: US English in code page 1252.
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(dll.query(block.data(), "\\VarFileInfo\\Translation",
                          reinterpret_cast<void**>(&translation), &length))
        << exe;
    ASSERT_GE(length, 2 * sizeof(WORD)) << exe;
    EXPECT_EQ(translation[0], 0x409) << exe;
    EXPECT_EQ(translation[1], 1252) << exe;
  }
}

TEST(Manifest, RunsAsInvokerOnEverySupportedWindows) {
  // The compatibility ids of Windows Vista, 7, 8, 8.1 and 10/11.
  const char* const kSupported[] = {
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
  };
  const std::string expected[] = {
      "<?xml",
      "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
      // The manifest's own version is the program's, with a fourth number.
      std::string("version=\"") + PINNAFEX_VERSION_TEXT + ".0\"",
  };
  for (const std::string& exe : ExesToCheck()) {
    const std::string manifest = Manifest(exe);
    ASSERT_FALSE(manifest.empty()) << exe << " carries no manifest";
    for (const std::string& part : expected) {
      EXPECT_NE(manifest.find(part), std::string::npos) << exe << " lacks " << part;
    }
    for (const char* id : kSupported) {
      EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + id + "\"/>"), std::string::npos)
          << exe << " lacks supportedOS " << id;
    }
  }
}

}  // namespace
