#include "width/picture/picture_layout.h"
#include "width/picture/picture_paths.h"

#include <gtest/gtest.h>

#include <map>

namespace fallowmere {
namespace {

TEST(SinglePictureLayout, DoubledAndCentredWithItsSizeAsCaption) {
    const PictureLayout layout = layoutSinglePicture(800, 600, true, {320, 240});
    ASSERT_EQ(layout.pictures.size(), 1u);
    EXPECT_EQ(layout.pictures[0], (PicturePlacement{0, {80, 60, 640, 480}}));
    ASSERT_EQ(layout.texts.size(), 1u);
    EXPECT_EQ(layout.texts[0], (ViewText{10, 5, "(320 x 240)"}));

    // A client area smaller than the doubled picture clamps the origin, never negative.
    EXPECT_EQ(layoutSinglePicture(500, 400, true, {320, 240}).pictures[0].rect,
              (ViewRect{0, 0, 640, 480}));
    // Odd differences truncate toward zero.
    EXPECT_EQ(layoutSinglePicture(801, 603, true, {320, 240}).pictures[0].rect,
              (ViewRect{80, 61, 640, 480}));
}

TEST(SinglePictureLayout, UndecodableGetsANoticeInItsCellAndNoListNothing) {
    // No "(0 x 0)" over an empty pane: the file is named in a cell where the picture would be.
    const PictureLayout broken = layoutSinglePicture(800, 600, true, {}, "bad.jpg");
    EXPECT_TRUE(broken.pictures.empty());
    EXPECT_TRUE(broken.texts.empty());
    ASSERT_EQ(broken.notices.size(), 1u);
    EXPECT_EQ(broken.notices[0].fileName, "bad.jpg");
    const ViewRect cell = broken.notices[0].rect;
    EXPECT_TRUE(cell.width > 0 && cell.height > 0 && cell.x >= 0 && cell.y >= 0);
    EXPECT_EQ(cell.x * 2 + cell.width, 800); // centred as a picture

    const PictureLayout none = layoutSinglePicture(800, 600, false, {320, 240});
    EXPECT_TRUE(none.pictures.empty());
    EXPECT_TRUE(none.texts.empty());
}

TEST(PictureGridLayout, SixCellBlockCentredWithNamesUnderThePictures) {
    const std::vector<PictureSize> sizes{{320, 240}, {640, 480}, {100, 50}};
    const std::vector<std::string> names{"a.jpg", "b.JPG", "c.bmp"};
    const PictureLayout layout = layoutPictureGrid(1000, 900, sizes, names);

    ASSERT_EQ(layout.pictures.size(), 3u);
    // Block 680 × 780 centred in 1000 × 900; every cell takes the first picture's size.
    EXPECT_EQ(layout.pictures[0], (PicturePlacement{0, {160, 60, 320, 240}}));
    EXPECT_EQ(layout.pictures[1], (PicturePlacement{1, {500, 60, 320, 240}}));
    EXPECT_EQ(layout.pictures[2], (PicturePlacement{2, {160, 320, 320, 240}}));
    ASSERT_EQ(layout.texts.size(), 3u);
    EXPECT_EQ(layout.texts[0], (ViewText{160, 300, "a.jpg"}));
    EXPECT_EQ(layout.texts[2], (ViewText{160, 560, "c.bmp"}));

    // The block does not move when pictures come and go, and clamps in a small pane.
    EXPECT_EQ(layoutPictureGrid(1000, 900, {{320, 240}}, {"a"}).pictures[0].rect.x, 160);
    EXPECT_EQ(layoutPictureGrid(600, 800, {{320, 240}}, {"a"}).pictures[0].rect,
              (ViewRect{0, 10, 320, 240}));
}

TEST(PictureGridLayout, NeverMoreThanSixCells) {
    const std::vector<PictureSize> sizes(8, PictureSize{10, 10});
    const std::vector<std::string> names(8, "x");
    const PictureLayout layout = layoutPictureGrid(1000, 900, sizes, names);
    EXPECT_EQ(layout.pictures.size(), 6u);
    EXPECT_EQ(layout.texts.size(), 6u);
    EXPECT_EQ(layoutPictureGrid(1000, 900, {}, {}).texts.size(), 0u);
}

TEST(PictureGridLayout, UndecodablePicturesKeepTheirNameAndTheCellSizeComesFromAGoodOne) {
    // First picture broken: the second decodable one gives the cell, the first keeps its place
    // and its name but draws nothing.
    const PictureLayout layout =
        layoutPictureGrid(1000, 900, {{}, {200, 100}, {}}, {"bad.jpg", "ok.jpg", "bad2.bmp"});
    ASSERT_EQ(layout.pictures.size(), 1u);
    EXPECT_EQ(layout.pictures[0].index, 1u);
    EXPECT_EQ(layout.pictures[0].rect.width, 200);
    // The broken ones are named in their own cells.
    ASSERT_EQ(layout.notices.size(), 2u);
    EXPECT_EQ(
        layout.notices[1],
        (PictureNotice{2, {layout.texts[2].x, layout.texts[2].y - 100, 200, 100}, "bad2.bmp"}));
    ASSERT_EQ(layout.texts.size(), 3u);
    EXPECT_EQ(layout.texts[0].y, layout.texts[1].y);
    EXPECT_EQ(layout.texts[2].y - layout.texts[0].y, 120);

    // Nothing decodable: the fallback cell still lays out every name apart.
    const PictureLayout none = layoutPictureGrid(1000, 900, {{}, {}}, {"a", "b"});
    EXPECT_TRUE(none.pictures.empty());
    ASSERT_EQ(none.texts.size(), 2u);
    EXPECT_EQ(none.texts[1].x - none.texts[0].x, kFallbackCellWidth + 20);
}

TEST(PictureFileName, TextAfterTheLastSlash) {
    EXPECT_EQ(pictureFileName("/p/CrackData/L1-01.jpg"), "L1-01.jpg");
    EXPECT_EQ(pictureFileName("plain.bmp"), "plain.bmp");
    EXPECT_EQ(pictureFileName("/dir/"), "");
}

// A document with shown names and a picture folder whose files are listed by name.
// Fitted to the pane, a picture or the whole grid lies inside the client area, keeps its shape
// and fills it along one side; the drawing's size covers what was laid out.
TEST(PictureZoom, FittedDrawingsFillThePaneAlongOneSide) {
    const auto textWidth = [](const std::string& text) { return static_cast<int>(text.size()); };
    for (const auto& [w, h] : {std::pair{800, 600}, {500, 900}, {1200, 300}, {300, 200}}) {
        for (const PictureSize& own : {PictureSize{640, 480}, PictureSize{120, 400}}) {
            const PictureLayout one =
                layoutSinglePicture(w, h, true, own, {}, PictureZoom::FitToPane);
            const ViewRect r = one.pictures.at(0).rect;
            EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.x + r.width <= w && r.y + r.height <= h);
            EXPECT_TRUE(r.width >= w - 1 || r.height >= h - 1);
            EXPECT_NEAR(double(r.width) / r.height, double(own.width) / own.height, 0.05);

            const PictureLayout grid =
                layoutPictureGrid(w, h, std::vector<PictureSize>(6, own),
                                  std::vector<std::string>(6, "n.jpg"), PictureZoom::FitToPane);
            const DrawingSize drawn = drawingSize(grid, 0, textWidth);
            EXPECT_TRUE(drawn.width <= w && drawn.height <= h) << w << "x" << h;
            const ViewRect last = grid.pictures.at(5).rect;
            EXPECT_TRUE(last.x + last.width + 20 >= w - 4 || last.y + last.height + 20 >= h - 4);
        }
    }
    // Twice the size, the drawing reaches past a smaller pane.
    const PictureLayout twice = layoutSinglePicture(800, 600, true, {640, 480});
    EXPECT_EQ((DrawingSize{1280, 960}),
              drawingSize(twice, 12, [](const std::string&) { return 70; }));
}

class FakeSelection : public PictureSelection {
public:
    bool multiple = true;
    int count = 0;
    std::vector<std::string> names = std::vector<std::string>(8);
    std::map<std::string, std::string> files;
    int announced = 0;

    void pick(const std::string& name) { names[count++] = name; }

    bool multipleMode() const override { return multiple; }
    int shownCount() const override { return count; }
    std::string shownName(int index) const override { return names.at(index); }
    void decrementShownCount() override { --count; }
    std::optional<std::string> picturePath(const std::string& name) const override {
        const auto it = files.find(name);
        if (it == files.end())
            return std::nullopt;
        return it->second;
    }
    void announceMissingPicture() override { ++announced; }
};

TEST(PicturePaths, MultipleModeAppendsPicksAndRebuildsAfterAnUncheck) {
    FakeSelection doc;
    doc.files = {{"A", "/d/A.jpg"}, {"B", "/d/B.bmp"}, {"C", "/d/C.jpg"}, {"D", "/d/D.jpg"}};
    PicturePaths pane;

    for (const char* name : {"A", "B", "C", "D"}) {
        doc.pick(name);
        EXPECT_TRUE(pane.refresh(doc));
    }
    EXPECT_EQ(pane.paths(),
              (std::vector<std::string>{"/d/A.jpg", "/d/B.bmp", "/d/C.jpg", "/d/D.jpg"}));
    EXPECT_EQ(pane.loadedCount(), 4);

    // The record list rebuilt the names top to bottom after B was unchecked.
    doc.names = {"D", "A", "C", "", "", "", "", ""};
    doc.count = 3;
    pane.refresh(doc);
    EXPECT_EQ(pane.paths(), (std::vector<std::string>{"/d/D.jpg", "/d/A.jpg", "/d/C.jpg"}));

    // Equal counts load nothing.
    doc.files.clear();
    pane.refresh(doc);
    EXPECT_EQ(pane.paths().size(), 3u);

    // Other names as many as before (a row checked with the space bar took the place of an
    // unchecked one): rebuilt all the same.
    doc.files = {{"A", "/d/A.jpg"}, {"B", "/d/B.bmp"}, {"C", "/d/C.jpg"}};
    doc.names = {"B", "A", "C", "", "", "", "", ""};
    EXPECT_TRUE(pane.refresh(doc));
    EXPECT_EQ(pane.paths(), (std::vector<std::string>{"/d/B.bmp", "/d/A.jpg", "/d/C.jpg"}));

    // Unchecking the last one empties the pane.
    doc.count = 0;
    pane.refresh(doc);
    EXPECT_TRUE(pane.paths().empty());
    EXPECT_EQ(doc.announced, 0);
}

TEST(PicturePaths, MissingPictureWhileAddingIsAnnouncedAndUncounted) {
    FakeSelection doc;
    doc.files = {{"A", "/d/A.jpg"}};
    PicturePaths pane;
    doc.pick("A");
    pane.refresh(doc);
    doc.pick("gone");
    pane.refresh(doc);
    EXPECT_EQ(doc.announced, 1);
    EXPECT_EQ(doc.count, 1);
    EXPECT_EQ(pane.loadedCount(), 1);
    EXPECT_EQ(pane.paths(), std::vector<std::string>{"/d/A.jpg"});

    // The next pick lands at the right place.
    doc.files["B"] = "/d/B.jpg";
    doc.pick("B");
    pane.refresh(doc);
    EXPECT_EQ(pane.paths(), (std::vector<std::string>{"/d/A.jpg", "/d/B.jpg"}));
}

TEST(PicturePaths, EnteringMultipleModeEmptiesThePane) {
    FakeSelection doc;
    doc.files = {{"S", "/d/S.jpg"}, {"M", "/d/M.jpg"}};
    PicturePaths pane;
    doc.multiple = false;
    doc.pick("S");
    EXPECT_TRUE(pane.refresh(doc));
    EXPECT_EQ(pane.paths(), std::vector<std::string>{"/d/S.jpg"});

    doc.multiple = true;
    doc.count = 0;
    pane.resetLoaded();
    EXPECT_TRUE(pane.paths().empty());

    doc.pick("M");
    pane.refresh(doc);
    EXPECT_EQ(pane.paths(), std::vector<std::string>{"/d/M.jpg"});
}

TEST(PicturePaths, SingleModeMissingPictureEmptiesThePaneAndSaysNothing) {
    FakeSelection doc;
    doc.multiple = false;
    doc.files = {{"S", "/d/S.jpg"}};
    PicturePaths pane;
    doc.pick("S");
    EXPECT_TRUE(pane.refresh(doc));

    doc.count = 0;
    doc.pick("gone");
    EXPECT_TRUE(pane.refresh(doc));
    EXPECT_TRUE(pane.paths().empty());
    EXPECT_EQ(doc.announced, 0);
    EXPECT_EQ(doc.count, 1);
}

} // namespace
} // namespace fallowmere
