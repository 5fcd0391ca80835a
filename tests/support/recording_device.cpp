#include "tests/support/recording_device.h"

#include <QFontInfo>
#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <climits>

namespace tessera::test {

RecordingEngine::RecordingEngine(RecordingDevice* device)
    : QPaintEngine(AllFeatures), device_(device) {}

void RecordingEngine::updateState(const QPaintEngineState& state) {
    if (state.state() & DirtyClipRegion)
        clip_ = state.clipRegion().boundingRect();
    if (state.state() & DirtyClipPath)
        clip_ = state.clipPath().boundingRect();
    if (state.state() & DirtyClipEnabled && !state.isClipEnabled())
        clip_ = QRectF();
    if ((state.state() & (DirtyClipRegion | DirtyClipPath)) && state.clipOperation() == Qt::NoClip)
        clip_ = QRectF();
}

void RecordingEngine::drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF&) {
    device_->pages.last().images.append({r, pm.size()});
}

void RecordingEngine::drawImage(const QRectF& r, const QImage& image, const QRectF&,
                                Qt::ImageConversionFlags) {
    device_->pages.last().images.append({r, image.size()});
}

void RecordingEngine::drawTextItem(const QPointF& p, const QTextItem& item) {
    device_->pages.last().texts.append({item.text(), p, QFontInfo(item.font()).family(),
                                        item.font().pixelSize(), item.font().weight(), clip_});
}

void RecordingEngine::drawLines(const QLineF* lines, int count) {
    for (int i = 0; i < count; ++i)
        device_->pages.last().lines.append(lines[i]);
}

void RecordingEngine::drawLines(const QLine* lines, int count) {
    for (int i = 0; i < count; ++i)
        device_->pages.last().lines.append(QLineF(lines[i]));
}

void RecordingEngine::drawRects(const QRectF* rects, int count) {
    for (int i = 0; i < count; ++i)
        device_->pages.last().rects.append(rects[i]);
}

void RecordingEngine::drawRects(const QRect* rects, int count) {
    for (int i = 0; i < count; ++i)
        device_->pages.last().rects.append(QRectF(rects[i]));
}

RecordingDevice::RecordingDevice(int dpiX, int dpiY, int width, int height)
    : dpiX_(dpiX), dpiY_(dpiY), width_(width), height_(height), engine_(this) {}

QPaintEngine* RecordingDevice::paintEngine() const {
    return &engine_;
}

QStringList RecordingDevice::Page::textStrings() const {
    QStringList out;
    for (const auto& t : texts)
        out << t.text;
    return out;
}

bool RecordingDevice::newPage() {
    pages.append(Page{});
    return true;
}

int RecordingDevice::metric(PaintDeviceMetric m) const {
    switch (m) {
    case PdmWidth:
        return width_;
    case PdmHeight:
        return height_;
    case PdmWidthMM:
        return static_cast<int>(width_ * 25.4 / dpiX_);
    case PdmHeightMM:
        return static_cast<int>(height_ * 25.4 / dpiY_);
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return dpiX_;
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return dpiY_;
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}

} // namespace tessera::test
