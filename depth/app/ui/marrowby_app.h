#pragma once
// The application object: settings and the recent-file list, new documents and their titles,
// opening a document for a file, and the application's own commands.

#include "common/qt/recent_files_store.h"
#include "common/recent_files.h"
#include "common/ui/print_job.h"
#include "depth/app/command_ids.h"
#include "depth/document/depth_doc.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace marrowby {

class CChildFrame;
class CMainFrame;

class CMarrowbyApp : public QObject, public CommandTarget {
    Q_OBJECT
public:
    CMarrowbyApp();
    ~CMarrowbyApp() override;

    // What the process sets up before the application object: names for the settings, captions
    // shown exactly, the framework's texts in Chinese. Returns false, with the reason in
    // `problem`, when Qt's Chinese translations are missing (the program still runs).
    static bool setUpProcess(QString* problem = nullptr);

    // Start-up: settings, the main window, then a new document or the file named in `args`.
    // False when the program must end (the named file could not be opened).
    bool InitInstance(const QStringList& args);

    CMainFrame* mainFrame() const { return m_mainFrame.get(); }
    tessera::RecentFileList& recentFiles() { return m_recent; }
    DocumentTitleCounter& titleCounter() { return m_titles; }

    // File New: a new document titled with the run's counter, in its own window.
    CChildFrame* OnFileNew();
    // File Open while no depth window is active.
    void OnFileOpen();
    // Opens a document for a file: a new window titled with the file's name, showing its rows,
    // and the file joins the recent-file list. Null (after a message) when it cannot be read.
    CChildFrame* openDocumentFile(const QString& path);
    void OnAppAbout();

private:
    void loadRecentFiles();
    void saveRecentFiles();

    std::unique_ptr<CMainFrame> m_mainFrame;
    tessera::RecentFileList m_recent{4};
    tessera::RecentFileStore m_recentStore{QStringLiteral("Marrowby")};
    DocumentTitleCounter m_titles;
    tessera::SharedPrinter m_printer; // Print Setup's choices carry over to later jobs
};

} // namespace marrowby
