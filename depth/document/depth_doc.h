#pragma once
// The depth document: the records of the last download, the port chosen by hand, the title,
// and the views that show it.

#include "depth/document/depth_record.h"

#include <string>
#include <vector>

namespace marrowby {

class DocumentView {
public:
    virtual ~DocumentView() = default;
    // Called by CMarrowbyDoc::updateAllViews. Views rebuild their rows on hint 0 only.
    virtual void onUpdate(int hint) = 0;
};

class CMarrowbyDoc {
public:
    std::vector<DepthRecord> records; // arrival order; only appended to or emptied whole
    int m_nPort = 1;                  // serial port chosen by hand; memory only
    std::string title;                // UTF-8

    void clearRecords() { records.clear(); }
    void appendRecord(const DepthRecord& record) { records.push_back(record); }

    void addView(DocumentView* view);
    void removeView(DocumentView* view);
    const std::vector<DocumentView*>& views() const { return m_views; }
    // Tells every view except `sender` to update.
    void updateAllViews(int hint = 0, DocumentView* sender = nullptr);

private:
    std::vector<DocumentView*> m_views;
};

// Titles of new documents: "测深文档" followed by a counter that starts at 1, belongs to the
// program run and never gives numbers back. It keeps counting past 999.
class DocumentTitleCounter {
public:
    std::string nextTitle();
    int next() const { return m_next; }

private:
    int m_next = 1;
};

} // namespace marrowby
