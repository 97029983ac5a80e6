// The program's version, in one place: the version resource, the package name and the tests
// that read the version back all take it from here; the caption shows the first three.
#pragma once

#define SONA_VERSION_MAJOR 1
#define SONA_VERSION_MINOR 2
#define SONA_VERSION_PATCH 7
#define SONA_VERSION_BUILD 0
#define SONA_VERSION_TEXT "1.2.7.0"
// "V1.2.7": what the main window's caption shows after the product name.
#define SONA_VERSION_QUOTE_(n) #n
#define SONA_VERSION_QUOTE(n) SONA_VERSION_QUOTE_(n)
#define SONA_CAPTION_VERSION \
    "V" SONA_VERSION_QUOTE(SONA_VERSION_MAJOR) "." SONA_VERSION_QUOTE(SONA_VERSION_MINOR) "." SONA_VERSION_QUOTE(SONA_VERSION_PATCH)
#define SONA_PRODUCT_NAME "Varnel Sonadesk"
#define SONA_COMPANY_NAME "Varnel"
