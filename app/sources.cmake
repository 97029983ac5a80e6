# Files of app/. SONA_PORTABLE: no windows.h, also built and tested on the host. SONA_WIN: exe only.
list(APPEND SONA_PORTABLE app/DeskStrip.cpp app/DeskModel.cpp app/UndoStack.cpp app/DeskKeys.cpp app/SelectionGlow.cpp
     app/PasteNames.cpp)
list(APPEND SONA_WIN app/DeskApplication.cpp app/CrashReport.cpp app/StartNotices.cpp)
list(APPEND SONA_WIN app/MainDeskWindow.cpp app/LiveDesk.cpp app/DeskStartup.cpp app/DeskSaver.cpp app/DeskView.cpp)
list(APPEND SONA_WIN app/ItemDispatch.cpp app/DeskImport.cpp app/DeskNotes.cpp)
list(APPEND SONA_WIN app/SelectionFrame.cpp app/DeskKeyboard.cpp app/DeskClipboard.cpp
     app/ClipboardWork.cpp app/DeskTray.cpp)
