// The desk view: the back buffer, and everything drawn into it (background, bands, the tab
// strip, the caption) before it goes to the screen. A change only marks the view and invalidates
// it; the drawing happens once, at the next WM_PAINT, however many changes came before it.
#include <cstdio>
#include <cstring>

#include "app/MainDeskWindow.h"
#include "res/version.h"

namespace sona {

void MainDeskWindow::OnPaint() {
    PaintDC dc(hwnd);
    if (IsIconic(hwnd)) {
        RECT rc = ClientRect();
        int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
        DrawIcon(dc, (rc.right - cx + 1) / 2, (rc.bottom - cy + 1) / 2, icon);
        return;
    }
    if (!backBuffer) return;
    if (pendingView != kViewDrawn) {
        DrawDeskView(pendingView == kViewStrip);
        pendingView = kViewDrawn;
    }
    // Leave the buttons' own pixels alone so they do not flicker.
    auto exclude = [&](HWND b) {
        if (!b || !IsWindowVisible(b)) return;
        RECT r;
        GetWindowRect(b, &r);
        MapWindowPoints(nullptr, hwnd, (POINT*)&r, 2);
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    };
    for (auto& b : captionButtons) exclude(b.hwnd);
    for (auto& b : commandButtons) exclude(b.hwnd);
    backBuffer.BlitTo(dc);
}

void MainDeskWindow::CreateBackBuffer() {
    RECT rc = ClientRect();
    WindowDC dc(hwnd);
    backBuffer.CreateCompatible(dc, rc.right, rc.bottom);
    // A new buffer holds nothing yet.
    pendingView = kViewWhole;
}

// The strip alone (scrolling, tab clicks, the mouse let go) is the top band's 64 rows; a change
// of the whole view outweighs a strip change that waits with it.
void MainDeskWindow::RedrawDeskView(int stripOnly) {
    if (!backBuffer || !hwnd) return;
    RECT rc = ClientRect();
    if (stripOnly) {
        if (pendingView == kViewDrawn) pendingView = kViewStrip;
        if (rc.bottom > kStripRows) rc.bottom = kStripRows;
    } else {
        pendingView = kViewWhole;
    }
    InvalidateRect(hwnd, &rc, FALSE);
}

static void CopyBitmap(HDC target, HBITMAP bmp, int x, int y, int w, int h) {
    if (!bmp) return;
    MemoryDC src(target, bmp);
    BitBlt(target, x, y, w, h, src, 0, 0, SRCCOPY);
}

void MainDeskWindow::DrawDeskView(bool stripOnly) {
    viewDraws++;
    RECT rc = ClientRect();
    HDC dc = backBuffer.dc();

    if (!stripOnly) {
        Brush grey(CreateSolidBrush(0xDCDCDC));
        FillRect(dc, &rc, grey);
        if (deskTile) {
            Brush pattern(CreatePatternBrush(deskTile));
            FillRect(dc, &rc, pattern);
        }
    }
    CopyBitmap(dc, bottomBand, 0, rc.bottom - 64, 800, 64);
    CopyBitmap(dc, topBand, 0, 0, 800, 50);
    MoveToEx(dc, 0, 49, nullptr);
    LineTo(dc, 0, rc.bottom - 64);
    MoveToEx(dc, 799, 49, nullptr);
    LineTo(dc, 799, rc.bottom - 64);

    const PixelRect& deskStrip = DeskModel::kStrip;
    int h = model.CellSize();
    int slots = model.Slots();
    size_t n = model.DeskCount();
    bool scrolls = model.Scrolls();
    {
        auto drawCell = [&](const SkinImage& img, int cell, int offset) {
            img.Draw(dc, deskStrip.left + cell * h + offset, deskStrip.top + offset, h, h);
        };
        SetBkMode(dc, TRANSPARENT);
        SelectScope font(dc, GetStockObject(DEFAULT_GUI_FONT));
        auto drawTab = [&](int cell, size_t desk) {
            drawCell(desk == model.currentDesk() ? selectedTabImage : tabImage, cell, 0);
            char label[16];
            std::snprintf(label, sizeof label, "%d", (int)desk + 1);
            int left = deskStrip.left + cell * h, right = left + h;
            RECT white{left - 1, deskStrip.top + 10, right - 1, deskStrip.top + h + 10};
            SetTextColor(dc, 0xFFFFFF);
            DrawTextA(dc, label, -1, &white, DT_CENTER);
            RECT black{left, deskStrip.top + 11, right, deskStrip.top + h + 11};
            SetTextColor(dc, 0);
            DrawTextA(dc, label, -1, &black, DT_CENTER);
        };
        if (scrolls) {
            drawCell(leftArrowImage, 0, leftArrowHeld ? 1 : 0);
            for (int k = 1; k <= slots - 2; k++) {
                size_t desk = model.firstVisibleDesk() + (size_t)(k - 1);
                if (desk < n) drawTab(k, desk);
            }
            drawCell(rightArrowImage, slots - 1, rightArrowHeld ? 1 : 0);
        } else {
            for (size_t d = 0; d < n; d++) drawTab((int)d, d);
        }
    }
    {
        LOGFONTA lf{};
        lf.lfHeight = 15;
        lf.lfWeight = 700;
        std::strcpy(lf.lfFaceName, "Microsoft Sans Serif");
        Font captionFont(CreateFontIndirectA(&lf));
        SelectScope sel(dc, captionFont);
        SetTextColor(dc, 0xAAAAAA);
        SetBkMode(dc, TRANSPARENT);
        RECT caption{400, 15, 680, 40};
        DrawTextA(dc, SONA_PRODUCT_NAME " " SONA_CAPTION_VERSION, -1, &caption, 0);
    }
    PaintButtonFaces(dc);
}

}  // namespace sona
