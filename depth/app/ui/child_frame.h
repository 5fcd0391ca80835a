#pragma once
// The frame of one depth window: holds its view and asks about unsaved rows before closing.

#include "depth/app/command_ids.h"
#include "depth/app/ui/doc_commands.h"

#include <QMdiSubWindow>
#include <memory>

namespace marrowby {

class CMarrowbyView;
class CMarrowbyDoc;

class CChildFrame : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    CChildFrame(CMarrowbyView* view, QWidget* parent = nullptr);

    CMarrowbyView* view() const { return m_view; }
    std::shared_ptr<CMarrowbyDoc> document() const;
    DocCommands& docCommands() { return m_docCommands; }

signals:
    void closeRequested(CChildFrame* frame); // File Close: close every window of the document

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CMarrowbyView* m_view;
    DocCommands m_docCommands;
};

} // namespace marrowby
