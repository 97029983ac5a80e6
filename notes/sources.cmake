# Files of notes/. SONA_PORTABLE: no windows.h, also built and tested on the host. SONA_WIN: exe only.
list(APPEND SONA_WIN notes/NoteMeasure.cpp)
list(APPEND SONA_WIN notes/CDlgAddText.cpp)
list(APPEND SONA_WIN notes/TextItem.cpp)
