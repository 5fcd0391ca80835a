// Fallowmere's window: opening a project of 100,000 records into the list up to its first
// paint, a header-click sort of those rows, and the picture pane's grid repainted from its
// cache and shown for the first time.

#include "bench/bench_width_data.h"
#include "width/app/ui/doc_commands.h"
#include "width/app/ui/main_frame.h"
#include "width/app/ui/quenby_app.h"
#include "width/list/ui/data_view.h"
#include "width/picture/ui/quenby_view.h"
#include "width/project/cm_file.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace fallowmere;

namespace {

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    return dir;
}

// A project of `n` sample records (no photographs), written once.
QString bigProject(size_t n) {
    const QString path = scratch().filePath(QStringLiteral("big%1.cm").arg(n));
    if (!QFile::exists(path)) {
        QDir(scratch().path()).mkpath(QStringLiteral("CrackData"));
        const std::string bytes = encodeProjectText(widthbench::sampleRecords(n));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    return path;
}

// A photograph-like JPEG: shaded concrete with a dark crack.
void writePhoto(const QString& path, QSize size, int seed) {
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient shade(0, 0, size.width(), size.height());
    shade.setColorAt(0, QColor(150 + seed * 5, 150, 145));
    shade.setColorAt(1, QColor(110, 112, 108 + seed * 5));
    p.fillRect(image.rect(), shade);
    QRandomGenerator rng(static_cast<quint32>(seed));
    for (int i = 0; i < 400; ++i) {
        const int g = 90 + static_cast<int>(rng.bounded(90));
        p.setPen(QPen(QColor(g, g, g), 1 + rng.bounded(3)));
        const QPoint a(rng.bounded(size.width()), rng.bounded(size.height()));
        p.drawLine(a, a + QPoint(rng.bounded(40) - 20, rng.bounded(40) - 20));
    }
    p.setPen(QPen(QColor(30, 30, 30), std::max(2, size.width() / 200)));
    QPoint at(size.width() / 3, 0);
    while (at.y() < size.height()) {
        const QPoint next =
            at + QPoint(rng.bounded(size.width() / 8) - size.width() / 16, size.height() / 12);
        p.drawLine(at, next);
        at = next;
    }
    p.end();
    image.save(path, "JPG", 85);
}

// A picture pane showing six photographs of `size` in multiple-record mode.
struct PhotoPane {
    QTemporaryDir dir;
    CQuenbyDoc doc;
    StdFileOps fs;
    std::unique_ptr<CQuenbyView> view;

    PhotoPane(QSize first, QSize others, QSize pane, bool multiple = true) {
        QDir(dir.path()).mkpath(QStringLiteral("CrackData"));
        std::vector<CRecordStru> records(6);
        for (int i = 0; i < 6; ++i) {
            records[i].strName = "P" + std::to_string(i + 1);
            writePhoto(dir.filePath(QStringLiteral("CrackData/P%1.jpg").arg(i + 1)),
                       i == 0 ? first : others, i);
        }
        const std::string bytes = encodeProjectText(records);
        const QString file = dir.filePath(QStringLiteral("p.cm"));
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        f.close();
        doc.openProject(file.toStdString(), fs);
        view = std::make_unique<CQuenbyView>(doc, fs);
        view->setFrameShape(QFrame::NoFrame);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->resize(pane);
        view->show();
        QApplication::processEvents();
        if (multiple) {
            doc.setMultiMode();
            view->OnResetPictures();
            for (const CRecordStru& r : records) {
                doc.addShownName(r.strName);
                view->OnUpdate();
            }
        } else {
            doc.setShownNames({records[0].strName});
            view->OnUpdate();
        }
    }
};

struct Window {
    CQuenbyApp app;
    Window() {
        QSettings(QStringLiteral("Local AppWizard-Generated Applications"),
                  QStringLiteral("Fallowmere"))
            .clear();
        CMainFrame::screenSize() = [] { return QSize(1920, 1080); };
        app.InitInstance({});
        QApplication::processEvents();
    }
    CDataView* list() { return app.mainFrame()->dataView(); }
};

void BM_OpenProject100kToFirstPaint(benchmark::State& state) {
    const QString path = bigProject(100'000);
    Window window;
    for (auto _ : state) {
        window.app.mainFrame()->docCommands().openProjectFile(path);
        window.list()->viewport()->repaint();
    }
    state.counters["rows"] = static_cast<double>(window.list()->rows().size());
}
BENCHMARK(BM_OpenProject100kToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

// One click on a column header (each click reverses the direction), then the repaint.
void headerClickSort(benchmark::State& state, int column) {
    Window window;
    window.app.mainFrame()->docCommands().openProjectFile(bigProject(100'000));
    auto* header = window.list()->horizontalHeader();
    for (auto _ : state) {
        emit header->sectionClicked(column);
        window.list()->viewport()->repaint();
    }
}
void BM_HeaderClickSort100kWidths(benchmark::State& state) {
    headerClickSort(state, 2);
}
void BM_HeaderClickSort100kNames(benchmark::State& state) {
    headerClickSort(state, 1);
}
BENCHMARK(BM_HeaderClickSort100kWidths)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_HeaderClickSort100kNames)->Unit(benchmark::kMillisecond)->Iterations(10);

// Six 640 × 480 photographs, the whole grid visible, drawn from the cache.
void BM_GridRepaintFromCache(benchmark::State& state) {
    PhotoPane pane({640, 480}, {640, 480}, {1320, 1500});
    pane.view->viewport()->repaint();
    for (auto _ : state)
        pane.view->viewport()->repaint();
    state.counters["decodes"] = static_cast<double>(pane.view->cache().decodeCount());
}
BENCHMARK(BM_GridRepaintFromCache)->Unit(benchmark::kMillisecond);

// The first showing of six 4000 × 3000 photographs: every decode and header read is done
// anew (the cache emptied). The pane is 3/5 of a 1920-pixel screen.
void firstShowing(benchmark::State& state, QSize first, bool multiple) {
    PhotoPane pane(first, {4000, 3000}, {1152, 980}, multiple);
    for (auto _ : state) {
        pane.view->cache().clear();
        pane.view->viewport()->repaint();
    }
}
void BM_FirstShowingGridOf4000x3000(benchmark::State& state) {
    firstShowing(state, {4000, 3000}, true);
}
void BM_FirstShowingSingle4000x3000(benchmark::State& state) {
    firstShowing(state, {4000, 3000}, false);
}
// The grid's cells take the first photograph's size: five large ones stretched into 640 × 480
// cells, all visible, each decoded at the cell's size.
void BM_FirstShowingGridOf4000x3000In640x480Cells(benchmark::State& state) {
    firstShowing(state, {640, 480}, true);
}
BENCHMARK(BM_FirstShowingGridOf4000x3000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FirstShowingSingle4000x3000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FirstShowingGridOf4000x3000In640x480Cells)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    qputenv("XDG_CONFIG_HOME", QDir::tempPath().toUtf8() + "/bench_width_window_config");
    qputenv("FALLOWMERE_INI", QDir::tempPath().toUtf8() + "/bench_width_window_QB.ini");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
