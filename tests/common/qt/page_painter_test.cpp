// The shared painter adapter and page output on a recording device and in PDF: text placement
// (centred, left-aligned, cut off), pictures stretched into their rectangles, undecodable
// pictures, page lists and the empty-page-list failure.

#include "common/qt/page_output.h"
#include "common/qt/page_painter.h"
#include "tests/support/recording_device.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageRanges>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using tessera::PageOp;
using tessera::test::RecordingDevice;

namespace {

const tessera::PageFont kArial{"Arial", 40, 400};

// A source whose pages are given as lists of operations.
class FixedPages : public tessera::PageSource {
public:
    explicit FixedPages(std::vector<std::vector<PageOp>> pages) : pages_(std::move(pages)) {}
    int pageCount(const tessera::PageDevice&) const override {
        return static_cast<int>(pages_.size());
    }
    std::vector<PageOp> layoutPage(const tessera::PageDevice& device, int page) const override {
        lastDevice = device;
        return pages_.at(static_cast<size_t>(page - 1));
    }
    mutable tessera::PageDevice lastDevice;

private:
    std::vector<std::vector<PageOp>> pages_;
};

QString writePicture(const QString& path, int w, int h, const char* format) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::blue);
    return image.save(path, format) ? path : QString();
}

} // namespace

class PagePainterTest : public QObject {
    Q_OBJECT
private slots:
    void textIsCentredOrLeftAlignedAndVerticallyCentred() {
        RecordingDevice device(600, 600, 2000, 2000);
        {
            QPainter painter(&device);
            tessera::paintPageOps(painter, {tessera::textOp({100, 200, 1100, 300}, kArial, "12"),
                                            tessera::textOp({100, 400, 1100, 500}, kArial, "12",
                                                            tessera::TextAlign::Left)});
        }
        const auto& texts = device.pages[0].texts;
        QCOMPARE(texts.size(), 2);
        // Centred: the text's middle sits at the rectangle's middle (600); left: it starts at
        // the left edge.
        QVERIFY2(texts[0].pos.x() > 550 && texts[0].pos.x() < 600,
                 qPrintable(QString::number(texts[0].pos.x())));
        QCOMPARE(texts[1].pos.x(), 100.0);
        // Both baselines lie inside their rectangles, at the same height relative to them.
        QVERIFY(texts[0].pos.y() > 200 && texts[0].pos.y() < 300);
        QCOMPARE(texts[1].pos.y() - 400, texts[0].pos.y() - 200);
        QCOMPARE(texts[0].pixelSize, 40);
    }

    void textTooWideIsCutOffAtItsRectangle() {
        RecordingDevice device(600, 600, 2000, 2000);
        {
            QPainter painter(&device);
            tessera::paintPageOps(painter, {tessera::textOp({100, 100, 160, 150}, kArial,
                                                            "a long text that cannot fit",
                                                            tessera::TextAlign::Left)});
        }
        const auto& t = device.pages[0].texts.at(0);
        QCOMPARE(t.clip, QRectF(100, 100, 60, 50));
    }

    void pictureIsStretchedIntoItsRectangle() {
        QTemporaryDir dir;
        // A name in Chinese: the op carries the path's bytes as on disk (UTF-8 here).
        const QString jpeg = writePicture(dir.filePath(QStringLiteral("裂缝1.jpg")), 32, 24, "JPG");
        const QString bmp = writePicture(dir.filePath(QStringLiteral("c2.BMP")), 10, 40, "BMP");
        QVERIFY(!jpeg.isEmpty() && !bmp.isEmpty());
        RecordingDevice device(600, 600, 2000, 2000);
        {
            QPainter painter(&device);
            tessera::paintPageOps(
                painter,
                {tessera::imageOp({10, 20, 650, 500}, QFile::encodeName(jpeg).toStdString()),
                 tessera::imageOp({700, 20, 800, 120}, QFile::encodeName(bmp).toStdString())});
        }
        const auto& images = device.pages[0].images;
        QCOMPARE(images.size(), 2);
        QCOMPARE(images[0].target, QRectF(10, 20, 640, 480));
        QCOMPARE(images[0].size, QSize(32, 24));
        QCOMPARE(images[1].target, QRectF(700, 20, 100, 100)); // aspect not kept: stretched
        QCOMPARE(images[1].size, QSize(10, 40));
    }

    void missingOrUndecodablePictureDrawsNothing() {
        QTemporaryDir dir;
        const QString junk = dir.filePath(QStringLiteral("junk.jpg"));
        {
            QFile f(junk);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("this is not a picture");
        }
        const QString ok = writePicture(dir.filePath(QStringLiteral("ok.png")), 4, 4, "PNG");
        RecordingDevice device(600, 600, 2000, 2000);
        {
            QPainter painter(&device);
            tessera::paintPageOps(
                painter,
                {tessera::imageOp({0, 0, 100, 100}, QFile::encodeName(junk).toStdString()),
                 tessera::imageOp({0, 0, 100, 100}, dir.filePath("missing.jpg").toStdString()),
                 tessera::imageOp({0, 0, 100, 100}, ""),
                 tessera::imageOp({50, 50, 50, 90}, ok.toStdString()), // empty rectangle
                 tessera::textOp({0, 200, 500, 260}, kArial, "after")});
        }
        QVERIFY(device.pages[0].images.isEmpty());
        // Drawing goes on after a picture that cannot be shown.
        QCOMPARE(device.pages[0].textStrings(), QStringList{QStringLiteral("after")});
    }

    void fillsAndLinesKeepTheirGeometry() {
        RecordingDevice device(300, 300, 1000, 1000);
        {
            QPainter painter(&device);
            tessera::paintPageOps(painter, {tessera::fillOp({0, 0, 1000, 1000}, 0xFFFFFF),
                                            tessera::lineOp(10, 20, 900, 20, 2)});
        }
        QCOMPARE(device.pages[0].rects.value(0), QRectF(0, 0, 1000, 1000));
        QCOMPARE(device.pages[0].lines.value(0), QLineF(10, 20, 900, 20));
    }

    void pageListFollowsTheChosenRange() {
        QCOMPARE(tessera::pageList({}, 3), (QList<int>{1, 2, 3}));
        QPageRanges r;
        r.addRange(2, 9);
        QCOMPARE(tessera::pageList(r, 3), (QList<int>{2, 3})); // no further than the last page
        QPageRanges single;
        single.addPage(1);
        single.addPage(3);
        QCOMPARE(tessera::pageList(single, 3), (QList<int>{1, 3}));
        QPageRanges past;
        past.addRange(5, 7);
        QVERIFY(tessera::pageList(past, 3).isEmpty());
    }

    void pagesAreLaidOutForTheDeviceTheyAreDrawnOn() {
        FixedPages source({{tessera::textOp({0, 0, 100, 50}, kArial, "p1")},
                           {tessera::textOp({0, 0, 100, 50}, kArial, "p2")}});
        RecordingDevice device(300, 200, 2480, 3000);
        QPainter painter(&device);
        QCOMPARE(tessera::drawPages(painter, source, {2, 1}, [&] { return device.newPage(); }), 2);
        painter.end();
        QCOMPARE(device.pages.size(), 2);
        QCOMPARE(device.pages[0].textStrings(), QStringList{QStringLiteral("p2")});
        QCOMPARE(device.pages[1].textStrings(), QStringList{QStringLiteral("p1")});
        QCOMPARE(source.lastDevice.dpiX, 300);
        QCOMPARE(source.lastDevice.dpiY, 200);
        QCOMPARE(source.lastDevice.width, 2480);
        QCOMPARE(source.lastDevice.height, 3000);
    }

    void pdfHoldsThePicturesAndNothingIsWrittenForNoPages() {
        QTemporaryDir dir;
        const QString picture = writePicture(dir.filePath(QStringLiteral("p.jpg")), 16, 16, "JPG");
        FixedPages source({{tessera::imageOp({100, 100, 1100, 900}, picture.toStdString())}});
        QString error;
        const QByteArray pdf = tessera::renderPdf(source, {300, {}, {}}, &error);
        QVERIFY2(!pdf.isEmpty(), qPrintable(error));
        QVERIFY(pdf.contains("/Subtype /Image"));

        FixedPages none({});
        const QString path = dir.filePath(QStringLiteral("none.pdf"));
        QVERIFY(!tessera::writePdf(path, none, {}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(PagePainterTest)
#include "page_painter_test.moc"
