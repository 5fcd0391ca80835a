#include "depth/app/ui/child_frame.h"

#include "depth/app/ui/icons.h"
#include "depth/app/ui/marrowby_view.h"

#include <QCloseEvent>

namespace marrowby {

CChildFrame::CChildFrame(CMarrowbyView* view, QWidget* parent)
    : QMdiSubWindow(parent), m_view(view), m_docCommands(view->sharedDocument(), view) {
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(appIcon());
    resize(480, 420);
    commandTable().on(ID_FILE_CLOSE, [this](int) { emit closeRequested(this); });
}

std::shared_ptr<CMarrowbyDoc> CChildFrame::document() const {
    return m_view->sharedDocument();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!m_view->askToSaveChanges()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

} // namespace marrowby
