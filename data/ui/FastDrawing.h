#pragma once
// Copies an image's pixels into a byte array and back as 24-bit bitmap data
// (blue, green, red per pixel, rows from the bottom up, no row padding in
// the array), so that a picture can be read or drawn pixel by pixel. The
// image's own rows are reached through its scan lines, whatever their
// padding. Width and height always follow the image at the call.

#include <QImage>

#include <cstdint>
#include <vector>

namespace kvb::ui {

class FastDrawing {
public:
    // The highest column index (width - 1).
    int GetImageWidth(const QImage& image) const { return image.width() - 1; }
    int GetImageHeight(const QImage& image) const { return image.height(); }
    int GetImageStreamLength(const QImage& image) const { return image.width() * image.height() * 3; }

    // The array is indexed as (colour 0..2, column, row): byte
    // colour + 3 * (column + width * row).
    void GetImageData(const QImage& image, std::vector<uint8_t>& data) const;
    void SetImageData(QImage& image, const std::vector<uint8_t>& data) const;
    // The same data as one stream.
    void GetImageDataStream(const QImage& image, std::vector<uint8_t>& data) const
    {
        GetImageData(image, data);
    }
    void SetImageDataStream(QImage& image, const std::vector<uint8_t>& data) const
    {
        SetImageData(image, data);
    }
};

}  // namespace kvb::ui
