#include "items/MediaFileTypes.h"

#include <cctype>

#include "store/DeskRecords.h"

namespace sona {

const MediaFileType kMediaFileTypes[3] = {
    {kItemPicture,
     "(all picture files)|*.jpg;*.bmp;*png;*.wmf|(*.jpg)|*.jpg|(*.bmp)|*.bmp|(*.png)|*.png|(*.wmf)|*.wmf||",
     {"jpg", "bmp", "png", "wmf", nullptr}},
    {kItemMusic, "(all music files)|*.mp3;*.wav;*.wma;*.mid|(*.mp3)|*.mp3|(*.wav)|*.wav|(*.wma)|*.wma|(*.mid)|*.mid||",
     {"mp3", "wav", "wma", "mid", nullptr}},
    {kItemMovie,
     "(all movie files)|*.avi;*.wmv;*.asf;*.mpg;*.mpeg|(*.avi)|*.avi|(*.wmv)|*.wmv|(*.asf)|*.asf|(*.mpg)|*.mpg|"
     "(*.mpeg)|*mpeg||",
     {"avi", "wmv", "asf", "mpg", "mpeg", nullptr}},
};

const char* OpenDialogFilter(uint32_t itemType) {
    for (const MediaFileType& t : kMediaFileTypes)
        if (t.itemType == itemType) return t.filter;
    return nullptr;
}

bool ItemTypeOfFile(const std::string& path, uint32_t* itemType) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext) c = (char)std::tolower((unsigned char)c);
    for (const MediaFileType& t : kMediaFileTypes)
        for (const char* const* e = t.extensions; *e; e++)
            if (ext == *e) {
                *itemType = t.itemType;
                return true;
            }
    return false;
}

}  // namespace sona
