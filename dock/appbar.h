// Registration with the shell's appbar service and docking at an edge.
#pragma once
#include <windows.h>
#include <shellapi.h>

namespace pinnafex {

// Where and how the bar docks, handed in by the bar's owner with every request.
struct DockSpot {
  int edge;       // as the shell numbers edges (DockEdge)
  bool autohide;  // the shell granted this bar the edge's autohide claim
  bool hidden;    // an autohiding bar is to sit at its 2-pixel strip
  int dpi;        // of the bar's window
};

// False: the shell refused the bar. Docking still moves the window then.
bool RegisterBar(HWND bar);
void UnregisterBar(HWND bar);
// Negotiates the bar's place at the spot's edge, moves it there (an autohiding bar slides and
// claims no space) and tells the shell.
void RedockBar(HWND bar, const DockSpot& spot);

enum class AutohideClaim {
  kOff,            // given up, or the shell refused it
  kOn,             // the shell granted it
  kHeldElsewhere,  // another bar holds the edge's autohide claim
};

// Makes (on) or gives up the bar's autohide claim at `edge`; returns what the bar holds after.
AutohideClaim ClaimAutohide(HWND bar, int edge, bool on);

// Sets the z-order a shell notification asks for; true when the bar is to be docked again.
bool OnBarNotify(HWND bar, WPARAM code, LPARAM flag);

// Every request to the appbar service goes through this pointer (SHAppBarMessage); a test
// puts a fake shell in its place to play another bar holding the edge.
using ShellBarMessage = UINT_PTR(WINAPI*)(DWORD message, PAPPBARDATA data);
extern ShellBarMessage gShellBarMessage;

}  // namespace pinnafex
