#include "width/picture/picture_paths.h"

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

bool PicturePaths::refresh(PictureSelection& selection) {
    if (!selection.multipleMode()) {
        paths_.clear();
        loadedCount_ = 1;
        return addPicturePath(selection, selection.shownName(0), false);
    }

    if (selection.shownCount() == 1) {
        loadedCount_ = 0;
        paths_.clear();
    }
    if (loadedCount_ < selection.shownCount()) {
        addPicturePath(selection, selection.shownName(loadedCount_), true);
        // Read after the lookup: a missing picture has lowered the count again.
        loadedCount_ = selection.shownCount();
    }
    if (selection.shownCount() < loadedCount_) {
        paths_.clear();
        loadedCount_ = selection.shownCount();
        for (int i = 0; i < loadedCount_; ++i)
            addPicturePath(selection, selection.shownName(i), false);
    }
    return true;
}

} // namespace fallowmere
