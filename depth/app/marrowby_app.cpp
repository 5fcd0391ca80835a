#include "depth/app/marrowby_app.h"

#include "common/qt/prompt.h"
#include "common/qt/text.h"
#include "depth/app/about_dlg.h"
#include "depth/app/child_frame.h"
#include "depth/app/main_frame.h"
#include "depth/document/ui/marrowby_view.h"

#include <QFileInfo>
#include <QSettings>

namespace marrowby {

namespace {

const QString kCaption = QStringLiteral("Tessaly");

QSettings settings() {
    return QSettings(QStringLiteral("Local AppWizard-Generated Applications"),
                     QStringLiteral("Marrowby"));
}

} // namespace

CMarrowbyApp::CMarrowbyApp() {
    loadRecentFiles();
}

CMarrowbyApp::~CMarrowbyApp() = default;

void CMarrowbyApp::loadRecentFiles() {
    QSettings s = settings();
    s.beginGroup(QStringLiteral("Recent File List"));
    std::vector<std::string> paths;
    for (size_t i = 1; i <= m_recent.capacity(); ++i) {
        const QString path = s.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty())
            paths.push_back(path.toStdString());
    }
    m_recent.assign(paths);
}

void CMarrowbyApp::saveRecentFiles() {
    QSettings s = settings();
    s.beginGroup(QStringLiteral("Recent File List"));
    s.remove(QString());
    const auto& entries = m_recent.entries();
    for (size_t i = 0; i < entries.size(); ++i)
        s.setValue(QStringLiteral("File%1").arg(i + 1), QString::fromStdString(entries[i]));
}

bool CMarrowbyApp::InitInstance(const QStringList& args) {
    m_mainFrame = std::make_unique<CMainFrame>(*this);
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
        tessera::prompt().message(m_mainFrame.get(), kCaption,
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

bool CMarrowbyApp::handlesCommand(int id) const {
    switch (id) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_PRINT_SETUP:
    case ID_APP_ABOUT:
    case ID_APP_EXIT:
        return true;
    default:
        return id >= ID_FILE_MRU_FILE1 &&
               id < ID_FILE_MRU_FILE1 + static_cast<int>(m_recent.entries().size());
    }
}

void CMarrowbyApp::onCommand(int id) {
    switch (id) {
    case ID_FILE_NEW:
        OnFileNew();
        return;
    case ID_FILE_OPEN:
        OnFileOpen();
        return;
    case ID_FILE_PRINT_SETUP:
        tessera::showPrintSetup(m_mainFrame.get());
        return;
    case ID_APP_ABOUT:
        OnAppAbout();
        return;
    case ID_APP_EXIT:
        m_mainFrame->close();
        return;
    default:
        break;
    }
    const size_t index = static_cast<size_t>(id - ID_FILE_MRU_FILE1);
    if (index < m_recent.entries().size())
        openDocumentFile(QString::fromStdString(m_recent.entries()[index]));
}

} // namespace marrowby
