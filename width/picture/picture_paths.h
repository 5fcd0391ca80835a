#pragma once
// The picture pane's list of picture paths and the rules by which it follows the record list's
// picks, as model code. The pane keeps the paths of the pictures it shows; each time the record
// list notifies it, it turns the document's shown names into paths:
//
//  - multiple-record mode: a pick that restarted the selection (one name shown) starts the list
//    anew; a name added at the end is looked up and appended (a missing picture is announced
//    and the document's count lowered by one, so count and list agree again); a name removed
//    rebuilds the whole list silently from the shown names; equal counts load nothing;
//  - single-record mode: the list is rebuilt from the first shown name, silently, and the pane
//    repaints only when that picture was found (otherwise the old picture stays on screen).
//
// Entering multiple-record mode only resets the loaded count: the old paths stay drawable until
// the next pick rebuilds the list.

#include <optional>
#include <string>
#include <vector>

namespace fallowmere {

// What the pane needs of the document and of the picture folder.
class PictureSelection {
public:
    virtual ~PictureSelection() = default;

    virtual bool multipleMode() const = 0;
    // Number of valid shown names (0 to 6) and the names themselves (GBK, as in the project).
    virtual int shownCount() const = 0;
    virtual std::string shownName(int index) const = 0;
    virtual void decrementShownCount() = 0;
    // The path of the named record's picture, or nothing when no project is open, the name
    // cannot name a picture, or no file is found (the pane's lookup order: the name itself when
    // it carries an extension, then ".jpg", then ".bmp", letter case ignored).
    virtual std::optional<std::string> picturePath(const std::string& name) const = 0;
    // "目录下没有对应图片文件" with the caption "提示信息".
    virtual void announceMissingPicture() = 0;
};

class PicturePaths {
public:
    const std::vector<std::string>& paths() const { return paths_; }
    int loadedCount() const { return loadedCount_; }

    // Multiple-record mode starts: the next pick loads from the beginning.
    void resetLoaded() { loadedCount_ = 0; }

    // Follows the document after a pick; true when the pane must repaint.
    bool refresh(PictureSelection& selection);

private:
    bool addPicturePath(PictureSelection& selection, const std::string& name, bool report);

    std::vector<std::string> paths_;
    int loadedCount_ = 0;
};

} // namespace fallowmere
