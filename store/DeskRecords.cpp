#include "store/DeskRecords.h"

#include <cstring>

namespace sona {

void InitTextNoteRecord(TextNoteRecord* rec) {
    std::memset(rec, 0, sizeof *rec);
    rec->font.lfHeight = 12;
    std::strcpy(rec->font.lfFaceName, "Microsoft Sans Serif");
    rec->reservedColour = kNoteReservedColour;
}

}  // namespace sona
