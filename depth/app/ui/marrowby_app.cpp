#include "depth/app/ui/marrowby_app.h"

#include "common/qt/caption.h"
#include "common/qt/program_setup.h"
#include "common/qt/text.h"
#include "common/ui/prompt.h"
#include "depth/app/ui/about_dlg.h"
#include "depth/app/ui/child_frame.h"
#include "depth/app/ui/main_frame.h"
#include "depth/app/ui/marrowby_view.h"
#include "depth/document/program_title.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace marrowby {

bool CMarrowbyApp::setUpProcess(QString* problem) {
    return tessera::setUpDesktopProgram(QStringLiteral("Marrowby"), QStringLiteral("1.2.0"),
                                        problem);
}

CMarrowbyApp::CMarrowbyApp() {
    loadRecentFiles();
    auto isRecentEntry = [this](int id, tessera::CommandState& state) {
        state.enabled = static_cast<size_t>(id - ID_FILE_MRU_FILE1) < m_recent.entries().size();
    };
    commandTable()
        .on(ID_FILE_NEW, [this](int) { OnFileNew(); })
        .on(ID_FILE_OPEN, [this](int) { OnFileOpen(); })
        .on(ID_FILE_PRINT_SETUP, [this](int) { tessera::showPrintSetup(m_mainFrame.get()); })
        .on(ID_APP_ABOUT, [this](int) { OnAppAbout(); })
        .on(ID_APP_EXIT, [this](int) { m_mainFrame->close(); })
        .onRange(
            ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE1 + static_cast<int>(m_recent.capacity()) - 1,
            [this](int id) {
                const size_t index = static_cast<size_t>(id - ID_FILE_MRU_FILE1);
                if (index < m_recent.entries().size())
                    openDocumentFile(QString::fromStdString(m_recent.entries()[index]));
            },
            isRecentEntry);
}

CMarrowbyApp::~CMarrowbyApp() = default;

void CMarrowbyApp::loadRecentFiles() {
    m_recentStore.load(m_recent);
}

void CMarrowbyApp::saveRecentFiles() {
    // A list that cannot be stored is only lost for the next run; the open itself went well.
    m_recentStore.save(m_recent);
}

bool CMarrowbyApp::InitInstance(const QStringList& args) {
    m_mainFrame = std::make_unique<CMainFrame>(*this);
    // In the middle of the screen, where the window manager would place it anyway; a message
    // about the file named on the command line comes before the window is shown and stands over
    // it, rather than over the screen's corner.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed = m_mainFrame->frameGeometry();
        placed.moveCenter(screen->availableGeometry().center());
        m_mainFrame->move(placed.topLeft());
    }
    if (args.isEmpty()) {
        OnFileNew();
    } else if (!openDocumentFile(args.first())) {
        return false;
    }
    m_mainFrame->show();
    m_mainFrame->updateCommandUI();
    return true;
}

CChildFrame* CMarrowbyApp::OnFileNew() {
    auto doc = std::make_shared<CMarrowbyDoc>();
    doc->title = m_titles.nextTitle();
    return m_mainFrame->addView(new CMarrowbyView(doc));
}

CChildFrame* CMarrowbyApp::openDocumentFile(const QString& path) {
    auto doc = std::make_shared<CMarrowbyDoc>();
    doc->title = QFileInfo(path).fileName().toStdString();
    auto* view = new CMarrowbyView(doc);
    QString reason;
    if (!view->readDmFile(path, &reason)) {
        delete view;
        tessera::prompt().message(m_mainFrame.get(), tessera::fromUtf8(kProgramTitle),
                                  QStringLiteral("无法打开文件 %1。\n%2").arg(path, reason),
                                  tessera::PromptIcon::Exclamation);
        m_recent.remove(path.toStdString());
        saveRecentFiles();
        return nullptr;
    }
    m_recent.add(QFileInfo(path).absoluteFilePath().toStdString());
    saveRecentFiles();
    return m_mainFrame->addView(view);
}

void CMarrowbyApp::OnFileOpen() {
    tessera::FileDialogRequest request;
    request.caption = QStringLiteral("打开");
    request.filter = QStringLiteral("所有文件 (*.*)");
    const QString path = tessera::prompt().openFileName(m_mainFrame.get(), request);
    if (!path.isEmpty())
        openDocumentFile(path);
}

void CMarrowbyApp::OnAppAbout() {
    CAboutDlg dialog(m_mainFrame.get());
    dialog.exec();
}

} // namespace marrowby
