#pragma once

#include <juce_graphics/juce_graphics.h>

/** Decodes an opaque PNG straight into a three-byte-per-pixel image, a row at a time. The toolkit's own
    loader first decodes the whole picture into a four-byte buffer and then copies it: for the keyboard
    picture that is 1.35 MB more at the moment the editor's memory peaks. Anything the direct path cannot
    take is handed to the toolkit's loader. */
juce::Image decodeOpaquePicture(const void* data, size_t size);
