#pragma once
// A paint device for tests whose engine records, page by page, every text item, line,
// rectangle and picture it is given, in device pixels, at a chosen resolution and size.

#include <QFont>
#include <QLineF>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace tessera::test {

struct RecordedText {
    QString text;
    QPointF pos; // baseline origin
    QString family;
    int pixelSize = 0;
    int weight = 0;
    QRectF clip; // the clip rectangle in force (empty: none)
};

struct RecordedImage {
    QRectF target;
    QSize size; // of the picture drawn
};

class RecordingDevice;

class RecordingEngine : public QPaintEngine {
public:
    explicit RecordingEngine(RecordingDevice* device);
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override;
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override;
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                   Qt::ImageConversionFlags flags) override;
    void drawTextItem(const QPointF& p, const QTextItem& item) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawLines(const QLine* lines, int count) override;
    void drawRects(const QRectF* rects, int count) override;
    void drawRects(const QRect* rects, int count) override;
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    Type type() const override { return User; }

private:
    RecordingDevice* device_;
    QRectF clip_;
};

class RecordingDevice : public QPaintDevice {
public:
    RecordingDevice(int dpiX, int dpiY, int width, int height);
    QPaintEngine* paintEngine() const override;

    struct Page {
        QList<RecordedText> texts;
        QList<QLineF> lines;
        QList<QRectF> rects;
        QList<RecordedImage> images;
        QStringList textStrings() const;
    };
    QList<Page> pages{Page{}};
    // Starts the next page (what QPagedPaintDevice::newPage does for a printer).
    bool newPage();

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    int dpiX_, dpiY_, width_, height_;
    mutable RecordingEngine engine_;
};

} // namespace tessera::test
