#include "width/app/ui/quenby_app.h"

#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "common/ui/prompt.h"
#include "width/app/inspection_settings.h"
#include "width/app/ui/about_dlg.h"
#include "width/app/ui/doc_commands.h"
#include "width/app/ui/main_frame.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <cstdlib>

namespace fallowmere {

CQuenbyApp::CQuenbyApp() : m_recentStore(QString::fromLatin1(kSettingsApplication)) {
    auto isRecentEntry = [this](int id, tessera::CommandState& state) {
        state.enabled =
            static_cast<size_t>(id - tessera::ID_FILE_MRU_FILE1) < m_recent.entries().size();
    };
    commandTable()
        .on(tessera::ID_FILE_NEW, [this](int) { OnFileNew(); })
        .on(tessera::ID_FILE_PRINT_SETUP,
            [this](int) { tessera::showPrintSetup(m_mainFrame.get()); })
        .on(tessera::ID_APP_ABOUT, [this](int) { OnAppAbout(); })
        .on(tessera::ID_APP_EXIT, [this](int) { m_mainFrame->close(); })
        .onRange(
            tessera::ID_FILE_MRU_FILE1,
            tessera::ID_FILE_MRU_FILE1 + static_cast<int>(m_recent.capacity()) - 1,
            [this](int id) {
                const size_t index = static_cast<size_t>(id - tessera::ID_FILE_MRU_FILE1);
                if (index < m_recent.entries().size())
                    m_mainFrame->docCommands().openProjectFile(
                        QString::fromStdString(m_recent.entries()[index]));
            },
            isRecentEntry);
}

CQuenbyApp::~CQuenbyApp() = default;

bool CQuenbyApp::InitInstance(const QStringList& args) {
    m_recentStore.load(m_recent);
    ReadInspectionSettings();
    m_mainFrame = std::make_unique<CMainFrame>(*this, m_doc, m_fileOps);
    // The size of a maximized window also where no window manager maximizes it (a bare
    // virtual display). Set before the project named on the command line opens, so that a
    // message about it stands in the middle of the screen rather than over the corner where a
    // window of Qt's default size would be.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_mainFrame->setGeometry(screen->availableGeometry());
    if (!args.isEmpty() && !m_mainFrame->docCommands().openProjectFile(args.first()))
        return false;
    m_mainFrame->showMaximized();
    tessera::setCaption(*m_mainFrame, QStringLiteral("Fallowmere V1.30"));
    m_mainFrame->updateCommandUI();
    return true;
}

void CQuenbyApp::addRecentFile(const QString& path) {
    m_recent.add(QFileInfo(path).absoluteFilePath().toStdString());
    // A list that cannot be stored is only lost for the next run.
    m_recentStore.save(m_recent);
}

void CQuenbyApp::removeRecentFile(const QString& path) {
    m_recent.remove(path.toStdString());
    m_recent.remove(QFileInfo(path).absoluteFilePath().toStdString());
    m_recentStore.save(m_recent);
}

void CQuenbyApp::ReadInspectionSettings() {
    const SettingsLocation location =
        programSettingsLocation(tessera::toPath(QCoreApplication::applicationDirPath()));
    m_strIniPath = location.path;
    m_iniPerUser = location.perUser;
    const SettingsRead read = readInspectionSettings(m_strIniPath);
    m_info = read.info;
    if (!read.error.empty())
        tessera::prompt().message(
            nullptr, tessera::fromUtf8(kAppTitle),
            QStringLiteral("无法读取设置文件“%1”：%2")
                .arg(QDir::toNativeSeparators(QString::fromStdString(m_strIniPath)),
                     tessera::fromUtf8(read.error)),
            tessera::PromptIcon::Exclamation);
}

bool CQuenbyApp::storeInspectionInfo(const InspectionInfo& info) {
    m_info = info;
    std::string error;
    if (writeInspectionSettings(m_strIniPath, info, &error, m_iniPerUser))
        return true;
    tessera::prompt().message(
        m_mainFrame.get(), tessera::fromUtf8(kAppTitle),
        QStringLiteral("无法写入设置文件“%1”：%2\n新的检测信息只保留到程序退出。")
            .arg(QDir::toNativeSeparators(QString::fromStdString(m_strIniPath)),
                 tessera::fromUtf8(error)),
        tessera::PromptIcon::Exclamation);
    return false;
}

void CQuenbyApp::OnFileNew() {
    if (!m_mainFrame->docCommands().askToKeepUnsavedRows())
        return;
    m_mainFrame->resetPanes();
}

void CQuenbyApp::OnAppAbout() {
    CAboutDlg dialog(m_mainFrame.get());
    dialog.exec();
}

} // namespace fallowmere
