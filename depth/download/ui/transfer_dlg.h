#pragma once
// The modal progress dialog of a download: opens the port, receives the meter's bytes as
// PortByteEvents, decodes them group by group into the document's records and shows which
// group was last completed.

#include "depth/document/depth_record.h"
#include "depth/download/download_parser.h"
#include "depth/serial/qt/serial_port.h"

#include <QDialog>
#include <deque>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;

namespace marrowby {

class CTransferDlg : public QDialog {
    Q_OBJECT
public:
    // `records` (the document's list) and `engine` must outlive the dialog; `port` is the
    // port number to open and `devicePath` its device (empty: the port has none).
    CTransferDlg(std::vector<DepthRecord>& records, int port, std::string devicePath,
                 PortEngine& engine, QWidget* parent = nullptr);

    // Opens the port and starts the worker before the dialog shows. When the port cannot be
    // opened it reports that and returns Rejected without showing the dialog.
    int exec() override;
    // Every way out closes the port first: the end byte ends it with OK; Enter, Esc, the close
    // box and a failed open cancel it.
    void done(int result) override;

    int port() const { return m_nPort; }
    int groupsDone() const { return m_nGroupsDone; }

    QLabel* statusLabel() const { return m_pLabel; }
    QProgressBar* progressBar() const { return m_pProgress; }
    int progressStep() const { return m_nStep; }
    const DownloadParser& parser() const { return m_parser; }

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Returns false when the port could not be opened (the dialog is then already cancelled).
    bool OnInitDialog();
    // Handles one byte completely, message boxes included.
    void OnPortByte(uint8_t c, int portNumber);
    // Handles the waiting bytes in arrival order; bytes that arrive while one is being handled
    // (a message box runs a nested event loop) join the queue and wait their turn.
    void drainBytes();
    void setProgressRange(int maximum);
    void stepIt();

    int m_nPort;
    std::string m_devicePath;
    int m_nGroupsDone = 0;
    PortEngine& m_engine;
    DownloadParser m_parser;
    QLabel* m_pLabel;
    QProgressBar* m_pProgress;
    int m_nStep = 1;
    std::deque<uint8_t> m_pending;
    bool m_bDraining = false;
    bool m_bInitialised = false;
    bool m_bFinished = false; // the dialog has ended; late bytes are dropped
};

} // namespace marrowby
