// Importing files onto the desk shown: from the Open dialogs, from files dropped on the main window
// and from pasted file lists. Every file becomes an item of its own, at its command's place, in
// the order given; files of no known kind are left out.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sona {

class MainDeskWindow;

class DeskImport {
public:
    explicit DeskImport(MainDeskWindow& desk) : desk(desk) {}

    // Runs the Open dialog of `type` (kItemMovie, kItemMusic, kItemPicture) and imports whatever
    // was chosen.
    void RunDialog(uint32_t type);
    // Imports each path (UTF-8, any length) as an item of `type` at the command's place, in
    // order; the last one becomes current. The view is redrawn, also when nothing came.
    void Files(const std::vector<std::string>& paths, uint32_t type);
    // Files dragged from Explorer onto the main window.
    void Drop(HDROP drop);
    // Files handed over from outside (dropped or pasted, UTF-8 paths): each one of a known kind is
    // imported as its kind's dialog would, in order; others are ignored.
    void Paths(const std::vector<std::string>& paths);

private:
    MainDeskWindow& desk;
};

}  // namespace sona
