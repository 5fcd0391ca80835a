#include "width/picture/picture_paths.h"

#include <algorithm>

namespace fallowmere {

bool PicturePaths::addPicturePath(PictureSelection& selection, const std::string& name,
                                  bool report) {
    if (const auto path = selection.picturePath(name)) {
        paths_.push_back(*path);
        return true;
    }
    if (report) {
        selection.announceMissingPicture();
        selection.decrementShownCount();
    }
    return false;
}

std::vector<std::string> PicturePaths::shownNames(const PictureSelection& selection) {
    std::vector<std::string> names;
    int count = selection.shownCount();
    if (!selection.multipleMode())
        count = std::min(count, 1);
    for (int i = 0; i < count; ++i)
        names.push_back(selection.shownName(i));
    return names;
}

bool PicturePaths::refresh(PictureSelection& selection) {
    const std::vector<std::string> names = shownNames(selection);
    if (names == names_)
        return false;
    const std::vector<std::string> before = paths_;
    const bool added = selection.multipleMode() && names.size() == names_.size() + 1 &&
                       std::equal(names_.begin(), names_.end(), names.begin());
    if (added) {
        addPicturePath(selection, names.back(), true);
    } else {
        paths_.clear();
        for (const std::string& name : names)
            addPicturePath(selection, name, false);
    }
    // Read again: a missing picture has lowered the document's count.
    names_ = shownNames(selection);
    return paths_ != before;
}

} // namespace fallowmere
