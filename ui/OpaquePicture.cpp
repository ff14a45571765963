#include "OpaquePicture.h"

#include <png.h>

juce::Image decodeOpaquePicture(const void* data, size_t size)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, data, size) != 0 &&
        (png.format & PNG_FORMAT_FLAG_ALPHA) == 0 && png.width > 0 && png.height > 0 && png.width <= 16384 &&
        png.height <= 16384)
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
