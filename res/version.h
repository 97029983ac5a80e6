// The program's version, in one place: the version resource, the package name and the tests
// that read the version back all take it from here. The caption's "V1.2.7" is the first three.
#pragma once

#define SONA_VERSION_MAJOR 1
#define SONA_VERSION_MINOR 2
#define SONA_VERSION_PATCH 7
#define SONA_VERSION_BUILD 0
#define SONA_VERSION_TEXT "1.2.7.0"
#define SONA_PRODUCT_NAME "Varnel Sonadesk"
#define SONA_COMPANY_NAME "Varnel"
