#include "OpaquePicture.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace
{
/** True for an 8-bit RGB picture whose chunks before the image data name no colour space: the pictures the
    direct path decodes exactly as the toolkit does. The toolkit ignores gamma and colour profiles, which
    the direct path would apply, and it keeps 16-bit samples at their top eight bits. */
bool isPlainRgb(const juce::uint8* d, size_t size)
{
    static const juce::uint8 signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 33 || !std::equal(signature, signature + 8, d) || std::memcmp(d + 12, "IHDR", 4) != 0 ||
        d[24] != 8 || d[25] != 2)
        return false;
    for (size_t at = 8; at + 12 <= size;)
    {
        const size_t length = (size_t)juce::ByteOrder::bigEndianInt(d + at);
        const auto* type = d + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0)
            return true;
        for (const char* colourSpace : {"gAMA", "cHRM", "iCCP", "sRGB"})
            if (std::memcmp(type, colourSpace, 4) == 0)
                return false;
        if (length > size - at - 12)
            return false;
        at += 12 + length;
    }
    return false;
}
} // namespace

juce::Image decodeOpaquePicture(const void* data, size_t size)
{
    if (!isPlainRgb(static_cast<const juce::uint8*>(data), size))
        return juce::ImageFileFormat::loadFrom(data, size);

    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, data, size) != 0 && png.width > 0 && png.height > 0 &&
        png.width <= 16384 && png.height <= 16384)
    {
        juce::Image image(juce::Image::RGB, (int)png.width, (int)png.height, false);
        juce::Image::BitmapData pixels(image, juce::Image::BitmapData::writeOnly);
        // The toolkit keeps an RGB pixel as blue, green, red in memory, and rows a line stride apart.
        static_assert(sizeof(juce::PixelRGB) == 3);
        png.format = PNG_FORMAT_BGR;
        if (pixels.pixelStride == 3 &&
            png_image_finish_read(&png, nullptr, pixels.data, pixels.lineStride, nullptr) != 0)
            return image;
    }
    png_image_free(&png);
    return juce::ImageFileFormat::loadFrom(data, size);
}
