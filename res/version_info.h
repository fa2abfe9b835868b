// The values of the program's version resource. This is the one description
// of them: the build-time generator on POSIX and the Windows resource script
// (res/quorix.rc, through windres's C preprocessor) both include it, so the two
// resources carry the same values in the same order.
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

// The fixed file information besides the versions: all flag bits are valid,
// none is set (a release build), a 32-bit Windows NT application.
#define QUORIX_FILE_FLAGS_MASK 0x3F
#define QUORIX_FILE_FLAGS 0
#define QUORIX_FILE_OS 0x00040004
#define QUORIX_FILE_TYPE 1
#define QUORIX_FILE_SUBTYPE 0

// US English, Unicode code page; the string table's key is the two in hex.
#define QUORIX_LANGUAGE 0x0409
#define QUORIX_CODE_PAGE 1200
#define QUORIX_STRING_TABLE_KEY "040904b0"

// The string table, in resource order: X(key, value) for each entry. The
// reader looks for the company name, the internal name and the legal notice
// in this order, so the table keeps them in this order.
#define QUORIX_VERSION_STRINGS(X)                   \
    X("CompanyName", QUORIX_COMPANY_NAME)           \
    X("FileDescription", QUORIX_FILE_DESCRIPTION)   \
    X("FileVersion", QUORIX_FILE_VERSION_TEXT)      \
    X("InternalName", QUORIX_INTERNAL_NAME)         \
    X("LegalCopyright", QUORIX_LEGAL_COPYRIGHT)     \
    X("OriginalFilename", QUORIX_ORIGINAL_FILENAME) \
    X("ProductName", QUORIX_PRODUCT_NAME)           \
    X("ProductVersion", QUORIX_PRODUCT_VERSION_TEXT)
