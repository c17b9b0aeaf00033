#include "data/ui/FastDrawing.h"

namespace kvb::ui {

void FastDrawing::GetImageData(const QImage& image, std::vector<uint8_t>& data) const
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const int w = rgb.width(), h = rgb.height();
    data.assign(static_cast<size_t>(w) * h * 3, 0);
    for (int y = 0; y < h; ++y) {
        // Bitmap rows run from the bottom up; each scan line is padded.
        const uchar* line = rgb.constScanLine(h - 1 - y);
        uint8_t* out = data.data() + static_cast<size_t>(y) * w * 3;
        for (int x = 0; x < w; ++x) {
            out[3 * x] = line[3 * x + 2];
            out[3 * x + 1] = line[3 * x + 1];
            out[3 * x + 2] = line[3 * x];
        }
    }
}

void FastDrawing::SetImageData(QImage& image, const std::vector<uint8_t>& data) const
{
    const int w = image.width(), h = image.height();
    if (data.size() < static_cast<size_t>(w) * h * 3)
        return;  // an array for another size is not drawn
    QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        uchar* line = rgb.scanLine(h - 1 - y);
        const uint8_t* in = data.data() + static_cast<size_t>(y) * w * 3;
        for (int x = 0; x < w; ++x) {
            line[3 * x] = in[3 * x + 2];
            line[3 * x + 1] = in[3 * x + 1];
            line[3 * x + 2] = in[3 * x];
        }
    }
    image = rgb.convertToFormat(image.format());
}

}  // namespace kvb::ui
