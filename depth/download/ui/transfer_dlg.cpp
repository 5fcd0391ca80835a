#include "depth/download/ui/transfer_dlg.h"

#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "common/ui/dialog_units.h"
#include "common/ui/prompt.h"
#include "depth/document/program_title.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>

namespace marrowby {
CTransferDlg::CTransferDlg(std::vector<DepthRecord>& records, int port, std::string devicePath,
                           PortEngine& engine, QWidget* parent)
    : QDialog(parent), m_nPort(port), m_devicePath(std::move(devicePath)), m_engine(engine),
      m_parser(records) {
    tessera::setCaption(*this, tessera::fromUtf8(kTransferCaption));
    // Dialog resource 189: 191 × 34 dialog units in MS Sans Serif 10, a system menu with the
    // close box and no buttons.
    const tessera::DialogBaseUnits units =
        tessera::setUpDialog(*this, 191, 34, QStringLiteral("MS Sans Serif"), 10);
    m_pLabel = new QLabel(tessera::fromUtf8(kInitialGroupLabel), this);
    tessera::placeInDialog(*m_pLabel, units, 6, 6, 120, 8);
    m_pProgress = new QProgressBar(this);
    tessera::placeInDialog(*m_pProgress, units, 7, 17, 176, 13);
    m_pProgress->setTextVisible(false);
    setProgressRange(250);
}

int CTransferDlg::exec() {
    if (!m_bInitialised && !OnInitDialog())
        return result();
    return QDialog::exec();
}

bool CTransferDlg::OnInitDialog() {
    m_bInitialised = true;
    // The engine's failures show the "Application Error" box, which has no owner window.
    m_engine.setErrorHandler([](const PortError& error) {
        tessera::prompt().message(nullptr, tessera::fromUtf8(kPortErrorCaption),
                                  QString::fromStdString(portErrorText(error)),
                                  tessera::PromptIcon::Stop);
    });
    if (!m_engine.Open(this, m_nPort, m_devicePath)) {
        QString text = tessera::fromUtf8(kOpenFailedMessage);
        const QString reason = m_engine.lastOpenError();
        if (!reason.isEmpty())
            text += QLatin1Char('\n') + reason;
        tessera::prompt().message(this, tessera::fromUtf8(kProgramTitle), text,
                                  tessera::PromptIcon::None);
        reject();
        return false;
    }
    m_engine.StartWorker();
    setProgressRange(250);
    m_nStep = 1;
    return true;
}

void CTransferDlg::done(int r) {
    m_bFinished = true;
    m_pending.clear();
    m_engine.Close();
    QDialog::done(r);
}

bool CTransferDlg::event(QEvent* e) {
    if (e->type() != UM_PORT_BYTE)
        return QDialog::event(e);
    if (!m_bFinished) {
        m_pending.push_back(static_cast<PortByteEvent*>(e)->byte());
        if (!m_bDraining)
            drainBytes();
    }
    return true;
}

void CTransferDlg::drainBytes() {
    m_bDraining = true;
    while (!m_pending.empty() && !m_bFinished) {
        const uint8_t c = m_pending.front();
        m_pending.pop_front();
        OnPortByte(c, m_nPort);
    }
    m_bDraining = false;
}

void CTransferDlg::OnPortByte(uint8_t c, int /*portNumber*/) {
    const ByteOutcome out = m_parser.onByte(c);
    if (out.groupClosed) {
        if (out.countMismatch)
            tessera::prompt().message(this, tessera::fromUtf8(kProgramTitle),
                                      tessera::fromUtf8(kCountMismatchMessage),
                                      tessera::PromptIcon::Exclamation);
        setProgressRange(out.progressMax);
        m_nStep = 1;
        for (int i = 0; i < out.recordsAdded; ++i)
            stepIt();
        m_nGroupsDone = out.groupsDone;
        m_pLabel->setText(QString::fromStdString(groupLabel(m_nGroupsDone)));
    }
    if (out.endOfTransfer) {
        m_engine.Close();
        accept();
    }
}

void CTransferDlg::setProgressRange(int maximum) {
    // An empty (or nonsense) count shows an empty bar rather than Qt's busy indicator.
    m_pProgress->setRange(0, maximum > 0 ? maximum : 1);
    m_pProgress->setValue(0);
}

void CTransferDlg::stepIt() {
    // Past the end the bar starts over, as a stepped progress control does.
    int v = m_pProgress->value() + m_nStep;
    if (v > m_pProgress->maximum())
        v = m_pProgress->minimum() + (v - m_pProgress->maximum());
    m_pProgress->setValue(v);
}

void CTransferDlg::keyPressEvent(QKeyEvent* e) {
    // Enter cancels as Esc does: only the end byte completes a transfer, so a partial download
    // is never reported as complete.
    if (e->modifiers() == Qt::NoModifier || e->modifiers() == Qt::KeypadModifier) {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            reject();
            return;
        }
    }
    QDialog::keyPressEvent(e);
}

} // namespace marrowby
