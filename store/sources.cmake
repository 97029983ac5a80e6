# Files of store/. SONA_PORTABLE: no windows.h, also built and tested on the host. SONA_WIN: exe only.
list(APPEND SONA_PORTABLE store/DeskRecords.cpp)
list(APPEND SONA_WIN store/Resources.cpp)
list(APPEND SONA_PORTABLE store/AtomicFile.cpp)
list(APPEND SONA_PORTABLE store/DeskStore.cpp)
list(APPEND SONA_PORTABLE store/SquareCipher.cpp)
list(APPEND SONA_PORTABLE store/GostCipher.cpp)
list(APPEND SONA_PORTABLE store/LanguagePack.cpp)
list(APPEND SONA_WIN store/CMstRegistry.cpp)
