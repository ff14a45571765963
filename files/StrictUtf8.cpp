#include "StrictUtf8.h"

#include <cstdint>

bool isStrictUtf8(const void* data, size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    size_t i = 0;
    while (i < size)
    {
        const unsigned lead = bytes[i];
        if (lead < 0x80)
        {
            ++i;
            continue;
        }
        size_t length;
        uint32_t codePoint, smallest;
        if ((lead & 0xE0) == 0xC0)
            length = 2, codePoint = lead & 0x1F, smallest = 0x80;
        else if ((lead & 0xF0) == 0xE0)
            length = 3, codePoint = lead & 0x0F, smallest = 0x800;
        else if ((lead & 0xF8) == 0xF0)
            length = 4, codePoint = lead & 0x07, smallest = 0x10000;
        else
            return false; // a continuation byte without its lead, or a lead that UTF-8 no longer has
        if (size - i < length)
            return false;
        for (size_t k = 1; k < length; ++k)
        {
            const unsigned next = bytes[i + k];
            if ((next & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}
