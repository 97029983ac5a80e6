// The program's one top-level frame: the borderless 800x500 window that shows the current desk.
// It owns every desk's records (DeskModel) and the item windows of the desk shown (LiveDesk), and
// turns messages, timers and commands into their operations.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/DeskKeys.h"
#include "app/DeskModel.h"
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
struct PasteResult;

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
    // Imports each path (UTF-8, any length) as an item of `type` at the command's place, in order.
    void ImportFiles(const std::vector<std::string>& paths, uint32_t type);
    void OnDropFiles(HDROP drop);
    // Files handed over from outside (dropped or pasted, UTF-8 paths): each one of a known kind is
    // imported as its kind's dialog would, in order; others are ignored.
    void ImportDroppedPaths(const std::vector<std::string>& paths);

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
    // The clipboard: the current item out, whatever the clipboard holds in.
    void OnCopyItem();
    void OnPaste();
    // What the clipboard workers post back, and the turns of a long paste; false for others.
    bool OnClipboardMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Places what a paste found (files, a picture, text).
    void TakePaste(std::unique_ptr<PasteResult> pasted);
    // Imports the next few pasted files, for about deskTurnMs, and asks for another turn.
    void ImportTurn();
    // True while a paste's worker reads the clipboard.
    bool PasteRunning() const { return pasteRunning; }
    // Pasted files still to be imported.
    size_t ImportsWaiting() const { return importQueue.size(); }
    // A note holding `text` (UTF-8, any language) in the default face, size and colour, placed
    // as Add text places one. Text past what a note holds is left out, and the user is told.
    void AddNoteWithText(const std::string& text);
    // Shows a new note where Add text puts one, at most the screen's size, and records it on the
    // current desk. `dropped`: characters already left out of its text, for the one message that
    // tells the user what is cut and when the note is larger than the screen.
    void PlaceNewNote(std::unique_ptr<TextItem> note, size_t dropped = 0);
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

private:
    // True when a key pressed in `target` is the desk's: the main window or an item has the
    // keyboard and no dialog (the note editor, a message box, a file dialog) is running.
    bool KeyBelongsToDesk(HWND target) const;
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
    void OnAutosaveTimer();
    // Writes "Media" then "Media_bak" (a full disk first gives up the picture cache); "" when
    // both were written, else a line per file that failed.
    std::string WriteDesks();
    // True when both files on disk already hold exactly the desks in memory.
    bool StoredDesksMatch();
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
    bool exiting = false;
    // Set until FinishStartup has run; a paint until then sets its timer.
    bool startupPending = false;
    bool sessionSaved = false;
    // Saving soon after a change: pending since firstUnsavedTick; a failure of such a save was
    // reported already (reset by the next save that succeeds).
    bool savePending = false;
    DWORD firstUnsavedTick = 0;
    bool saveFailureReported = false;
    // What start-up found of the store files, told once the window is up.
    StoreStartup storeStartup;
    // The clipboard: a paste being read, pasted files still to import, and which copy the
    // clipboard holds (a large picture's bitmap joins only its own copy).
    bool pasteRunning = false;
    bool importTurnPosted = false;
    std::deque<std::string> importQueue;
    DWORD copyGeneration = 0;
    DeskTray tray;
    bool hotKeyRegistered = false;
};

}  // namespace sona
