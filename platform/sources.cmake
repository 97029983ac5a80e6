# Files of platform/. SONA_PORTABLE: no windows.h, also built and tested on the host. SONA_WIN: exe only.
list(APPEND SONA_WIN platform/Window.cpp platform/App.cpp platform/Dialog.cpp platform/Gdi.cpp
     platform/Text.cpp platform/CommonDialogs.cpp platform/Tooltip.cpp
     platform/LateBound.cpp platform/UserMessage.cpp platform/Dpi.cpp)
list(APPEND SONA_WIN platform/FileNames.cpp)
list(APPEND SONA_PORTABLE platform/DisplayScale.cpp platform/ImageReduce.cpp)
