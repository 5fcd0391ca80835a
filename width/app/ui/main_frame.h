#pragma once
// The main window: menu, toolbar and status bar; the fixed splitter with the record list on the
// left (2/5 of the screen width) and the picture pane on the right; the command chain (the
// pane clicked last, the document, the frame, the application).

#include "common/ui/command_actions.h"
#include "width/project/command_ids.h"

#include <QMainWindow>
#include <QSplitter>

#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QToolBar;

namespace fallowmere {

class CDataView;
class CQuenbyApp;
class CQuenbyDoc;
class CQuenbyDocCommands;
class CQuenbyView;
class FileOps;

// The splitter whose bar cannot be dragged: the list pane keeps the width it was created with,
// the picture pane takes the rest.
class MySp : public QSplitter {
    Q_OBJECT
public:
    explicit MySp(QWidget* parent = nullptr);
    // The list pane's width.
    void setFirstPaneWidth(int width);
    int firstPaneWidth() const { return firstWidth_; }

protected:
    QSplitterHandle* createHandle() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyWidths();
    int firstWidth_ = 0;
};

class CMainFrame : public QMainWindow, public tessera::CommandTarget {
    Q_OBJECT
public:
    CMainFrame(CQuenbyApp& app, CQuenbyDoc& doc, FileOps& fs);
    ~CMainFrame() override;

    CDataView* dataView() const { return m_pDataView; }
    CQuenbyView* pictureView() const { return m_pPicView; }
    MySp* splitter() const { return m_splitter; }
    QToolBar* toolBar() const { return m_toolBar; }
    QLabel* promptPane() const { return m_prompt; }
    QAction* action(int id) const { return m_commands->action(id); }
    // The top-level menu items in order (the settings item is an action without a menu).
    QList<QAction*> menuItems() const;
    CQuenbyDocCommands& docCommands() const { return *m_docCommands; }

    // The pane that receives commands first: the one clicked (or focused) last.
    tessera::CommandTarget* activeView() const;
    QWidget* activePane() const;
    void setActivePane(QWidget* pane);

    bool routeCommand(int id);
    bool isCommandEnabled(int id) const;
    void updateCommandUI();

    // Both panes after Open and Add (the record list first).
    void updateAllViews();
    // New: the document, the list and the picture pane emptied.
    void resetPanes();

    // The screen size the panes are laid out from; replaced in tests.
    static std::function<QSize()>& screenSize();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createPanes(FileOps& fs);
    void fillRecentFiles();
    void switchPane();
    void collectAndSend(int command);
    // Keeps the picture pane's zoom for the next run.
    void storeZoom();
    tessera::CommandChain commandChain() const;

    CQuenbyApp& m_app;
    CQuenbyDoc& m_doc;
    tessera::CommandActions* m_commands;
    std::unique_ptr<CQuenbyDocCommands> m_docCommands;
    MySp* m_splitter = nullptr;
    CDataView* m_pDataView = nullptr;
    CQuenbyView* m_pPicView = nullptr;
    QWidget* m_activePane = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_prompt = nullptr;
    QMenu* m_fileMenu = nullptr;
    QList<QAction*> m_menuItems;
};

} // namespace fallowmere
