#include "screen/screen_pick.h"

namespace pinnafex {

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(const char* a, const char* b) {
  for (; *a && Lower(*a) == Lower(*b); ++a, ++b) {
  }
  return Lower(*a) == Lower(*b);
}

}  // namespace

int PickScreen(const ScreenEntry* screens, int count, const char* wantedId,
               const char* wantedName) {
  if (count <= 0) return -1;
  // The output's name counts only for a choice saved without the monitor's identity.
  const bool byId = *wantedId != 0;
  const char* wanted = byId ? wantedId : wantedName;
  int primary = 0;
  for (int i = 0; i < count; ++i) {
    if (*wanted && SameName(byId ? screens[i].id : screens[i].name, wanted)) return i;
    if (screens[i].primary && !screens[primary].primary) primary = i;
  }
  return primary;
}

int NextScreen(int current, int count) {
  return count > 0 && current >= 0 ? (current + 1) % count : 0;
}

}  // namespace pinnafex
