#pragma once

#include <cstddef>

/** True when the bytes are UTF-8 in its shortest forms only: no overlong form (C0 80 for NUL, C0 BC for
    '<'), no surrogate halves, nothing above U+10FFFF, no sequence cut short.

    The toolkit's own check (CharPointer_UTF8's isValidString) lets overlong forms through, and a toolkit
    string made from them miscounts its own length: String::trimStart on one wrote a byte past its heap
    block. Every outside text goes through this check before a toolkit string is made of it. */
bool isStrictUtf8(const void* data, size_t size);
