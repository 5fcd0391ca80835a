#pragma once
// The main window: the depth windows in an MDI area, both menus, toolbar, status bar, and the
// command chain (active view, its document, the frames, the application).

#include "common/ui/command_actions.h"
#include "depth/app/command_ids.h"

#include <QMainWindow>
#include <QMap>
#include <memory>

class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

namespace tessera {
class LockIndicators;
}

namespace marrowby {

class CChildFrame;
class CMarrowbyApp;
class CMarrowbyDoc;
class CMarrowbyView;

class CMainFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    explicit CMainFrame(CMarrowbyApp& app);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const { return m_mdi; }
    QToolBar* toolBar() const { return m_toolBar; }
    QAction* action(int id) const { return m_commands->action(id); }
    // The top-level menus now shown (menu 128 without a document window, menu 129 with one).
    QList<QMenu*> currentMenus() const;
    QLabel* promptPane() const { return m_prompt; }
    // The 大写 / 数字 / 滚动 indicators of the status bar.
    tessera::LockIndicators* lockIndicators() const { return m_lockIndicators; }

    CChildFrame* activeChildFrame() const;
    CMarrowbyView* activeView() const;
    QList<CChildFrame*> childFrames() const;

    // Adds a window for a view of `doc` and shows it.
    CChildFrame* addView(CMarrowbyView* view);

    // Routes a command along the chain; false when nothing handles it.
    bool routeCommand(int id);
    bool isCommandEnabled(int id) const;
    void updateCommandUI();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void switchMenus();
    void fillRecentFiles(QMenu* menu);
    void fillWindowList(QMenu* menu);
    void updateTitles(const std::shared_ptr<CMarrowbyDoc>& doc);
    void closeDocument(CChildFrame* frame);
    void newWindow();
    void arrangeIcons();
    tessera::CommandChain commandChain() const;

    CMarrowbyApp& m_app;
    QMdiArea* m_mdi;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_prompt = nullptr;
    tessera::LockIndicators* m_lockIndicators = nullptr;
    tessera::CommandActions* m_commands;
    QList<QMenu*> m_menus128;
    QList<QMenu*> m_menus129;
    QMenu* m_recentMenu = nullptr; // the File menu of menu 128
    QMenu* m_windowMenu = nullptr;
    bool m_showingDocMenus = false;
    bool m_menusInitialised = false;
};

} // namespace marrowby
