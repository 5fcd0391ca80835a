#include "width/picture/picture_layout.h"

#include <algorithm>

namespace fallowmere {

namespace {

constexpr int kSingleScale = 2;
constexpr int kCaptionX = 10;
constexpr int kCaptionY = 5;
constexpr int kGridColumns = 2;
constexpr int kGridRows = 3;
constexpr int kGridGap = 20;
constexpr size_t kGridCells = kGridColumns * kGridRows;

// `size` scaled, its aspect ratio kept, to the largest size within width × height (at least
// one pixel each way).
PictureSize fitInto(PictureSize size, int width, int height) {
    const double scale = std::min(double(std::max(1, width)) / size.width,
                                  double(std::max(1, height)) / size.height);
    return {std::max(1, static_cast<int>(size.width * scale)),
            std::max(1, static_cast<int>(size.height * scale))};
}

// Centres a span of `size` in `available`, truncating toward zero, never left of 0.
int centred(int available, int size) {
    return std::max(0, (available - size) / 2);
}

} // namespace

PictureLayout layoutSinglePicture(int clientWidth, int clientHeight, bool havePicture,
                                  PictureSize first, const std::string& fileName,
                                  PictureZoom zoom) {
    PictureLayout layout;
    if (!havePicture)
        return layout;
    const bool decodable = first.valid();
    const PictureSize shown =
        decodable ? first : PictureSize{kFallbackCellWidth, kFallbackCellHeight};
    int width = kSingleScale * shown.width;
    int height = kSingleScale * shown.height;
    if (zoom == PictureZoom::FitToPane) {
        const PictureSize fitted = fitInto(shown, clientWidth, clientHeight);
        width = fitted.width;
        height = fitted.height;
    }
    const ViewRect rect{centred(clientWidth, width), centred(clientHeight, height), width, height};
    if (!decodable) {
        layout.notices.push_back({0, rect, fileName});
        return layout;
    }
    layout.pictures.push_back({0, rect});
    layout.texts.push_back(
        {kCaptionX, kCaptionY,
         "(" + std::to_string(first.width) + " x " + std::to_string(first.height) + ")"});
    return layout;
}

PictureLayout layoutPictureGrid(int clientWidth, int clientHeight,
                                const std::vector<PictureSize>& sizes,
                                const std::vector<std::string>& fileNames, PictureZoom zoom) {
    PictureLayout layout;
    const size_t count = std::min({sizes.size(), fileNames.size(), kGridCells});
    if (count == 0)
        return layout;

    PictureSize cell{kFallbackCellWidth, kFallbackCellHeight};
    const auto decodable = std::find_if(sizes.begin(), sizes.begin() + count,
                                        [](const PictureSize& s) { return s.valid(); });
    if (decodable != sizes.begin() + count)
        cell = *decodable;
    if (zoom == PictureZoom::FitToPane)
        cell = fitInto(cell, (clientWidth - kGridColumns * kGridGap) / kGridColumns,
                       (clientHeight - kGridRows * kGridGap) / kGridRows);

    const int stepX = cell.width + kGridGap;
    const int stepY = cell.height + kGridGap;
    const int x0 = centred(clientWidth, kGridColumns * stepX);
    const int y0 = centred(clientHeight, kGridRows * stepY);
    for (size_t i = 0; i < count; ++i) {
        const int x = x0 + static_cast<int>(i % kGridColumns) * stepX;
        const int y = y0 + static_cast<int>(i / kGridColumns) * stepY;
        if (sizes[i].valid())
            layout.pictures.push_back({i, {x, y, cell.width, cell.height}});
        else
            layout.notices.push_back({i, {x, y, cell.width, cell.height}, fileNames[i]});
        layout.texts.push_back({x, y + cell.height, fileNames[i]});
    }
    return layout;
}

std::string pictureFileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace fallowmere
