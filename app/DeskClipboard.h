// The clipboard: Ctrl+C hands the current item to other programs (a picture as a picture and as
// its file, a note as its text, music and movies as their files); Ctrl+V takes files, a picture
// (saved as a PNG under "Data\Pasted\") or text (a new note) onto the desk shown. What can take
// seconds (reading the clipboard, decoding a large picture) runs on a worker (ClipboardWork),
// whose results come back as messages to the main window.
#pragma once
#include <windows.h>

#include <deque>
#include <memory>
#include <string>

namespace sona {

class MainDeskWindow;
struct PasteResult;

class DeskClipboard {
public:
    explicit DeskClipboard(MainDeskWindow& desk) : desk(desk) {}

    // The current item out.
    void Copy();
    // Whatever the clipboard holds in, read on a worker; one paste at a time.
    void Paste();
    // What the workers post back, and the turns of a long paste; false for other messages.
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    // True while a paste's worker reads the clipboard.
    bool PasteRunning() const { return pasteRunning; }
    // Pasted files still to be imported.
    size_t ImportsWaiting() const { return importQueue.size(); }

private:
    // Places what a paste found (files, a picture, text).
    void Take(std::unique_ptr<PasteResult> pasted);
    // Imports the next few pasted files and asks for another turn while some wait.
    void ImportTurn();

    MainDeskWindow& desk;
    bool pasteRunning = false;
    bool importTurnPosted = false;
    std::deque<std::string> importQueue;
    // Which copy the clipboard holds: a large picture's bitmap joins only its own copy.
    DWORD copyGeneration = 0;
};

}  // namespace sona
