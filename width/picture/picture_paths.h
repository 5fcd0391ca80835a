#pragma once
// The picture pane's list of picture paths and the rules by which it follows the record list's
// picks, as model code. The pane keeps the paths of the pictures it shows and the names they
// were built from; each time it is told, it turns the document's shown names into paths, so
// that it always shows the photographs of the records picked now and nothing else:
//
//  - multiple-record mode: a name added at the end is looked up and appended (a missing picture
//    is announced and the document's count lowered by one, so count and list agree again); any
//    other change of the names (a record unchecked, deleted, renamed, a new project, a new
//    mode) rebuilds the whole list silently; the same names load nothing;
//  - single-record mode: the list is rebuilt from the first shown name, silently.
//
// Entering multiple-record mode empties the list (the mode starts with no record checked), so
// that the first pick there is looked up as an added one.

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
    // How many shown names the paths were built from.
    int loadedCount() const { return static_cast<int>(names_.size()); }

    // Multiple-record mode starts: no picture, and the next pick loads from the beginning.
    void resetLoaded() {
        names_.clear();
        paths_.clear();
    }

    // Follows the document's shown names; true when the paths changed.
    bool refresh(PictureSelection& selection);

private:
    bool addPicturePath(PictureSelection& selection, const std::string& name, bool report);
    static std::vector<std::string> shownNames(const PictureSelection& selection);

    std::vector<std::string> paths_;
    std::vector<std::string> names_;
};

} // namespace fallowmere
