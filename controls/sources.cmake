# Files of controls/. SONA_PORTABLE: no windows.h, also built and tested on the host. SONA_WIN: exe only.
list(APPEND SONA_WIN controls/SkinButton.cpp)
list(APPEND SONA_WIN controls/CMstMenu.cpp)
list(APPEND SONA_WIN controls/SkinSlider.cpp)
list(APPEND SONA_PORTABLE controls/ScrollModel.cpp controls/ColourGrid.cpp)
list(APPEND SONA_WIN controls/SkinScrollBar.cpp controls/ComboDropDown.cpp controls/CVrnComboBox.cpp)
list(APPEND SONA_WIN controls/CVrnColourPicker.cpp)
list(APPEND SONA_WIN controls/PushButtonMouse.cpp controls/SkinPushButton.cpp)
list(APPEND SONA_WIN controls/ImageCommandButton.cpp)
