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
    std::string title;                // UTF-8

    // The serial port chosen by hand (memory only; 1 until changed).
    int port() const { return port_; }
    void setPort(int port) { port_ = port; }

    void clearRecords() { records.clear(); }
    void appendRecord(const DepthRecord& record) { records.push_back(record); }

    void addView(DocumentView* view);
    void removeView(DocumentView* view);
    const std::vector<DocumentView*>& views() const { return views_; }
    // Tells every view except `sender` to update.
    void updateAllViews(int hint = 0, DocumentView* sender = nullptr);

private:
    int port_ = 1;
    std::vector<DocumentView*> views_;
};

// Titles of new documents: "测深文档" followed by a counter that starts at 1, belongs to the
// program run and never gives numbers back. It keeps counting past 999.
class DocumentTitleCounter {
public:
    std::string nextTitle();
    int next() const { return next_; }

private:
    int next_ = 1;
};

} // namespace marrowby
