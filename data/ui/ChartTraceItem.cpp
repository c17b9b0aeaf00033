#include "data/ui/ChartTraceItem.h"

#include "data/ChartRaster.h"

#include <QPaintEngine>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QtCharts/QChart>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kvb::ui {

namespace {

// Above the chart's grid (2) and below its axes (3).
constexpr qreal kTraceZ = 2.5;

// `over` blended over the opaque `under`, as a painter draws it.
uint32_t Blend(QColor over, QColor under)
{
    const double a = over.alphaF();
    auto mix = [a](int o, int u) { return static_cast<int>(std::lround(o * a + u * (1 - a))); };
    return qRgb(mix(over.red(), under.red()), mix(over.green(), under.green()), mix(over.blue(), under.blue()));
}
// Pixels, as thick as the chart theme draws its line series.
constexpr int kLineThickness = 2;
// A band's work grows with its columns and with the lines across them (the
// ground counting as one): a band of a drawing holds about this many
// columns times lines, so that a chart of many lines is drawn in as many
// more bands, and the bands of all charts take about as long. Most bands
// per drawing.
constexpr int64_t kBandWork = 1600;
constexpr int64_t kMostBands = 16;
// Device rows of the picture copied at a time. Qt's raster engine hands a
// copy of 96 rows or more to the application's thread pool in pieces, and
// waking those threads takes longer than the whole copy of a plot does on
// the painting thread (some 60 us at 1920x1080).
constexpr int kCopyRows = 64;

}  // namespace

ChartTraceItem::ChartTraceItem(QChart* chart) : QGraphicsItem(chart), chart_(chart)
{
    setZValue(kTraceZ);
    setAcceptedMouseButtons(Qt::NoButton);
    setFlag(ItemUsesExtendedStyleOption);  // paints only what is exposed
    followPlotArea();
}

void ChartTraceItem::redraw()
{
    drawn_.valid = false;
}

void ChartTraceItem::followPlotArea()
{
    const QRectF area = chart_->plotArea();
    if (area != area_) {
        prepareGeometryChange();
        area_ = area;
        pixelArea_ = area.toAlignedRect();
    }
    redraw();
    update();
}

void ChartTraceItem::setWindow(const Window& window, qreal pixelRatio)
{
    window_ = shown_ = window;
    ratio_ = pixelRatio;
    const QSize size = pixelArea_.size() * pixelRatio;
    if (layer_.size() != size) {
        layer_ = QImage(size, QImage::Format_RGB32);
        drawn_.valid = false;
        spanLo_.clear();  // nothing known of the new picture's pixels
    }
    layer_.setDevicePixelRatio(pixelRatio);
    thickness_ = std::max(static_cast<int>(std::lround(kLineThickness * pixelRatio)), 1);
    const Window& w = window;
    if (area_.isEmpty() || !(w.xMax > w.xMin) || !(w.yMax > w.yMin) || layer_.isNull()) {
        grid_ = {};
        first_ = 0;
        return;
    }
    // Time x lies at column x * scale + left, where the plot's left edge
    // lies `left` columns into the picture's first column.
    const double width = area_.width() * pixelRatio;
    const double scale = width / (w.xMax - w.xMin);
    const double left = (area_.left() - pixelArea_.left()) * pixelRatio;
    grid_ = {scale, -left};
    // The first column, chosen so that the window shown starts on a whole
    // column and reaches the end of the window asked for.
    first_ = static_cast<int64_t>(std::ceil(w.xMax * scale - width));
    shown_.xMin = static_cast<double>(first_) / scale;
    shown_.xMax = (static_cast<double>(first_) + width) / scale;
    sy_ = area_.height() * pixelRatio / (w.yMax - w.yMin);
    top_ = (area_.top() - pixelArea_.top()) * pixelRatio;
}

int ChartTraceItem::ringColumn(int64_t column) const
{
    const int64_t n = layer_.width();
    return static_cast<int>(((column % n) + n) % n);
}

int ChartTraceItem::beginDrawing()
{
    parts_.clear();
    if (layer_.isNull())
        return 0;
    layGround();
    const std::vector<int> oldGridColumns = gridColumns_;
    gridColumns_ = gridColumns();
    const bool whole = mustDrawWhole();
    int64_t from = first_ + layer_.width();
    const std::vector<std::pair<int64_t, int64_t>> ranges = changedColumns(whole, oldGridColumns, from);
    for (Line& line : lines_)
        if (line.trace)
            const_cast<data::ChartTrace*>(line.trace)->takeChanges();
    const bool moved = first_ != drawn_.first;
    drawn_ = {true, grid_, first_, window_.yMin, window_.yMax, layer_.size(), ratio_, lines_, ground_};
    splitIntoParts(ranges);
    if (parts_.empty() && !moved)
        return 0;
    if (whole)
        ++wholeDrawings_;
    else
        ++partialDrawings_;
    if (whole || moved) {
        update();
    } else {
        const double x = pixelArea_.left() + static_cast<double>(from - first_) / ratio_;
        update(QRectF(x, pixelArea_.top(), pixelArea_.right() + 1 - x, pixelArea_.height()));
    }
    return static_cast<int>(parts_.size());
}

void ChartTraceItem::layGround()
{
    // Taken here, where the picture is not shared, as the parts may be
    // drawn on other threads.
    target_ = {reinterpret_cast<uint32_t*>(layer_.bits()), layer_.width(), layer_.height(),
               static_cast<int>(layer_.bytesPerLine() / 4), first_, ringColumn(first_)};
    gridColour_ = Blend(ground_.grid, ground_.colour);
    rowGround_.assign(static_cast<size_t>(layer_.height()), ground_.colour.rgb());
    for (int r : gridRows())
        rowGround_[static_cast<size_t>(r)] = gridColour_;
    plainRow_.assign(static_cast<size_t>(layer_.width()), ground_.colour.rgb());
    gridRow_.assign(static_cast<size_t>(layer_.width()), gridColour_);
    if (spanLo_.size() != static_cast<size_t>(layer_.width()) || spanGround_ != rowGround_) {
        // Any pixel may differ from this ground.
        spanLo_.assign(static_cast<size_t>(layer_.width()), 0);
        spanHi_.assign(static_cast<size_t>(layer_.width()), layer_.height() - 1);
        spanGround_ = rowGround_;
    }
    target_.spanLo = spanLo_.data();
    target_.spanHi = spanHi_.data();
}

bool ChartTraceItem::mustDrawWhole() const
{
    bool whole = !drawn_.valid || !(drawn_.ground == ground_) || !(drawn_.grid == grid_) ||
                 drawn_.yMin != window_.yMin || drawn_.yMax != window_.yMax || drawn_.size != layer_.size() ||
                 drawn_.ratio != ratio_ || drawn_.lines != lines_ || first_ < drawn_.first ||
                 first_ - drawn_.first >= layer_.width();
    for (const Line& line : lines_)
        whole = whole || (line.shown && line.trace && line.trace->restarted());
    return whole;
}

std::vector<std::pair<int64_t, int64_t>> ChartTraceItem::changedColumns(bool whole,
                                                                         const std::vector<int>& oldGridColumns,
                                                                         int64_t& from) const
{
    const int64_t end = first_ + layer_.width();
    std::vector<std::pair<int64_t, int64_t>> ranges;
    if (whole) {
        from = first_;
        ranges.emplace_back(from, end);
        return ranges;
    }
    // A line of that width reaches this many columns before and after
    // the column it passes.
    const int before = thickness_ / 2, after = (thickness_ - 1) / 2;
    from = end;
    if (first_ != drawn_.first) {
        // The window moved: the columns that came in at the right, those
        // at the left a line reaches from the columns now cut off, and
        // those that leave or come under a grid line, which stands.
        from = drawn_.first + layer_.width();
        if (after > 0)
            ranges.emplace_back(first_, first_ + after);
        for (int c : oldGridColumns)
            ranges.emplace_back(drawn_.first + c, drawn_.first + c + 1);
        for (int c : gridColumns_)
            ranges.emplace_back(first_ + c, first_ + c + 1);
    }
    for (const Line& line : lines_)
        if (line.shown && line.trace && line.trace->changedFrom() != data::ChartTrace::kNone)
            // From the point before the first that changed: the segment
            // between them moved.
            from = std::min(from, line.trace->pointColumnBefore(line.trace->changedFrom()) - before);
    from = std::max(from, first_);
    if (from < end)
        ranges.emplace_back(from, end);
    return ranges;
}

void ChartTraceItem::splitIntoParts(std::vector<std::pair<int64_t, int64_t>> ranges)
{
    // Cut to the picture and joined where they meet: each column is drawn
    // by one part only.
    const int64_t end = first_ + layer_.width();
    for (auto& [a, b] : ranges) {
        a = std::max(a, first_);
        b = std::min(b, end);
    }
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<int64_t, int64_t>> joined;
    for (const auto& [a, b] : ranges) {
        if (a >= b)
            continue;
        if (!joined.empty() && a <= joined.back().second)
            joined.back().second = std::max(joined.back().second, b);
        else
            joined.emplace_back(a, b);
    }
    int64_t lines = 1;
    for (const Line& line : lines_)
        lines += line.shown && line.trace ? 1 : 0;
    for (const auto& [a, b] : joined) {
        const int64_t bands = std::clamp<int64_t>((b - a) * lines / kBandWork, 1, kMostBands);
        for (int64_t k = 0; k < bands; ++k)
            parts_.emplace_back(a + (b - a) * k / bands, a + (b - a) * (k + 1) / bands);
    }
}

std::vector<int> ChartTraceItem::gridColumns() const
{
    std::vector<int> columns;
    const int n = ground_.verticalLines;
    const double left = -grid_.phase, width = area_.width() * ratio_;
    for (int k = 0; k < n && n > 1; ++k) {
        const int c = static_cast<int>(std::floor(left + width * k / (n - 1)));
        if (c >= 0 && c < layer_.width())
            columns.push_back(c);
    }
    return columns;
}

std::vector<int> ChartTraceItem::gridRows() const
{
    std::vector<int> rows;
    const int n = ground_.horizontalLines;
    const double height = area_.height() * ratio_;
    for (int k = 0; k < n && n > 1; ++k) {
        const int r = static_cast<int>(std::floor(top_ + height * k / (n - 1)));
        if (r >= 0 && r < layer_.height())
            rows.push_back(r);
    }
    return rows;
}

// Lays the ground of columns [from, to): the plot's colour with the grid's
// rows, and the grid's columns. Only the rows the columns' spans hold can
// differ from the ground, and only those are laid.
void ChartTraceItem::clearColumns(int64_t from, int64_t to)
{
    const data::PixelBuffer& t = target_;
    // Columns are laid in chunks, row by row over each chunk's rows.
    constexpr int kChunk = 32;
    for (int64_t g = from; g < to;) {
        const int c = ringColumn(g);
        const int n = static_cast<int>(std::min<int64_t>(to - g, t.width - c));
        for (int k = c; k < c + n; k += kChunk) {
            const int m = std::min(kChunk, c + n - k);
            int lo = t.height, hi = -1;
            for (int j = k; j < k + m; ++j) {
                lo = std::min(lo, spanLo_[static_cast<size_t>(j)]);
                hi = std::max(hi, spanHi_[static_cast<size_t>(j)]);
                spanLo_[static_cast<size_t>(j)] = t.height;
                spanHi_[static_cast<size_t>(j)] = -1;
            }
            // Copied from a row laid once: many times faster than a fill.
            for (int r = lo; r <= hi; ++r)
                std::memcpy(t.pixels + static_cast<ptrdiff_t>(r) * t.stride + k,
                            (rowGround_[static_cast<size_t>(r)] == gridColour_ ? gridRow_ : plainRow_).data(),
                            static_cast<size_t>(m) * sizeof(uint32_t));
        }
        g += n;
    }
    for (int column : gridColumns_) {
        const int64_t g = first_ + column;
        if (g < from || g >= to)
            continue;
        const int c = ringColumn(g);
        uint32_t* p = t.pixels + c;
        for (int r = 0; r < t.height; ++r, p += t.stride)
            *p = gridColour_;
        spanLo_[static_cast<size_t>(c)] = 0;
        spanHi_[static_cast<size_t>(c)] = t.height - 1;
    }
}

int64_t ChartTraceItem::columnsToDraw() const
{
    int64_t n = 0;
    for (const auto& [from, to] : parts_)
        n += to - from;
    return n;
}

void ChartTraceItem::drawPart(int part)
{
    const auto [from, to] = parts_[static_cast<size_t>(part)];
    if (from >= to)
        return;
    clearColumns(from, to);
    const int before = thickness_ / 2, after = (thickness_ - 1) / 2;
    std::vector<data::ChartPoint> points;
    for (const Line& line : lines_) {
        if (!line.shown || !line.trace)
            continue;
        points.clear();
        // The columns whose line reaches the band.
        line.trace->points(from - after, to + before, points);
        for (data::ChartPoint& p : points)
            p = {grid_.at(p.x), top_ + (window_.yMax - p.y) * sy_};
        data::DrawChartLineColumns(target_, points.data(), points.size(), line.colour.rgba(), thickness_,
                                   static_cast<int>(from - first_), static_cast<int>(to - first_));
    }
}

void ChartTraceItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*)
{
    if (pixelArea_.isEmpty() || layer_.isNull() || !drawn_.valid)
        return;
    const QRectF exposed = option ? option->exposedRect : boundingRect();
    if (copyInto(painter, exposed.toAlignedRect()))
        return;
    // The ring's column of the first column shown, and the two pieces from
    // there to the ring's end and from its start on; of each only what the
    // paint exposes.
    const int w = layer_.width(), h = layer_.height();
    const int r0 = ringColumn(first_);
    // The picture is opaque: copied, not blended.
    painter->setCompositionMode(QPainter::CompositionMode_Source);
    // Copied in bands of device rows that begin on whole pixels of the
    // paint, where the pixel ratio allows; at other ratios at once.
    const bool wholeRatio = ratio_ >= 1 && ratio_ <= kCopyRows && std::floor(ratio_) == ratio_;
    const int perPixel = static_cast<int>(ratio_);
    const double band = wholeRatio ? perPixel * (kCopyRows / perPixel) : h;
    auto piece = [&](double left, int from, int width) {
        const QRectF target(pixelArea_.left() + left / ratio_, pixelArea_.top(), width / ratio_, h / ratio_);
        const QRectF shown = target & exposed.toAlignedRect();
        if (shown.isEmpty())
            return;
        const QRectF source(from + (shown.left() - target.left()) * ratio_, (shown.top() - target.top()) * ratio_,
                            shown.width() * ratio_, shown.height() * ratio_);
        for (double y = 0; y < source.height(); y += band) {
            const double rows = std::min(band, source.height() - y);
            painter->drawImage(QRectF(shown.left(), shown.top() + y / ratio_, shown.width(), rows / ratio_), layer_,
                               QRectF(source.left(), source.top() + y, source.width(), rows));
        }
    };
    piece(0, r0, w - r0);
    if (r0 > 0)
        piece(w - r0, 0, r0);
}

bool ChartTraceItem::copyInto(QPainter* painter, const QRect& exposed) const
{
    // A painter on an image of the picture's pixels, unshared (a shared
    // image would be copied away from the painter by a write), moving the
    // picture by whole pixels only, with no clip of its own.
    QPaintEngine* engine = painter->paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || ratio_ != 1.0 || painter->hasClipping())
        return false;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return false;
    auto* image = static_cast<QImage*>(device);
    const QTransform t = painter->deviceTransform();
    if (image->format() != layer_.format() || !image->isDetached() || t.type() > QTransform::TxTranslate ||
        t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy()))
        return false;
    const QPoint offset(static_cast<int>(t.dx()), static_cast<int>(t.dy()));
    // What may be painted, in the image's pixels: the part of the picture
    // the paint exposes, inside the image and the system's clip (the region
    // being painted).
    const QPoint origin = pixelArea_.topLeft() + offset;  // of the picture, in the image
    QRegion allowed =
        pixelArea_.intersected(exposed).translated(offset) & image->rect() & QRect(origin, layer_.size());
    if (!engine->systemClip().isEmpty())
        allowed &= engine->systemClip();
    // Rows of the picture to copy: each a run of the ring from a picture
    // column, wrapping to its start.
    struct Run {
        uchar* to;
        const uchar* from;
        int pixels;
    };
    std::vector<Run> runs;
    int64_t pixels = 0;
    const int w = layer_.width(), r0 = ringColumn(first_);
    const auto* picture = layer_.constBits();
    uchar* bits = image->bits();
    for (const QRect& r : allowed) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const int row = y - origin.y();
            int x = r.left();
            while (x <= r.right()) {
                // The ring's column of the picture column x shows.
                int c = r0 + (x - origin.x());
                if (c >= w)
                    c -= w;
                const int n = std::min(r.right() + 1 - x, w - c);
                runs.push_back({bits + static_cast<ptrdiff_t>(y) * image->bytesPerLine() + x * 4,
                                picture + static_cast<ptrdiff_t>(row) * layer_.bytesPerLine() + c * 4, n});
                x += n;
                pixels += n;
            }
        }
    }
    // Bands of rows. A large copy is spread, as it is bound by how fast one
    // core moves memory: the cell chart's picture at 3840x2160 (3 M pixels)
    // took 1.2 ms on one thread. Smaller ones are quicker copied here than
    // handed to the thread pool, up to the cell chart's at 1920x1080
    // (0.7 M pixels).
    constexpr size_t kBandRuns = 64;
    constexpr int64_t kSpreadPixels = 1024 * 1024;
    const size_t bands = (runs.size() + kBandRuns - 1) / kBandRuns;
    auto band = [&runs](size_t k) {
        for (size_t i = k * kBandRuns; i < std::min(runs.size(), (k + 1) * kBandRuns); ++i)
            std::memcpy(runs[i].to, runs[i].from, static_cast<size_t>(runs[i].pixels) * 4);
    };
    if (spreader_ && pixels >= kSpreadPixels) {
        spreader_(bands, band);
    } else {
        for (size_t k = 0; k < bands; ++k)
            band(k);
    }
    return true;
}

}  // namespace kvb::ui
