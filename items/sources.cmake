# Files of items/. SONA_PORTABLE: no windows.h, also built and tested on the host. SONA_WIN: exe only.
list(APPEND SONA_PORTABLE items/HitZone.cpp items/ThumbStore.cpp items/JpegEighth.cpp)
list(APPEND SONA_WIN items/LayeredUpdate.cpp items/LayeredImageButton.cpp)
list(APPEND SONA_WIN items/MediaPlayerHost.cpp)
list(APPEND SONA_PORTABLE items/MediaLayout.cpp items/MediaFileTypes.cpp items/ItemSettings.cpp)
list(APPEND SONA_WIN items/DesktopLayer.cpp)
list(APPEND SONA_WIN items/LayeredItemWindow.cpp items/PictureItem.cpp items/PictureCache.cpp items/PictureLoader.cpp)
list(APPEND SONA_WIN items/MediaItem.cpp items/CardParts.cpp)
