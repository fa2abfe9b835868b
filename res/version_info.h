// The values of the program's version resource. This is the one description
// of them: the build-time generator on POSIX and the Windows resource script
// both include it, so the two resources carry the same values.
#pragma once

#define QUORIX_FILE_VERSION 2, 87, 0, 0
#define QUORIX_PRODUCT_VERSION 2, 87, 0, 0
#define QUORIX_FILE_VERSION_TEXT "2.87.0.0"
#define QUORIX_PRODUCT_VERSION_TEXT "2.87.0.0"

#define QUORIX_COMPANY_NAME "Ostrevane"
#define QUORIX_FILE_DESCRIPTION "quorix screen saver"
#define QUORIX_INTERNAL_NAME "quorix"
#define QUORIX_LEGAL_COPYRIGHT "2026"
#define QUORIX_ORIGINAL_FILENAME "quorix.scr"
#define QUORIX_PRODUCT_NAME "quorix"

// US English, Unicode code page.
#define QUORIX_LANGUAGE 0x0409
#define QUORIX_CODE_PAGE 1200
