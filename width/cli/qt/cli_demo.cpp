// fallowmere-cli demo: a sample project with photographs drawn by the program, for new users,
// the tests and the benchmarks.

#include "width/cli/cli.h"
#include "width/cli/demo_project.h"
#include "width/cli/qt/cli_qt.h"
#include "width/cli/qt/demo_photo.h"

#include "common/atomic_file.h"
#include "common/error_text.h"
#include "width/project/cm_file.h"
#include "width/project/picture_lookup.h"

#include <filesystem>

namespace fallowmere::cli {
namespace {

constexpr int kMaxRecords = 100000;
constexpr int kMinSide = 16;
constexpr int kMaxSide = 8192;

bool parseSize(const std::string& text, QSize& size) {
    const auto x = text.find_first_of("xX");
    int w = 0, h = 0;
    if (x == std::string::npos ||
        !tessera::cli::parseWholeNumber(std::string_view(text).substr(0, x), kMinSide, kMaxSide,
                                        w) ||
        !tessera::cli::parseWholeNumber(std::string_view(text).substr(x + 1), kMinSide, kMaxSide,
                                        h))
        return false;
    size = QSize(w, h);
    return true;
}

int demo(const tessera::cli::Arguments& args) {
    if (args.positional.size() != 1)
        return tessera::cli::usageError();
    int count = 12;
    if (const std::string* v = args.last("--records");
        v && !tessera::cli::parseWholeNumber(*v, 1, kMaxRecords, count)) {
        error("--records 需要 1 到 " + std::to_string(kMaxRecords) + " 的整数，而不是“" +
              shown(*v) + "”");
        return tessera::cli::usageError();
    }
    QSize size(640, 480);
    if (const std::string* v = args.last("--size"); v && !parseSize(*v, size)) {
        error("--size 需要 宽x高（各 " + std::to_string(kMinSide) + " 到 " +
              std::to_string(kMaxSide) + " 像素），而不是“" + shown(*v) + "”");
        return tessera::cli::usageError();
    }

    const std::string& dir = args.positional[0];
    const std::string pictures = joinPath(dir, "CrackData");
    std::error_code ec;
    std::filesystem::create_directories(pictures, ec);
    if (ec) {
        error("无法创建文件夹“" + shown(pictures) + "”：" + tessera::errorText(ec.value()));
        return kFailure;
    }
    auto gui = startHeadlessGui();

    const std::vector<demo::DemoRecord> records = demo::demoRecords(count);
    StdFileOps fs;
    int jpeg = 0, bmp = 0;
    for (const demo::DemoRecord& record : records) {
        if (record.photo == demo::PhotoFormat::None) {
            // A photograph left by an earlier, larger demo would give this record one.
            std::string reason;
            while (PictureMatch old =
                       LocatePicture(FolderListing(fs, pictures), record.record.strName)) {
                if (!fs.deleteFile(old.path, reason)) {
                    error("无法删除“" + shown(old.path) + "”：" + reason);
                    return kFailure;
                }
            }
            continue;
        }
        const QByteArray bytes =
            demo::encodePhoto(demo::drawCrackPhoto(record, size), record.photo);
        const std::string path = joinPath(pictures, record.photoFile);
        std::string reason = "无法编码图片";
        if (bytes.isEmpty() ||
            !tessera::writeFileAtomically(
                path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                &reason)) {
            error("无法写入“" + shown(path) + "”：" + reason);
            return kFailure;
        }
        ++(record.photo == demo::PhotoFormat::Bmp ? bmp : jpeg);
    }

    std::vector<CRecordStru> project;
    for (const demo::DemoRecord& record : records)
        project.push_back(record.record);
    const std::string file = joinPath(dir, "demo.cm");
    std::string message;
    if (!writeProjectBytes(file, encodeProjectText(project), message)) {
        error(message);
        return kFailure;
    }
    say("“" + shown(file) + "”：" + std::to_string(records.size()) + " 条记录，" +
        std::to_string(jpeg) + " 张 JPEG 照片，" + std::to_string(bmp) + " 张 BMP 照片（" +
        std::to_string(size.width()) + "×" + std::to_string(size.height()) + "）");
    return kOk;
}

const tessera::cli::Command demoCommand("demo", "demo DIR [--records N] [--size WxH]",
                                        {"--records", "--size"}, demo);

} // namespace
} // namespace fallowmere::cli
