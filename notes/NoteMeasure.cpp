#include "notes/NoteMeasure.h"

#include <string>

#include "platform/Gdi.h"
#include "platform/Text.h"

namespace sona {

SIZE MeasureNoteText(const TextNoteRecord& note, HDC dc) {
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
        char text[sizeof note.text + 1] = {};
        memcpy(text, note.text, sizeof note.text);
        std::wstring wtext = AnsiToWide(text);
        Gdiplus::RectF layout(0, 0, 0, 0), box;
        g.MeasureString(wtext.c_str(), (INT)wtext.size(), &font, layout, &format, &box);
        size.cx = (LONG)box.Width;
        size.cy = (LONG)box.Height;
    }
    if (screen) ReleaseDC(nullptr, screen);
    return size;
}

}  // namespace sona
