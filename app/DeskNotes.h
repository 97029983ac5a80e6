// New notes on the desk shown: written in the note editor (Add text) or made from pasted text.
// Either way the note goes under the main window's top-left corner at its measured size, never
// larger than the screen's work area, live and recorded at the same index.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

namespace sona {

class MainDeskWindow;
class TextItem;

class DeskNotes {
public:
    explicit DeskNotes(MainDeskWindow& desk) : desk(desk) {}

    // Writes a new note in the editor and, when confirmed, places it.
    void Add();
    // A note holding `text` (UTF-8, any language) in the default face, size and colour. Text past
    // what a note holds is left out, and the user is told.
    void AddWithText(const std::string& text);
    // Shows `note` where Add text puts one and records it on the current desk. `dropped`:
    // characters already left out of its text, for the one message that tells the user what is
    // cut and when the note is larger than the screen.
    void Place(std::unique_ptr<TextItem> note, size_t dropped = 0);

private:
    MainDeskWindow& desk;
};

}  // namespace sona
