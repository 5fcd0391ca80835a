#pragma once
// The application object: the recent-file list, the inspection settings read at start-up,
// the one document for the whole run, the main window, and the application's own commands
// (New, Print Setup, About, Exit, recent files).

#include "common/qt/recent_files_store.h"
#include "common/recent_files.h"
#include "common/ui/print_job.h"
#include "width/list/ui/data_view.h"
#include "width/picture/inspection_report.h"
#include "width/project/quenby_doc.h"

#include <QObject>
#include <QStringList>

#include <memory>

namespace fallowmere {

class CMainFrame;

class CQuenbyApp : public QObject, public tessera::CommandTarget {
    Q_OBJECT
public:
    CQuenbyApp();
    ~CQuenbyApp() override;

    // Start-up: recent files, the inspection settings, the main window (maximized), then the
    // project named in `args`, if any. False when that project cannot be read.
    bool InitInstance(const QStringList& args);

    CMainFrame* mainFrame() const { return m_mainFrame.get(); }
    CQuenbyDoc& document() { return m_doc; }
    tessera::RecentFileList& recentFiles() { return m_recent; }
    void addRecentFile(const QString& path);
    void removeRecentFile(const QString& path);

    // The settings file and its five values (GBK).
    void ReadInspectionSettings();
    const std::string& iniPath() const { return m_strIniPath; }
    const InspectionInfo& inspectionInfo() const { return m_info; }
    // Keeps the values and writes them to the settings file; false (after a message) when the
    // file cannot be written (the values stay in memory).
    bool storeInspectionInfo(const InspectionInfo& info);

    void OnFileNew();
    void OnAppAbout();

private:
    std::unique_ptr<CMainFrame> m_mainFrame;
    CQuenbyDoc m_doc;
    TrashFileOps m_fileOps;
    tessera::RecentFileList m_recent{4};
    tessera::RecentFileStore m_recentStore;
    std::string m_strIniPath;
    bool m_iniPerUser = false; // the per-user settings file: its folder is made on first write
    InspectionInfo m_info;
    tessera::SharedPrinter m_printer; // Print Setup's choices carry over to later jobs
};

} // namespace fallowmere
