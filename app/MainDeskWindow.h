// The program's one top-level frame: the borderless 800x500 window that shows the current desk.
// It owns every desk's records (DeskModel) and the item windows of the desk shown (LiveDesk), and
// turns messages, timers and commands into their operations.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "app/DeskClipboard.h"
#include "app/DeskImport.h"
#include "app/DeskKeys.h"
#include "app/DeskModel.h"
#include "app/DeskNotes.h"
#include "app/DeskSaver.h"
#include "app/DeskStartup.h"
#include "app/DeskTray.h"
#include "app/LiveDesk.h"
#include "app/SelectionFrame.h"
#include "app/UndoStack.h"
#include "controls/ImageCommandButton.h"
#include "controls/SkinButton.h"
#include "items/DeskItem.h"
#include "platform/Com.h"
#include "platform/Dialog.h"
#include "platform/Gdi.h"
#include "platform/Tooltip.h"
#include "store/DeskStore.h"
#include "store/ItemText.h"
#include "store/SkinImage.h"

namespace sona {

class CDlgAbout;
class TextItem;

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

    // Puts the item windows above the main window again (see WM_DESK_RAISE_ITEMS).
    void RaiseItems();
    // Puts the selection highlight around the current item, or hides it when that is not a live
    // item of the desk shown.
    void UpdateSelection();
    void CreateBackBuffer();
    // The view (or only its tab strip) changed: it is drawn again at the next WM_PAINT.
    void RedrawDeskView(int stripOnly);
    // How many times the view has been drawn into the back buffer, whole or strip only.
    unsigned DeskViewDraws() const { return viewDraws; }
    // The back buffer's device context (null before there is one): what notes are measured on.
    HDC ViewDC() const { return backBuffer ? backBuffer.dc() : nullptr; }

    // Commands.
    void OnCreateDesk();
    void OnRemoveDesk();
    void OnDeleteItem();
    // Removes the live item showing in `window` and its record.
    void RemoveItem(HWND window);
    bool OnExit();
    // Files onto the desk shown: the Open dialogs, drops and pasted lists.
    DeskImport& Import() { return import; }

    // The desk's keys and what they run.
    void RunDeskKey(DeskKeyCommand key);
    // Shows desk d (its items rebuilt); nothing when there is no such desk.
    void SwitchToDesk(uint32_t d);
    // Ctrl+PageUp / Ctrl+PageDown.
    void StepDesk(int step);
    // Brings the last removal (an item or a desk) back and makes it current.
    void OnUndo();
    // Moves an item to the top (or the bottom) of its desk: its record, then its window.
    void RestackItem(HWND window, bool toFront);
    // New notes: the editor's and pasted text's.
    DeskNotes& Notes() { return notes; }
    // The global hot key that hides and shows the desk's items.
    static constexpr int kShowHideHotKey = 1;
    // Hides the items of the desk shown (with everything they float over themselves), or shows
    // them again.
    void ShowItems(bool shown);
    bool ItemsHidden() const { return live.Hidden(); }
    // Every item can be clicked again: the live ones and those of every stored desk.
    void StopClickThrough();
    // A left click on the icon: the main window comes forward, restored if it was minimised.
    void ShowMainWindow();
    const DeskTray& Tray() const { return tray; }
    bool ShowHideKeyRegistered() const { return hotKeyRegistered; }

    // The removals that Ctrl+Z can take back, newest last.
    const UndoStack& Undo() const { return undo; }


    // The desks themselves: records, the desk shown, the strip.
    DeskModel& Model() { return model; }
    const DeskModel& Model() const { return model; }
    // The item windows of the desk shown, entry i showing record i of that desk, and the item
    // last clicked or created.
    LiveDesk& Live() { return live; }
    const LiveDesk& Live() const { return live; }

    // A new item and its record, last on the current desk; it becomes current and the items show.
    void AppendItem(std::unique_ptr<DeskItem> item, RecordPtr record);
    // The outer rectangle of the main window and its size.
    RECT OuterRect(int* w, int* h) const;
    // The outer size of the window shown normally (also while it is minimised): what item
    // rectangles are stored relative to.
    SIZE OuterSize() const;
    // The folder of the store files and everything else the program writes ("...\Data\").
    const std::string& DataFolder() const { return dataFolder; }

private:
    void PrepareButtons();
    void PaintButtonFaces(HDC dc);
    void CreateButtons();
    void TakeKeyboard();
    void FinishStartup();
    bool OnItemMessage(UINT msg, WPARAM wp, LPARAM lp);
    bool OnDeskMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnTimer(WPARAM id);
    // The main window's own commands; false for ids it does not know.
    bool OnCommand(UINT id);
    // Draws what changed into the back buffer, then copies it to the screen (the icon while
    // minimised).
    void OnPaint();
    void DrawDeskView(bool stripOnly);
    bool HandleStripClick(POINT pt);
    void ScrollTimer(bool left);
    void EndArrowHold();
    void AddTrayIcon();
    void OnTrayMessage(LPARAM mouse);
    void ShowTrayMenu();
    bool OnTrayCommand(UINT id);
    // Ctrl+Alt+D; when another program holds it the user is told once (ReportShowHideKeyTaken).
    void RegisterShowHideKey();
    void ReportShowHideKeyTaken();
    // Ctrl + wheel steps the opacity of the item under the pointer, whichever window has the wheel.
    bool OnCtrlWheel(const MSG& msg);

    DeskModel model;
    LiveDesk live{model, *this};
    SelectionFrame selection;
    UndoStack undo;
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
    SkinImage tabImage, selectedTabImage, leftArrowImage, rightArrowImage;
    // Set until FinishStartup has run; a paint until then sets its timer.
    bool startupPending = false;
    DeskSaver saver{model, live, *this, dataFolder};
    // What start-up found of the store files, told once the window is up.
    StoreStartup storeStartup;
    DeskImport import{*this};
    DeskNotes notes{*this};
    DeskClipboard clipboard{*this};
    DeskTray tray;
    bool hotKeyRegistered = false;
};

}  // namespace sona
