#include "depth/document/depth_doc.h"

#include <algorithm>

namespace marrowby {

void CMarrowbyDoc::addView(DocumentView* view) {
    if (std::find(views_.begin(), views_.end(), view) == views_.end())
        views_.push_back(view);
}

void CMarrowbyDoc::removeView(DocumentView* view) {
    views_.erase(std::remove(views_.begin(), views_.end(), view), views_.end());
}

void CMarrowbyDoc::updateAllViews(int hint, DocumentView* sender) {
    // A copy: a view may close itself while updating.
    auto views = views_;
    for (auto* view : views)
        if (view != sender)
            view->onUpdate(hint);
}

std::string DocumentTitleCounter::nextTitle() {
    return "测深文档" + std::to_string(next_++);
}

} // namespace marrowby
