// Registration with the shell's appbar service and docking at an edge.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "dock/dock_rects.h"

namespace pinnafex {

// False: the shell refused the bar. Docking still moves the window then.
bool RegisterBar(HWND bar);
void UnregisterBar(HWND bar);
// Asks the shell where the bar, shown at the edge of the spot's monitor, may lie beside the bars
// that hold that edge already: the spot's area (AreaBeside). Autohiding or not, only the shown
// place is asked for.
Rect AskArea(HWND bar, const DockSpot& spot);
// Moves the bar to its place in the spot's area (an autohiding bar slides and claims no space)
// and tells the shell.
void RedockBar(HWND bar, const DockSpot& spot);

enum class AutohideClaim {
  kOff,            // given up, or the shell refused it
  kOn,             // the shell granted it
  kHeldElsewhere,  // another bar holds the edge's autohide claim
};

// Makes (on) or gives up the bar's autohide claim at `edge` of `monitor`; returns what the bar
// holds after. Where the shell knows autohide bars per monitor (Windows 8 on) the claim is for
// that monitor's edge; elsewhere, or when the shell does not answer that request, for the edge.
AutohideClaim ClaimAutohide(HWND bar, int edge, const Rect& monitor, bool on);

// Sets the z-order a shell notification asks for; true when the bar is to be docked again.
bool OnBarNotify(HWND bar, WPARAM code, LPARAM flag);

// Every request to the appbar service goes through this pointer (SHAppBarMessage); a test
// puts a fake shell in its place to play another bar holding the edge.
using ShellBarMessage = UINT_PTR(WINAPI*)(DWORD message, PAPPBARDATA data);
extern ShellBarMessage gShellBarMessage;

}  // namespace pinnafex
