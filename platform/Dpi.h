// The pixel density of the system, of a monitor and of a window. The per-monitor functions exist
// only on newer Windows (8.1, 10); they are looked up at run time, so the program still starts on
// Windows 7, where every answer is the system's density.
#pragma once
#include <windows.h>

#include "platform/DisplayScale.h"

namespace sona {

// The density all windows of the program get when nothing finer is known.
UINT SystemDpi();

// The effective density of a monitor; the system's where per-monitor densities are unknown.
UINT MonitorDpi(HMONITOR monitor);

// The density a window is drawn at: its monitor's for a per-monitor aware program, else the
// system's (96 for a program that is not DPI-aware, which Windows stretches instead).
UINT WindowDpi(HWND window);

// The scale to lay out and draw `window` at.
inline DisplayScale ScaleOf(HWND window) { return DisplayScale(static_cast<int>(WindowDpi(window))); }

}  // namespace sona
