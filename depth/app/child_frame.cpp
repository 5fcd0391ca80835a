#include "depth/app/child_frame.h"

#include "depth/app/icons.h"
#include "depth/document/ui/marrowby_view.h"

#include <QCloseEvent>

namespace marrowby {

CChildFrame::CChildFrame(CMarrowbyView* view, QWidget* parent)
    : QMdiSubWindow(parent), m_view(view), m_docCommands(view->sharedDocument(), view) {
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(appIcon());
    resize(480, 420);
}

std::shared_ptr<CMarrowbyDoc> CChildFrame::document() const {
    return m_view->sharedDocument();
}

bool CChildFrame::handlesCommand(int id) const {
    return id == ID_FILE_CLOSE;
}

void CChildFrame::onCommand(int id) {
    if (id == ID_FILE_CLOSE)
        emit closeRequested(this);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!m_view->confirmClose(windowTitle())) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

} // namespace marrowby
