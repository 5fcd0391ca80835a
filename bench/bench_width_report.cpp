// The crack inspection report of 200 records, each with its own 640 × 480 JPEG photograph
// (the demo project's pictures): the whole PDF at 600 dpi (target: within 3 s, and a file no
// larger than twice the photographs' bytes plus 50 kB per page), and the page layout alone for
// 200 pages (target: within 5 ms). The same with a camera's 4000 × 3000 JPEG on every page
// (target: within 15 s, each photograph embedded at no more than its printed box's
// 2834 × 2125 pixels).

#include "common/atomic_file.h"
#include "common/qt/page_output.h"
#include "common/qt/page_painter.h"
#include "width/cli/demo_project.h"
#include "width/cli/qt/demo_photo.h"
#include "width/picture/inspection_report_source.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace fallowmere;

namespace {

constexpr int kRecords = 200;

struct Project {
    QTemporaryDir dir;
    std::string pictures;
    std::vector<CRecordStru> records;
    double photoBytes = 0;
    StdFileOps fs;

    // Photographs of `size`; `distinct` different ones drawn, the others copies of those (each
    // page still decodes its own file).
    explicit Project(QSize size, int distinct = kRecords) {
        pictures = dir.filePath(QStringLiteral("CrackData")).toStdString();
        std::string reason;
        fs.makeFolder(pictures, reason);
        std::vector<QByteArray> drawn;
        for (demo::DemoRecord& record : demo::demoRecords(kRecords)) {
            // Every record gets a JPEG here, also those the demo gives a BMP or nothing.
            if (drawn.size() < static_cast<size_t>(distinct))
                drawn.push_back(
                    demo::encodePhoto(demo::drawCrackPhoto(record, size), demo::PhotoFormat::Jpeg));
            const QByteArray& jpeg = drawn[records.size() % drawn.size()];
            tessera::writeFileAtomically(
                pictures + "/" + record.record.strName + ".jpg",
                std::string_view(jpeg.constData(), static_cast<size_t>(jpeg.size())));
            photoBytes += static_cast<double>(jpeg.size());
            records.push_back(record.record);
        }
    }

    InspectionReport report() {
        InspectionInfo info{"\xC4\xB3\xBC\xEC\xB2\xE2\xB9\xAB\xCB\xBE", "\xC7\xC5\xC1\xBA",
                            "\xD5\xC5\xC8\xFD", "\xC0\xEE\xCB\xC4", "\xCD\xF5\xCE\xE5"};
        return InspectionReport(
            records, [info] { return info; }, pictureFinderFor(fs, pictures + "/", nullptr));
    }
};

Project& project() {
    static Project p(QSize(640, 480));
    return p;
}

Project& cameraProject() {
    static Project p(QSize(4000, 3000), 10);
    return p;
}

void BM_InspectionReportPdf200(benchmark::State& state) {
    Project& p = project();
    const InspectionReport source = p.report();
    const QString out = p.dir.filePath(QStringLiteral("report.pdf"));
    tessera::PdfOptions options;
    options.dpi = 600;
    for (auto _ : state) {
        QString error;
        if (!tessera::writePdf(out, source, options, &error)) {
            state.SkipWithError(error.toStdString().c_str());
            break;
        }
    }
    const double fileBytes = static_cast<double>(QFileInfo(out).size());
    const double budget = 2 * p.photoBytes + 50.0 * 1024 * kRecords;
    state.counters["pages"] = kRecords;
    state.counters["photo_bytes"] = p.photoBytes;
    state.counters["file_bytes"] = fileBytes;
    state.counters["budget_bytes"] = budget;
    state.counters["within_budget"] = fileBytes <= budget ? 1 : 0;
}
BENCHMARK(BM_InspectionReportPdf200)->Unit(benchmark::kMillisecond)->MinTime(5.0);

void BM_InspectionReportCameraPdf200(benchmark::State& state) {
    Project& p = cameraProject();
    const InspectionReport source = p.report();
    const QString out = p.dir.filePath(QStringLiteral("camera.pdf"));
    tessera::PdfOptions options;
    options.dpi = 600;
    for (auto _ : state) {
        QString error;
        std::vector<tessera::UndrawnPicture> undrawn;
        if (!tessera::writePdf(out, source, options, &error, &undrawn) || !undrawn.empty()) {
            state.SkipWithError(error.isEmpty() ? "a photograph was not drawn"
                                                : error.toStdString().c_str());
            break;
        }
    }
    // The pixels the first page's photograph is drawn with (what the PDF embeds).
    const tessera::PageDevice device{600, 600, 4960, 7016};
    for (const tessera::PageOp& op : source.layoutPage(device, 1))
        if (op.kind == tessera::PageOpKind::Image) {
            const QImage image = tessera::decodePictureFor(op).image;
            state.counters["embedded_width"] = image.width();
            state.counters["embedded_height"] = image.height();
        }
    state.counters["pages"] = kRecords;
    state.counters["photo_bytes"] = p.photoBytes;
    state.counters["file_bytes"] = static_cast<double>(QFileInfo(out).size());
}
// One page's share of the above: a 4000 × 3000 JPEG decoded for the 2834 × 2125 box.
void BM_DecodeCameraPhotoForBox(benchmark::State& state) {
    Project& p = cameraProject();
    const tessera::PageOp op =
        tessera::imageOp({0, 0, 2834, 2125}, p.pictures + "/" + p.records[0].strName + ".jpg");
    for (auto _ : state)
        benchmark::DoNotOptimize(tessera::decodePictureFor(op));
}
BENCHMARK(BM_DecodeCameraPhotoForBox)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_InspectionReportCameraPdf200)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

void BM_InspectionReportLayout200(benchmark::State& state) {
    Project& p = project();
    const InspectionReport source = p.report();
    // A4 at 600 dpi, the whole page printable.
    const tessera::PageDevice device{600, 600, 4960, 7016};
    size_t ops = 0;
    for (auto _ : state) {
        for (int page = 1; page <= kRecords; ++page) {
            auto layout = source.layoutPage(device, page);
            ops += layout.size();
            benchmark::DoNotOptimize(layout);
        }
    }
    state.counters["ops_per_page"] =
        static_cast<double>(ops) / static_cast<double>(state.iterations() * kRecords);
}
BENCHMARK(BM_InspectionReportLayout200)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
