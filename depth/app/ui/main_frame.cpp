#include "depth/app/ui/main_frame.h"

#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "common/ui/lock_indicators.h"
#include "common/ui/recent_files_menu.h"
#include "depth/app/ui/child_frame.h"
#include "depth/app/ui/icons.h"
#include "depth/app/ui/marrowby_app.h"
#include "depth/app/ui/marrowby_view.h"
#include "depth/document/program_title.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

namespace marrowby {

namespace {

const QString kIdlePrompt = QStringLiteral("就绪");

} // namespace

CMainFrame::CMainFrame(CMarrowbyApp& app)
    : m_app(app), m_mdi(new QMdiArea(this)),
      m_commands(new tessera::CommandActions(this, [this] { return commandChain(); })) {
    tessera::setCaption(*this, tessera::fromUtf8(kProgramTitle));
    setWindowIcon(appIcon());
    setCentralWidget(m_mdi);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { updateCommandUI(); });
    resize(900, 640);
    updateCommandUI();
}

CMainFrame::~CMainFrame() {
    // The windows close while the frame is half destroyed: they must not call back into it.
    disconnect(m_mdi, nullptr, this, nullptr);
    for (CChildFrame* frame : findChildren<CChildFrame*>()) // closed ones awaiting deletion too
        disconnect(frame, nullptr, this, nullptr);
}

void CMainFrame::createActions() {
    // Menu text, then the status-bar prompt and the tooltip after the line break.
    struct Command {
        int id;
        const char* text;
        const char* prompt;
        QKeySequence key;
    };
    const Command commands[] = {
        {ID_FILE_NEW, "新建(&N)\tCtrl+N", "建立新文档\n新建", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {ID_FILE_OPEN, "打开(&O)...\tCtrl+O", "打开一个现有文档\n打开",
         QKeySequence(Qt::CTRL | Qt::Key_O)},
        {ID_FILE_CLOSE, "关闭(&C)", "关闭活动文档\n关闭", {}},
        {ID_FILE_SAVE, "保存(&S)\tCtrl+S", "保存活动文档\n保存",
         QKeySequence(Qt::CTRL | Qt::Key_S)},
        {ID_FILE_SAVE_AS, "另存为(&A)...", "用新名称保存活动文档\n另存为", {}},
        {ID_EXPORT_TEXT, "文本文件(txt)", "将数据导出为文本文件\n导出文本文件", {}},
        {ID_EXPORT_PDF, "PDF文件(pdf)", "将数据报告导出为 PDF 文件\n导出PDF文件", {}},
        {ID_FILE_PRINT_SETUP, "打印设置(&R)...", "改变打印机及打印选项\n打印设置", {}},
        {ID_FILE_PRINT, "打印(&P)...\tCtrl+P", "打印活动文档\n打印",
         QKeySequence(Qt::CTRL | Qt::Key_P)},
        {ID_FILE_PRINT_DIRECT, "直接打印", "使用当前选项打印活动文档\n快速打印", {}},
        {ID_FILE_PRINT_PREVIEW, "打印预览(&V)", "显示整页\n打印预览", {}},
        {ID_APP_EXIT, "退出(&X)", "退出应用程序；提示保存文档\n退出", {}},
        {ID_PORT_SETTINGS, "串口设置(&S)", "串口相关设置\n串口设置", {}},
        {ID_DATA_TRANSFER, "数据传输(&D)", "从串口传输数据\n数据传输", {}},
        {ID_VIEW_TOOLBAR, "工具栏(&T)", "显示或隐藏工具栏\n切换工具栏", {}},
        {ID_VIEW_STATUS_BAR, "状态栏(&S)", "显示或隐藏状态栏\n切换状态栏", {}},
        {ID_WINDOW_NEW, "新建窗口(&N)", "为活动文档打开另一个窗口\n新建窗口", {}},
        {ID_WINDOW_CASCADE, "层叠(&C)", "以重叠方式排列窗口\n层叠窗口", {}},
        {ID_WINDOW_TILE_HORZ, "平铺(&T)", "以非重叠的平铺方式排列窗口\n平铺窗口", {}},
        {ID_WINDOW_ARRANGE, "排列图标(&A)", "将图标排列在窗口底部\n排列图标", {}},
        {ID_APP_ABOUT, "关于(&A)...", "显示程序信息、版本号和版权\n关于", {}},
        {ID_USB_DRIVER_INSTALL, "USB驱动安装", "", {}},
        {ID_FILE_MRU_FILE1, "最近文件", "打开该文档", {}},
    };
    for (const Command& c : commands)
        m_commands->add(c.id, QString::fromUtf8(c.text), QString::fromUtf8(c.prompt),
                        c.key.isEmpty() ? QList<QKeySequence>{} : QList<QKeySequence>{c.key});
    for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        action(id)->setCheckable(true);
        action(id)->setChecked(true);
    }

    // Accelerators of commands this program does not handle: present, and therefore disabled.
    struct Key {
        int id;
        QList<QKeySequence> keys;
    };
    const Key keys[] = {
        {ID_EDIT_UNDO,
         {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
        {ID_EDIT_CUT,
         {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {ID_EDIT_COPY,
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {ID_EDIT_PASTE,
         {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
        {ID_NEXT_PANE, {QKeySequence(Qt::Key_F6)}},
        {ID_PREV_PANE, {QKeySequence(Qt::SHIFT | Qt::Key_F6)}},
    };
    for (const auto& k : keys)
        addAction(m_commands->add(k.id, QString(), QString(), k.keys));

    // The frame's own commands: the checkable bar actions show and hide their bars themselves;
    // the window commands need a depth window.
    auto needsWindow = [this](int, tessera::CommandState& state) {
        state.enabled = activeChildFrame() != nullptr;
    };
    commandTable()
        .on(ID_VIEW_TOOLBAR, [](int) {})
        .on(ID_VIEW_STATUS_BAR, [](int) {})
        .on(
            ID_WINDOW_NEW, [this](int) { newWindow(); }, needsWindow)
        .on(
            ID_WINDOW_CASCADE, [this](int) { m_mdi->cascadeSubWindows(); }, needsWindow)
        .on(
            ID_WINDOW_TILE_HORZ, [this](int) { m_mdi->tileSubWindows(); }, needsWindow)
        .on(
            ID_WINDOW_ARRANGE, [this](int) { arrangeIcons(); }, needsWindow);
    connect(m_commands, &tessera::CommandActions::updated, this, [this] {
        switchMenus();
        // The placeholder of an empty recent-file list stands greyed.
        action(ID_FILE_MRU_FILE1)->setEnabled(false);
    });
}

void CMainFrame::createMenus() {
    auto menu = [this](const QString& title, std::initializer_list<int> ids) {
        return m_commands->menu(title, ids, this);
    };

    // Menu 128: no document window.
    m_recentMenu =
        menu(QStringLiteral("文件(&F)"), {ID_FILE_NEW, ID_FILE_OPEN, 0, ID_FILE_PRINT_SETUP, 0,
                                          ID_FILE_MRU_FILE1, 0, ID_APP_EXIT});
    connect(m_recentMenu, &QMenu::aboutToShow, this, [this] { fillRecentFiles(m_recentMenu); });
    fillRecentFiles(m_recentMenu);
    m_menus128 = {m_recentMenu,
                  menu(QStringLiteral("查看(&V)"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}),
                  menu(QStringLiteral("帮助(&H)"), {ID_APP_ABOUT})};

    // Menu 129: a depth window is active.
    auto* file = menu(QStringLiteral("文件(&F)"),
                      {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS});
    auto* exportMenu = file->addMenu(QStringLiteral("导出(E)..."));
    exportMenu->addAction(action(ID_EXPORT_TEXT));
    exportMenu->addAction(action(ID_EXPORT_PDF));
    file->addSeparator();
    file->addAction(action(ID_FILE_PRINT));
    file->addAction(action(ID_FILE_PRINT_PREVIEW));
    file->addSeparator();
    file->addAction(action(ID_APP_EXIT));
    m_windowMenu = menu(QStringLiteral("窗口(&W)"),
                        {ID_WINDOW_NEW, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE});
    connect(m_windowMenu, &QMenu::aboutToShow, this, [this] { fillWindowList(m_windowMenu); });
    m_menus129 = {file, menu(QStringLiteral("传输(&T)"), {ID_PORT_SETTINGS, ID_DATA_TRANSFER}),
                  menu(QStringLiteral("查看(&V)"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}),
                  m_windowMenu,
                  menu(QStringLiteral("帮助(&H)"), {ID_APP_ABOUT, ID_USB_DRIVER_INSTALL})};
    switchMenus();
}

void CMainFrame::fillRecentFiles(QMenu* menu) {
    // The entries stand between the separators around the recent-file slot.
    tessera::fillRecentFileMenu(*menu, *action(ID_FILE_MRU_FILE1), m_app.recentFiles(),
                                [this](int id) { routeCommand(id); });
}

void CMainFrame::fillWindowList(QMenu* menu) {
    for (QAction* a : menu->actions())
        if (a->property("windowList").toBool()) {
            menu->removeAction(a);
            a->deleteLater();
        }
    const auto frames = childFrames();
    if (frames.isEmpty())
        return;
    QAction* sep = menu->addSeparator();
    sep->setProperty("windowList", true);
    int n = 0;
    for (CChildFrame* frame : frames) {
        auto* a = menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(frame->windowTitle()));
        a->setProperty("windowList", true);
        a->setCheckable(true);
        a->setChecked(frame == activeChildFrame());
        connect(a, &QAction::triggered, this, [this, frame] {
            // A minimised window comes back to its size before it is activated.
            if (frame->isMinimized())
                frame->showNormal();
            m_mdi->setActiveSubWindow(frame);
        });
    }
}

void CMainFrame::switchMenus() {
    const bool docMenus = activeChildFrame() != nullptr;
    if (m_menusInitialised && docMenus == m_showingDocMenus)
        return;
    m_menusInitialised = true;
    m_showingDocMenus = docMenus;
    menuBar()->clear();
    for (QMenu* m : docMenus ? m_menus129 : m_menus128)
        menuBar()->addMenu(m);
}

QList<QMenu*> CMainFrame::currentMenus() const {
    return m_showingDocMenus ? m_menus129 : m_menus128;
}

void CMainFrame::createToolBar() {
    m_toolBar = addToolBar(QStringLiteral("工具栏"));
    m_toolBar->setObjectName(QStringLiteral("toolbar128"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setMovable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : std::initializer_list<int>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_PRINT,
                                             ID_APP_ABOUT, 0, ID_PORT_SETTINGS, ID_DATA_TRANSFER}) {
        if (id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* a = action(id);
        a->setIcon(commandIcon(id));
        m_toolBar->addAction(a);
    }
    connect(action(ID_VIEW_TOOLBAR), &QAction::toggled, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, action(ID_VIEW_TOOLBAR), &QAction::setChecked);
}

void CMainFrame::createStatusBar() {
    m_prompt = new QLabel(kIdlePrompt, this);
    statusBar()->addWidget(m_prompt, 1);
    m_lockIndicators = new tessera::LockIndicators(statusBar());
    connect(action(ID_VIEW_STATUS_BAR), &QAction::toggled, statusBar(), &QWidget::setVisible);
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (m_prompt)
            m_prompt->setText(tip.isEmpty() ? kIdlePrompt : tip);
        return true;
    }
    return QMainWindow::event(event);
}

CChildFrame* CMainFrame::activeChildFrame() const {
    return qobject_cast<CChildFrame*>(m_mdi->activeSubWindow());
}

CMarrowbyView* CMainFrame::activeView() const {
    auto* frame = activeChildFrame();
    return frame ? frame->view() : nullptr;
}

QList<CChildFrame*> CMainFrame::childFrames() const {
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* w : m_mdi->subWindowList())
        if (auto* f = qobject_cast<CChildFrame*>(w))
            frames << f;
    return frames;
}

CChildFrame* CMainFrame::addView(CMarrowbyView* view) {
    auto* frame = new CChildFrame(view);
    m_mdi->addSubWindow(frame);
    auto doc = view->sharedDocument();
    connect(frame, &CChildFrame::closeRequested, this, &CMainFrame::closeDocument);
    connect(frame, &QObject::destroyed, this, [this, weak = std::weak_ptr<CMarrowbyDoc>(doc)] {
        if (auto d = weak.lock())
            updateTitles(d);
        updateCommandUI();
    });
    updateTitles(doc);
    frame->show();
    m_mdi->setActiveSubWindow(frame);
    updateCommandUI();
    return frame;
}

void CMainFrame::updateTitles(const std::shared_ptr<CMarrowbyDoc>& doc) {
    QList<CChildFrame*> frames;
    for (CChildFrame* f : childFrames())
        if (f->document() == doc)
            frames << f;
    const QString title = QString::fromStdString(doc->title);
    int n = 0;
    for (CChildFrame* f : frames)
        tessera::setCaption(*f, frames.size() > 1 ? QStringLiteral("%1:%2").arg(title).arg(++n)
                                                  : title);
}

void CMainFrame::closeDocument(CChildFrame* frame) {
    const auto doc = frame->document();
    for (CChildFrame* f : childFrames())
        if (f->document() == doc && !f->close())
            return;
}

void CMainFrame::newWindow() {
    if (CMarrowbyView* view = activeView())
        addView(new CMarrowbyView(view->sharedDocument()));
}

void CMainFrame::arrangeIcons() {
    // Minimised windows line up along the bottom edge of the area.
    int x = 0;
    for (QMdiSubWindow* w : m_mdi->subWindowList()) {
        if (!w->isMinimized())
            continue;
        w->move(x, m_mdi->viewport()->height() - w->height());
        x += w->width();
    }
}

tessera::CommandChain CMainFrame::commandChain() const {
    tessera::CommandChain chain;
    if (CChildFrame* frame = activeChildFrame())
        chain = {frame->view(), &frame->docCommands(), frame};
    chain.push_back(const_cast<CMainFrame*>(this));
    chain.push_back(&m_app);
    return chain;
}

bool CMainFrame::routeCommand(int id) {
    return m_commands->route(id);
}

bool CMainFrame::isCommandEnabled(int id) const {
    return m_commands->isEnabled(id);
}

void CMainFrame::updateCommandUI() {
    m_commands->update();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    for (CChildFrame* frame : childFrames()) {
        if (!frame->close()) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

} // namespace marrowby
