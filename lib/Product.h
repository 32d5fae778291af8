// The product identity record, shared by the program and the library.
#pragma once
#include "Panorel32.h"

struct ProductInfo {
    const char* name;       // product name: registry keys, captions, the application name
    const char* name3;      // the second name kept by the application information
    WORD version;           // major in the high byte, minor in the low byte
    WORD code;              // lParam of the maker-wide message codes 1, 13 and 14
    const char* helpFile;   // looked for in the home folder
};

PANOREL32_API const ProductInfo& GetProductInfo();
