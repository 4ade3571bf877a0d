// The program exes a Windows-side test reads resources from: the one built beside the tests
// and, where PINNAFEX_SHIPPED_EXE names it, the shipped i686 one (a resource-only load works
// across architectures).
#pragma once
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

inline std::string SiblingExe() {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.find_last_of("\\/") + 1) + "pinnafex.exe";
}

inline std::vector<std::string> ExesToCheck() {
  std::vector<std::string> exes{SiblingExe()};
  if (const char* shipped = std::getenv("PINNAFEX_SHIPPED_EXE")) exes.emplace_back(shipped);
  return exes;
}
