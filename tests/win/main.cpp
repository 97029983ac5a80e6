// Entry point of the in-process Win32 tests: GDI+, COM and the rich edit library as the program
// itself starts them, then GoogleTest.
#include <gtest/gtest.h>

#include "items/PictureLoader.h"
#include "platform/Gdi.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    OleInitialize(nullptr);
    LoadLibraryA("riched20.dll");
    int result = RUN_ALL_TESTS();
    sona::PictureLoader::Shared().Shutdown();
    OleUninitialize();
    Gdiplus::GdiplusShutdown(token);
    return result;
}
