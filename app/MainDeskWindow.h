// The program's one top-level frame: the borderless 800x500 window that shows the current desk,
// owns every desk's records and the item windows of the desk shown, and runs the commands.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/DeskModel.h"
#include "controls/ImageCommandButton.h"
#include "controls/SkinButton.h"
#include "items/DeskItem.h"
#include "platform/Com.h"
#include "platform/Dialog.h"
#include "platform/Gdi.h"
#include "platform/Tooltip.h"
#include "store/DeskStore.h"

namespace sona {

class CDlgAbout;

// A rectangle that lies wholly outside every monitor (a monitor was removed, the resolution
// dropped) moves onto the nearest monitor's work area, size kept; one that is at least partly
// visible stays exactly where it is.
RECT KeepOnScreen(RECT r);

class MainDeskWindow : public Dialog {
public:
    MainDeskWindow();
    ~MainDeskWindow() override;

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // Closing from the task bar or the system menu arrives here: it saves like Exit.
    void OnCancel() override;
    void DestroyWindow() override;

    // Desk collection: live windows to records and back.
    void SyncCurrentDesk();
    void ShowCurrentDesk();
    void DestroyLiveItems();
    // Puts the item windows above the main window again (see kRaiseItems).
    void RaiseItems();
    void ClearAllDesks();
    void CreateBackBuffer();
    // The view (or only its tab strip) changed: it is drawn again at the next WM_PAINT.
    void RedrawDeskView(int stripOnly);
    // How many times the view has been drawn into the back buffer, whole or strip only.
    unsigned DeskViewDraws() const { return viewDraws; }
    SIZE MeasureNote(const TextNoteRecord& note);

    // Commands.
    void OnCreateDesk();
    void OnRemoveDesk();
    void OnDeleteItem();
    // Removes the live item showing in `window` and its record.
    void RemoveItem(HWND window);
    bool OnExit();
    void OnImportMovie();
    void OnImportMusic();
    void OnImportPicture();
    void OnAddText();
    // Imports each path as an item of `type` at the command's place, in order.
    void ImportFiles(const std::vector<std::string>& paths, uint32_t type);
    void OnDropFiles(HDROP drop);

    // Saves "Media" then "Media_bak"; on failure tells the user and returns false. A save the
    // program makes by itself (`quiet`) tells the user of a failure only once, not at every try.
    bool SaveDesks(bool quiet = false);
    // Something that is stored has changed: the desks are saved within a few seconds.
    void DesksChanged();
    // True while a change waits for its save.
    bool SavePending() const { return savePending; }

    // The desks themselves: records, the desk shown, the strip.
    DeskModel& Model() { return model; }
    const DeskModel& Model() const { return model; }
    // The item windows of the desk shown; entry i shows record i of that desk.
    const std::vector<std::unique_ptr<DeskItem>>& LiveItems() const { return liveItems; }
    uint32_t LiveItemType(size_t i) const { return i < liveItemTypes.size() ? liveItemTypes[i] : 0; }
    // The item last clicked or created.
    HWND CurrentItem() const { return currentItem; }

    // Appends a live item and its record at the same index of the current desk.
    void AppendItem(std::unique_ptr<DeskItem> item, uint32_t type, RecordPtr record);
    // The outer rectangle of the main window and its size.
    RECT OuterRect(int* w, int* h) const;
    // The outer size of the window shown normally (also while it is minimised): what item
    // rectangles are stored relative to.
    SIZE OuterSize() const;

private:
    void CreateButtons();
    // The main window's own commands; false for ids it does not know.
    bool OnCommand(UINT id);
    // Draws what changed into the back buffer, then copies it to the screen (the icon while
    // minimised).
    void OnPaint();
    void DrawDeskView(bool stripOnly);
    bool HandleStripClick(POINT pt);
    void ScrollTimer(bool left);
    void EndArrowHold();
    void OnAutosaveTimer();
    // "Media" could not be read whole: keeps it as "Media.damaged" before anything overwrites it.
    void KeepDamagedStore();
    void ReportDamagedStore();

    DeskModel model;
    std::vector<std::unique_ptr<DeskItem>> liveItems;
    std::vector<uint32_t> liveItemTypes;
    HWND currentItem = nullptr;
    bool leftArrowHeld = false;
    bool rightArrowHeld = false;
    std::string dataFolder;
    SkinButton captionButtons[3];
    ImageCommandButton commandButtons[8];
    HICON icon = nullptr;
    Tooltip tooltip;
    std::unique_ptr<CDlgAbout> about;
    // OLE for the window's life (drag and drop, the shell's dialogs).
    std::unique_ptr<ComSession> ole;
    OffscreenSurface backBuffer;
    // What of the back buffer waits to be drawn again.
    enum PendingView { kViewDrawn, kViewStrip, kViewWhole };
    static constexpr int kStripRows = 64;
    PendingView pendingView = kViewWhole;
    unsigned viewDraws = 0;
    Bitmap topBand, bottomBand, deskTile;
    GdipPtr<Gdiplus::Image> tabImage, selectedTabImage, leftArrowImage, rightArrowImage;
    bool exiting = false;
    bool sessionSaved = false;
    // Saving soon after a change: pending since firstUnsavedTick; a failure of such a save was
    // reported already (reset by the next save that succeeds).
    bool savePending = false;
    DWORD firstUnsavedTick = 0;
    bool saveFailureReported = false;
    // What start-up found of "Media": unreadable, and whether the desks then came from the backup.
    bool storeDamaged = false;
    bool desksFromBackup = false;
    std::string damagedCopy;  // where the damaged file was kept ("" when it could not be kept)
};

}  // namespace sona
