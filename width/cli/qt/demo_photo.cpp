#include "width/cli/qt/demo_photo.h"

#include "common/qt/page_painter.h"
#include "common/qt/text.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace fallowmere::demo {
namespace {

// Smooth noise: random values on a grid of `cell` pixels, interpolated between them.
class ValueNoise {
public:
    ValueNoise(Random& random, int width, int height, int cell, int amplitude)
        : cell_(std::max(1, cell)), columns_(width / cell_ + 2), rows_(height / cell_ + 2) {
        values_.resize(static_cast<size_t>(columns_) * static_cast<size_t>(rows_));
        for (double& v : values_)
            v = random.between(-amplitude, amplitude);
    }
    double at(int x, int y) const {
        const int gx = x / cell_, gy = y / cell_;
        const double fx = static_cast<double>(x % cell_) / cell_;
        const double fy = static_cast<double>(y % cell_) / cell_;
        const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
        const double top = value(gx, gy) * (1 - sx) + value(gx + 1, gy) * sx;
        const double bottom = value(gx, gy + 1) * (1 - sx) + value(gx + 1, gy + 1) * sx;
        return top * (1 - sy) + bottom * sy;
    }

private:
    int cell_, columns_, rows_;
    std::vector<double> values_;
    double value(int gx, int gy) const {
        return values_[static_cast<size_t>(gy) * static_cast<size_t>(columns_) +
                       static_cast<size_t>(gx)];
    }
};

int clampByte(double v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

void drawSurface(QImage& image, Random& random) {
    const int w = image.width(), h = image.height();
    const double scale = w / 640.0;
    const ValueNoise coarse(random, w, h, static_cast<int>(48 * scale), 16);
    const ValueNoise fine(random, w, h, static_cast<int>(7 * scale), 7);
    const int base = random.between(138, 158);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double v = base + coarse.at(x, y) + fine.at(x, y) + random.between(-9, 9);
            line[x] = qRgb(clampByte(v + 2), clampByte(v + 1), clampByte(v - 4));
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    // Sand grains, lighter and darker, and small pores.
    const int grains = w * h / 700;
    for (int i = 0; i < grains; ++i) {
        const double x = random.unit() * w, y = random.unit() * h;
        const double r = (1 + random.unit() * 4) * scale;
        const int tone = random.between(0, 2);
        const QColor colour = tone == 0   ? QColor(205, 200, 188, 90)
                              : tone == 1 ? QColor(95, 92, 88, 80)
                                          : QColor(172, 160, 140, 70);
        p.setBrush(colour);
        p.drawEllipse(QPointF(x, y), r, r * (0.6 + 0.4 * random.unit()));
    }
    const int pores = w * h / 6000;
    for (int i = 0; i < pores; ++i) {
        const double r = (1 + random.unit() * 2.5) * scale;
        p.setBrush(QColor(48, 46, 44, 200));
        p.drawEllipse(QPointF(random.unit() * w, random.unit() * h), r, r);
    }
}

// An irregular course from `start` in the direction `heading`, until it has run `length` or
// left the picture.
std::vector<QPointF> crackLine(Random& random, QPointF start, double heading, double length,
                               double step, const QRectF& bounds) {
    std::vector<QPointF> points{start};
    double angle = heading;
    for (double done = 0; done < length && bounds.contains(points.back()); done += step) {
        angle += (random.unit() - 0.5) * 0.9;
        angle += (heading - angle) * 0.2; // keeps its general direction
        const QPointF last = points.back();
        points.push_back(last + QPointF(std::cos(angle) * step, std::sin(angle) * step));
    }
    return points;
}

// The crack as a filled shape: both edges follow the course at half the width, each a little
// ragged on its own, with a soft darker rim.
void drawCrack(QPainter& p, Random& random, const std::vector<QPointF>& line, double width) {
    if (line.size() < 2)
        return;
    std::vector<QPointF> left, right;
    double swell = 1;
    for (size_t i = 0; i < line.size(); ++i) {
        const QPointF a = line[i == 0 ? 0 : i - 1], b = line[std::min(i + 1, line.size() - 1)];
        const QPointF d = b - a;
        const double len = std::max(1e-6, std::hypot(d.x(), d.y()));
        const QPointF normal(-d.y() / len, d.x() / len);
        swell = std::clamp(swell + (random.unit() - 0.5) * 0.25, 0.7, 1.3);
        const double half = width / 2 * swell;
        left.push_back(line[i] + normal * (half * (0.85 + 0.3 * random.unit())));
        right.push_back(line[i] - normal * (half * (0.85 + 0.3 * random.unit())));
    }
    QPainterPath shape(left.front());
    for (size_t i = 1; i < left.size(); ++i)
        shape.lineTo(left[i]);
    for (size_t i = right.size(); i-- > 0;)
        shape.lineTo(right[i]);
    shape.closeSubpath();
    p.setPen(QPen(QColor(62, 58, 54, 110), std::max(1.5, width * 0.35 + 1.5), Qt::SolidLine,
                  Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(34, 31, 29));
    p.drawPath(shape);
}

void drawLabel(QPainter& p, const QRectF& box, const QString& text, int pixelHeight) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawRect(box);
    p.setPen(Qt::black);
    p.setFont(tessera::qFontFor({"Arial", pixelHeight, 700}));
    p.drawText(box, Qt::AlignCenter, text);
}

} // namespace

double pixelsPerMillimetre(int width) {
    return width / 6.4;
}

QImage drawCrackPhoto(const DemoRecord& record, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    Random random(record.seed);
    drawSurface(image, random);
    const int w = size.width(), h = size.height();
    const double scale = w / 640.0;
    const double perMm = pixelsPerMillimetre(w);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double heading = (random.unit() - 0.5) * 0.8;
    const QPointF start(-10 * scale, h * (0.3 + 0.4 * random.unit()));
    const QRectF bounds(-20 * scale, -20 * scale, w + 40 * scale, h + 40 * scale);
    const std::vector<QPointF> main = crackLine(random, start, heading, 3.0 * w, 7 * scale, bounds);
    drawCrack(p, random, main, std::max(1.0, record.widthMm * perMm));
    // A thin branch from somewhere along the crack.
    const QPointF fork = main[main.size() / 3 + static_cast<size_t>(random.between(0, 8))];
    const double branchHeading = heading + (random.unit() < 0.5 ? -1 : 1) * (0.6 + random.unit());
    drawCrack(p, random, crackLine(random, fork, branchHeading, w * 0.3, 5 * scale, bounds),
              std::max(1.0, 2.0 * scale));

    // The scale bar: 1 mm with a tick every 0.1 mm.
    const int text = std::max(6, static_cast<int>(16 * scale));
    const QRectF panel(12 * scale, h - 12 * scale - 3.2 * text, perMm + 24 * scale, 3.2 * text);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawRect(panel);
    const double barLeft = panel.left() + 12 * scale, barY = panel.bottom() - 0.9 * text;
    p.setPen(QPen(Qt::black, std::max(1.0, 2 * scale), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(barLeft, barY), QPointF(barLeft + perMm, barY));
    for (int k = 0; k <= 10; ++k) {
        const double x = barLeft + perMm * k / 10;
        const double tick = (k % 5 == 0 ? 0.6 : 0.35) * text;
        p.drawLine(QPointF(x, barY), QPointF(x, barY - tick));
    }
    p.setFont(tessera::qFontFor({"Arial", text, 700}));
    p.drawText(QRectF(panel.left(), panel.top(), panel.width(), 1.6 * text), Qt::AlignCenter,
               QStringLiteral("1 mm"));

    // The record's name and width, as the meter stamps them.
    const QString stamp = tessera::fromGbk(record.record.strName) + QStringLiteral("   ") +
                          tessera::fromGbk(record.record.strWidth) + QStringLiteral(" mm");
    const QFontMetricsF metrics(tessera::qFontFor({"Arial", text, 700}));
    drawLabel(p,
              QRectF(12 * scale, 12 * scale, metrics.horizontalAdvance(stamp) + text, 1.6 * text),
              stamp, text);
    p.end();
    return image;
}

QByteArray encodePhoto(const QImage& image, PhotoFormat format) {
    QByteArray bytes;
    if (format == PhotoFormat::None)
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format == PhotoFormat::Bmp ? "bmp" : "jpeg");
    if (format == PhotoFormat::Jpeg)
        writer.setQuality(90);
    if (!writer.write(image))
        bytes.clear();
    return bytes;
}

} // namespace fallowmere::demo
