#include "notes/NoteMeasure.h"

#include <string>

#include "platform/Gdi.h"
#include "platform/Text.h"

namespace sona {

SIZE MeasureNoteText(const TextNoteRecord& note, HDC dc) {
    return MeasureNoteText(note, AnsiToUtf8(std::string(note.text, strnlen(note.text, sizeof note.text))), dc);
}

namespace {

RECT WorkAreaNear(HWND window) {
    MONITORINFO mi{sizeof mi};
    HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY)
                            : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (monitor && GetMonitorInfoA(monitor, &mi)) return mi.rcWork;
    RECT all{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return all;
}

}  // namespace

SIZE NoteWindowSize(SIZE card, HWND window) {
    RECT work = WorkAreaNear(window);
    LONG w = work.right - work.left, h = work.bottom - work.top;
    if (w > 0 && card.cx > w) card.cx = w;
    if (h > 0 && card.cy > h) card.cy = h;
    return card;
}

bool NoteExceedsScreen(SIZE card, HWND window) {
    SIZE fit = NoteWindowSize(card, window);
    return fit.cx != card.cx || fit.cy != card.cy;
}

SIZE MeasureNoteText(const TextNoteRecord& note, const std::string& text, HDC dc) {
    SIZE size{0, 0};
    char face[sizeof note.font.lfFaceName + 1] = {};
    memcpy(face, note.font.lfFaceName, sizeof note.font.lfFaceName);
    std::wstring wface = AnsiToWide(face);
    Gdiplus::FontFamily family(wface.c_str(), nullptr);
    if (family.GetLastStatus() != Gdiplus::Ok) return size;
    Gdiplus::Font font(&family, (Gdiplus::REAL)note.font.lfHeight, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    if (font.GetLastStatus() != Gdiplus::Ok) return size;
    Gdiplus::StringFormat format(0, 0);
    format.SetTrimming(Gdiplus::StringTrimmingNone);
    HDC screen = nullptr;
    if (!dc) dc = screen = GetDC(nullptr);
    {
        Gdiplus::Graphics g(dc);
        std::wstring wtext = Utf8ToWide(text);
        Gdiplus::RectF layout(0, 0, 0, 0), box;
        g.MeasureString(wtext.c_str(), (INT)wtext.size(), &font, layout, &format, &box);
        size.cx = (LONG)box.Width;
        size.cy = (LONG)box.Height;
    }
    if (screen) ReleaseDC(nullptr, screen);
    return size;
}

}  // namespace sona
