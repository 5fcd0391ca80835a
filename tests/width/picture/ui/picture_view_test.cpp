// The picture pane: how it follows the picks (the path rules), where it draws in both layouts,
// photographs too large to decode whole, damaged ones, the decoded-picture cache and its byte
// budget, and the report it prints.

#include "common/gbk.h"
#include "tests/support/modal_dialog.h"
#include "tests/support/recording_device.h"
#include "tests/support/scripted_prompt.h"
#include "tests/width/project_fixture.h"
#include "width/picture/ui/quenby_view.h"
#include "width/project/command_ids.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

using namespace fallowmere;
using tessera::ScriptedPrompt;
using widthui::colorOf;
using widthui::writePicture;

namespace {

std::string gbk(const QString& text) {
    return tessera::utf8ToGbk(text.toStdString()).value();
}

// Whether some pixel in `rect` of `image` is dark (text).
bool hasInk(const QImage& image, const QRect& rect) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                return true;
    return false;
}

} // namespace

class PictureViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tmp;
    widthui::Project project;
    std::unique_ptr<CQuenbyDoc> doc;
    StdFileOps fs;
    std::unique_ptr<CQuenbyView> view;
    std::unique_ptr<ScriptedPrompt> prompt;

    QString bmp(int i) const { return project.pictures + QStringLiteral("/N%1.bmp").arg(i); }
    // Shows the pane with a viewport of exactly w × h pixels.
    void showAt(int w, int h) {
        view->setFrameShape(QFrame::NoFrame);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->resize(w, h);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QCOMPARE(view->viewport()->size(), QSize(w, h));
    }
    QImage shot() { return view->viewport()->grab().toImage(); }
    void pick(const QStringList& names) {
        std::vector<std::string> shown;
        for (const QString& n : names)
            shown.push_back(gbk(n));
        doc->setShownNames(shown);
        view->OnUpdate();
    }
    QStringList fileNames() const {
        QStringList out;
        for (const std::string& p : view->picturePaths())
            out << QFileInfo(QString::fromStdString(p)).fileName();
        return out;
    }

private slots:
    void init() {
        tmp = std::make_unique<QTemporaryDir>();
        // Photographs as BMP, so that their colours come back exactly; N7 has none.
        const auto records = widthui::numberedRecords(7);
        QStringList none;
        for (const auto& r : records)
            none << r.name;
        project = widthui::makeProject(tmp->path(), QStringLiteral("p.cm"), records, none);
        for (int i = 1; i <= 6; ++i)
            QVERIFY(
                writePicture(bmp(i), colorOf(i - 1), i == 1 ? QSize(320, 240) : QSize(50 * i, 40)));
        doc = std::make_unique<CQuenbyDoc>();
        doc->openProject(project.file.toStdString(), fs);
        view = std::make_unique<CQuenbyView>(*doc, fs);
        view->OnInitialUpdate();
        prompt = std::make_unique<ScriptedPrompt>();
    }

    void cleanup() {
        prompt.reset();
        view.reset();
        doc.reset();
        tmp.reset();
    }

    void singleModeDrawsTwiceTheSizeCentredWithItsSize() {
        showAt(800, 600);
        pick({"N1"});
        QCOMPARE(fileNames(), QStringList{"N1.bmp"});
        QImage image = shot();
        QCOMPARE(image.pixelColor(80, 60), QColor(Qt::red));
        QCOMPARE(image.pixelColor(719, 539), QColor(Qt::red));
        QCOMPARE(image.pixelColor(79, 300), QColor(Qt::white));
        QCOMPARE(image.pixelColor(720, 300), QColor(Qt::white));
        QVERIFY(hasInk(image, QRect(10, 5, 70, 15))); // "(320 x 240)"
        QCOMPARE(view->currentLayout().texts.front().text, std::string("(320 x 240)"));

        // In a smaller pane the picture starts at the corner.
        view->resize(500, 400);
        image = shot();
        QCOMPARE(image.pixelColor(0, 30), QColor(Qt::red));
        QCOMPARE(image.pixelColor(499, 399), QColor(Qt::red));
    }

    void gridDrawsEveryPictureInTheFirstOnesCellWithItsName() {
        showAt(1000, 900);
        doc->setMultiMode();
        view->OnResetPictures();
        for (int i = 1; i <= 6; ++i) {
            QVERIFY(doc->addShownName(gbk(QStringLiteral("N%1").arg(i))));
            view->OnUpdate();
        }
        QCOMPARE(view->picturePaths().size(), size_t(6));
        const QImage image = shot();
        for (int i = 0; i < 6; ++i) {
            // Cells of 320 × 240 from (160, 60), 340 across and 260 down.
            const int x = 160 + (i % 2) * 340, y = 60 + (i / 2) * 260;
            QCOMPARE(image.pixelColor(x, y), colorOf(i));
            QCOMPARE(image.pixelColor(x + 319, y + 239), colorOf(i));
            QCOMPARE(image.pixelColor(x + 320, y + 100), QColor(Qt::white));
            QVERIFY2(hasInk(image, QRect(x, y + 241, 60, 14)), qPrintable(QString::number(i)));
        }
        QCOMPARE(view->currentLayout().texts[2].text, std::string("N3.bmp"));
    }

    void pathsFollowThePicksAsTheyCome() {
        doc->setMultiMode();
        view->OnResetPictures();
        doc->addShownName(gbk("N2"));
        view->OnUpdate();
        doc->addShownName(gbk("N4"));
        view->OnUpdate();
        QCOMPARE(fileNames(), (QStringList{"N2.bmp", "N4.bmp"}));
        QCOMPARE(view->loadedCount(), 2);

        // A name added without a photograph is announced and no longer counted.
        doc->addShownName(gbk("N7"));
        view->OnUpdate();
        QCOMPARE(prompt->messageTexts(), QStringList{"目录下没有对应图片文件"});
        QCOMPARE(prompt->shown[0].caption, QStringLiteral("提示信息"));
        QCOMPARE(doc->shownCount(), 2);
        QCOMPARE(view->loadedCount(), 2);

        // A name removed rebuilds the list silently.
        pick({"N4"});
        QCOMPARE(fileNames(), QStringList{"N4.bmp"});
        for (const char* name : {"N1", "N2"}) {
            doc->addShownName(gbk(name));
            view->OnUpdate();
        }
        QCOMPARE(fileNames(), (QStringList{"N4.bmp", "N1.bmp", "N2.bmp"}));
        pick({"N1", "N7"}); // fewer than loaded: rebuilt silently, the missing one skipped
        QCOMPARE(fileNames(), QStringList{"N1.bmp"});
        pick({"N1", "N7"}); // as many as loaded: nothing is loaded
        QCOMPARE(fileNames(), QStringList{"N1.bmp"});
        QCOMPARE(prompt->shown.size(), 1);

        // Multiple mode again: no picture until the next pick.
        view->OnResetPictures();
        QCOMPARE(view->loadedCount(), 0);
        QVERIFY(fileNames().isEmpty());
        pick({"N3"});
        QCOMPARE(fileNames(), QStringList{"N3.bmp"});

        // Single mode: the first name only, and a missing photograph is not announced.
        doc->setSingleMode();
        pick({"N7"});
        QVERIFY(view->picturePaths().empty());
        QCOMPARE(prompt->shown.size(), 1);
    }

    // Pictures larger than the pane scroll; the fit zoom shows them whole; the wheel scrolls and
    // Ctrl+wheel zooms.
    void largeDrawingsScrollAndTheFitZoomShowsThemWhole() {
        for (int i = 1; i <= 6; ++i)
            QVERIFY(writePicture(bmp(i), colorOf(i - 1), QSize(640, 480)));
        view->setFrameShape(QFrame::NoFrame);
        view->resize(800, 600);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QScrollBar* across = view->horizontalScrollBar();
        QScrollBar* down = view->verticalScrollBar();
        pick({"N1"});
        QTRY_VERIFY(across->isVisible() && down->isVisible());
        QCOMPARE(across->maximum(), 1280 - view->viewport()->width());
        QCOMPARE(down->maximum(), 960 - view->viewport()->height());
        across->setValue(across->maximum());
        down->setValue(down->maximum());
        QImage image = shot();
        QCOMPARE(image.pixelColor(image.width() - 1, image.height() - 1), QColor(Qt::red));

        auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
            const QPointF at(100, 100);
            QWheelEvent event(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                              Qt::NoButton, mods, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view->viewport(), &event);
        };
        down->setValue(0);
        wheel(-120, {});
        QVERIFY(down->value() > 0);
        QSignalSpy zoomed(view.get(), &CQuenbyView::zoomChanged);
        wheel(-120, Qt::ControlModifier); // to the smaller drawing: fitted
        QCOMPARE(view->zoom(), PictureZoom::FitToPane);
        QCOMPARE(zoomed.size(), 1);
        QTRY_VERIFY(!across->isVisible() && !down->isVisible());
        auto drawn = [&] {
            tessera::test::RecordingDevice device(96, 96, view->viewport()->width(),
                                                  view->viewport()->height());
            view->viewport()->render(&device);
            return device.pages.first().images;
        };
        const QRectF pane(QPointF(0, 0), QSizeF(view->viewport()->size()));
        auto images = drawn();
        QCOMPARE(images.size(), 1);
        QVERIFY(pane.contains(images[0].target));
        QCOMPARE(images[0].target.size(), QSizeF(800, 600)); // 640 × 480 fitted to 800 × 600
        wheel(120, Qt::ControlModifier);
        QCOMPARE(view->zoom(), PictureZoom::TwiceSize);

        // The grid: cells of 640 × 480 scroll; fitted, all six lie in the pane, shape kept.
        doc->setMultiMode();
        view->OnResetPictures();
        for (int i = 1; i <= 6; ++i) {
            QVERIFY(doc->addShownName(gbk(QStringLiteral("N%1").arg(i))));
            view->OnUpdate();
        }
        QVERIFY(down->maximum() > 0);
        view->setZoom(PictureZoom::FitToPane);
        QTRY_VERIFY(!across->isVisible() && !down->isVisible());
        images = drawn();
        QCOMPARE(images.size(), 6);
        for (const auto& image : images) {
            QVERIFY(pane.contains(image.target));
            QCOMPARE(image.target.width() * 3, image.target.height() * 4);
        }
    }

    void decodedPicturesAreKeptUntilTheFileChanges() {
        showAt(800, 600);
        pick({"N1"});
        QCOMPARE(shot().pixelColor(400, 300), QColor(Qt::red));
        const auto decodes = view->cache().decodeCount();
        view->viewport()->repaint();
        shot();
        QCOMPARE(view->cache().decodeCount(), decodes);

        QVERIFY(writePicture(bmp(1), Qt::blue, QSize(320, 240)));
        QFile file(bmp(1));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                 QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(shot().pixelColor(400, 300), QColor(Qt::blue));
        QCOMPARE(view->cache().decodeCount(), decodes + 1);
    }

    void cameraPhotographShowsDecodedAtTheVisibleSizeOnly() {
        // 8000 × 6000: over Qt's default allocation limit when decoded whole. Drawn at twice its
        // size, only its top-left corner shows in the pane.
        QVERIFY(writePicture(project.pictures + QStringLiteral("/N7.jpg"), Qt::darkGreen,
                             QSize(8000, 6000)));
        showAt(800, 600);
        pick({"N7"});
        const QImage image = shot();
        for (const QPoint& at : {QPoint(5, 100), QPoint(400, 300), QPoint(795, 595)}) {
            const QColor c = image.pixelColor(at);
            QVERIFY2(qAbs(c.green() - 128) < 12 && c.red() < 12 && c.blue() < 12,
                     qPrintable(c.name()));
        }
        QCOMPARE(view->currentLayout().texts.front().text, std::string("(8000 x 6000)"));
        // Decoded for the 800 × 600 pixels it fills, not 8000 × 6000.
        QVERIFY(view->cache().heldBytes() <= qint64(800) * 600 * 4);
    }

    void damagedPhotographIsNamedInItsCell() {
        QFile junk(bmp(1));
        QVERIFY(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
        junk.write("not a picture");
        junk.close();
        showAt(800, 600);
        pick({"N1"});
        const PictureLayout layout = view->currentLayout();
        QVERIFY(layout.texts.empty()); // no "(0 x 0)"
        QCOMPARE(layout.notices.size(), size_t(1));
        QCOMPARE(layout.notices[0].fileName, std::string("N1.bmp"));
        const ViewRect& cell = layout.notices[0].rect;
        // Its name and "无法显示图片" are written in the cell's middle.
        QVERIFY(hasInk(shot(), QRect(cell.x + cell.width / 4, cell.y + cell.height / 2 - 20,
                                     cell.width / 2, 40)));
    }

    void cacheStaysWithinItsByteBudget() {
        // N1 is 320 × 240 (300 kB decoded), N2 … N6 are small.
        const qint64 budget = 400 * 1024;
        PictureCache cache(budget);
        for (int i = 1; i <= 6; ++i) {
            const std::string path = bmp(i).toStdString();
            const PictureSize size = cache.pictureSize(path);
            const QSize own(size.width, size.height);
            QVERIFY(!cache.piece(path, own, QRect(QPoint(0, 0), own)).image.isNull());
            QVERIFY(cache.heldBytes() <= budget);
        }
        // N1 was dropped to stay within the budget: it is decoded again.
        const uint64_t decodes = cache.decodeCount();
        cache.piece(bmp(1).toStdString(), QSize(320, 240), QRect(0, 0, 320, 240));
        QCOMPARE(cache.decodeCount(), decodes + 1);
        QVERIFY(cache.heldBytes() <= budget);
    }

    void onlyVisiblePicturesAreDecoded() {
        for (int i = 1; i <= 3; ++i)
            QVERIFY(writePicture(bmp(i), colorOf(i), QSize(700, 600)));
        showAt(800, 600);
        doc->setMultiMode();
        for (int i = 1; i <= 3; ++i) {
            doc->addShownName(gbk(QStringLiteral("N%1").arg(i)));
            view->OnUpdate();
        }
        shot();
        // Cells of 700 × 600 from (0, 0): the third lies below the pane.
        QCOMPARE(view->cache().decodeCount(), uint64_t(2));
    }

    void nothingCollectedSaysSoOnceAndPrintsNothing() {
        for (int id : {int(tessera::ID_FILE_PRINT), int(tessera::ID_FILE_PRINT_PREVIEW),
                       int(tessera::ID_FILE_PRINT_DIRECT), int(ID_EXPORT_PDF)}) {
            prompt->shown.clear();
            QVERIFY(view->onCommand(id));
            QCOMPARE(prompt->messageTexts(), QStringList{"请选择需要打印的记录"});
            QCOMPARE(prompt->shown[0].caption, QStringLiteral("提示"));
        }
        QCOMPARE(prompt->count(ScriptedPrompt::Kind::SaveFile), 0);
    }

    void reportPagesCarryTheirOwnRecordsAndReadTheSettingsEachPage() {
        std::vector<CRecordStru> list(3);
        for (int i = 0; i < 3; ++i) {
            list[i].strName = gbk(QStringLiteral("N%1").arg(i + 2));
            list[i].strWidth = "0.25";
        }
        doc->setPrintList(list);
        int settingsRead = 0;
        view->setSettingsSource([&] {
            ++settingsRead;
            return InspectionInfo{gbk("检测公司"), {}, {}, {}, {}};
        });
        const auto report = view->reportToPrint();
        QVERIFY(report);
        QCOMPARE(report->pageCount({600, 600, 4960, 7016}), 3);
        const auto ops = report->layoutPage({600, 600, 4960, 7016}, 2);
        QCOMPARE(settingsRead, 1);
        QStringList texts, images;
        for (const auto& op : ops) {
            if (op.kind == tessera::PageOpKind::Text)
                texts << QString::fromStdString(op.text);
            if (op.kind == tessera::PageOpKind::Image)
                images << QFileInfo(QString::fromStdString(op.imagePath)).fileName();
        }
        QVERIFY(texts.contains(QStringLiteral("N3")));
        QVERIFY(texts.contains(QStringLiteral("0.25 mm")));
        QVERIFY(texts.contains(QStringLiteral("检测公司")));
        QCOMPARE(images, QStringList{"N3.bmp"});
        report->layoutPage({600, 600, 4960, 7016}, 3);
        QCOMPARE(settingsRead, 2);
    }

    void exportedReportNamesThePhotographItCannotPrint() {
        QFile junk(bmp(3));
        QVERIFY(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
        junk.write("not a picture");
        junk.close();
        std::vector<CRecordStru> list(2);
        list[0].strName = "N2";
        list[1].strName = "N3";
        doc->setPrintList(list);
        const QString pdf = tmp->filePath(QStringLiteral("report.pdf"));
        prompt->fileNames << pdf;
        QVERIFY(view->onCommand(ID_EXPORT_PDF));
        QVERIFY(QFileInfo(pdf).size() > 0); // written all the same
        const QStringList messages = prompt->messageTexts();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].contains(QStringLiteral("第 2 页")) &&
                     messages[0].contains(QStringLiteral("N3.bmp")) &&
                     !messages[0].contains(QStringLiteral("N2.bmp")),
                 qPrintable(messages[0]));
    }

    // The preview shows whole pages and opens as it was closed last; the PDF dialog names its
    // type.
    void previewShowsWholePagesAtItsLastSizeAndThePdfTypeHasAName() {
        QSettings().remove(QStringLiteral("PrintPreview"));
        doc->setPrintList(std::vector<CRecordStru>(2));
        auto preview = [&](const std::function<void(QDialog*)>& act) {
            testing_modal::whenModal([&](QWidget* w) {
                auto* dialog = qobject_cast<QPrintPreviewDialog*>(w);
                QVERIFY(dialog);
                act(dialog);
                dialog->reject();
            });
            QVERIFY(view->onCommand(tessera::ID_FILE_PRINT_PREVIEW));
        };
        QSize first;
        preview([&](QDialog* dialog) {
            auto* pages = dialog->findChild<QPrintPreviewWidget*>();
            QCOMPARE(pages->zoomMode(), QPrintPreviewWidget::FitInView);
            first = dialog->size();
            QVERIFY2(first.height() >= dialog->screen()->availableGeometry().height() * 8 / 10,
                     qPrintable(QStringLiteral("%1x%2").arg(first.width()).arg(first.height())));
            dialog->resize(first - QSize(50, 40));
        });
        preview([&](QDialog* dialog) { QCOMPARE(dialog->size(), first - QSize(50, 40)); });
        QSettings().remove(QStringLiteral("PrintPreview"));

        prompt->fileNames << QString();
        QVERIFY(view->onCommand(ID_EXPORT_PDF));
        QCOMPARE(prompt->shown.last().request.filter, QStringLiteral("PDF 文件 (*.pdf)"));
    }

    void printDialogOffersExactlyTheCollectedPages() {
        doc->setPrintList(std::vector<CRecordStru>(3));
        int from = 0, to = 0;
        testing_modal::whenModal([&](QWidget* w) {
            if (auto* dialog = qobject_cast<QAbstractPrintDialog*>(w)) {
                from = dialog->minPage();
                to = dialog->maxPage();
            }
            static_cast<QDialog*>(w)->reject();
        });
        QVERIFY(view->onCommand(tessera::ID_FILE_PRINT));
        QCOMPARE(from, 1);
        QCOMPARE(to, 3);
        QVERIFY(prompt->shown.isEmpty());
    }
};

QTEST_MAIN(PictureViewTest)
#include "picture_view_test.moc"
