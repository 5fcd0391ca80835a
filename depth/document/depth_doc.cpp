#include "depth/document/depth_doc.h"

#include <algorithm>

namespace marrowby {

void CMarrowbyDoc::addView(DocumentView* view) {
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CMarrowbyDoc::removeView(DocumentView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CMarrowbyDoc::updateAllViews(int hint, DocumentView* sender) {
    // A copy: a view may close itself while updating.
    auto views = m_views;
    for (auto* view : views)
        if (view != sender)
            view->onUpdate(hint);
}

std::string DocumentTitleCounter::nextTitle() {
    return "测深文档" + std::to_string(m_next++);
}

} // namespace marrowby
