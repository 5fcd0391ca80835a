#include "width/app/ui/main_frame.h"

#include "common/qt/caption.h"
#include "common/qt/recent_files_store.h"
#include "common/ui/lock_indicators.h"
#include "common/ui/recent_files_menu.h"
#include "width/app/ui/doc_commands.h"
#include "width/app/ui/icons.h"
#include "width/app/ui/quenby_app.h"
#include "width/list/ui/data_view.h"
#include "width/picture/ui/quenby_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QWindowStateChangeEvent>

namespace fallowmere {

using namespace tessera;

namespace {

const QString kIdlePrompt = QStringLiteral("就绪");
// Whether the picture pane fits its drawing to the pane (kept between runs).
const QString kFitZoomKey = QStringLiteral("PictureView/FitToPane");

// The splitter bar: it swallows presses and moves, so it cannot be dragged.
class FixedHandle : public QSplitterHandle {
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
};

// A .cm file among dropped URLs.
QString droppedProject(const QMimeData* mime) {
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QStringLiteral(".cm"), Qt::CaseInsensitive))
            return url.toLocalFile();
    return {};
}

bool isInside(const QWidget* widget, const QWidget* pane) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (w == pane)
            return true;
    return false;
}

} // namespace

MySp::MySp(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {
    setChildrenCollapsible(false);
    setOpaqueResize(false);
}

QSplitterHandle* MySp::createHandle() {
    auto* handle = new FixedHandle(orientation(), this);
    handle->setCursor(Qt::ArrowCursor);
    return handle;
}

void MySp::setFirstPaneWidth(int width) {
    firstWidth_ = width;
    applyWidths();
}

void MySp::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    applyWidths();
}

void MySp::applyWidths() {
    if (count() < 2)
        return;
    const int rest = std::max(0, width() - firstWidth_ - handleWidth());
    setSizes({firstWidth_, rest});
}

std::function<QSize()>& CMainFrame::screenSize() {
    static std::function<QSize()> source = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->size() : QSize(1024, 768);
    };
    return source;
}

CMainFrame::CMainFrame(CQuenbyApp& app, CQuenbyDoc& doc, FileOps& fs)
    : m_app(app), m_doc(doc),
      m_commands(new CommandActions(this, [this] { return commandChain(); })) {
    setCaption(*this, QStringLiteral("Fallowmere"));
    setWindowIcon(appIcon());
    setAcceptDrops(true);
    m_docCommands = std::make_unique<CQuenbyDocCommands>(app, *this, doc, fs);
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createPanes(fs);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (isInside(now, m_pDataView))
            setActivePane(m_pDataView);
        else if (isInside(now, m_pPicView))
            setActivePane(m_pPicView);
    });
    updateCommandUI();
}

CMainFrame::~CMainFrame() {
    disconnect(qApp, nullptr, this, nullptr);
}

void CMainFrame::createActions() {
    struct Command {
        int id;
        const char* text;
        const char* prompt;
        QList<QKeySequence> keys;
    };
    const Command commands[] = {
        {ID_FILE_OPEN,
         "打开(&O)...\tCtrl+O",
         "打开一个现有文档\n打开",
         {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {ID_FILE_SAVE,
         "保存(&S)\tCtrl+S",
         "保存活动文档\n保存",
         {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {ID_FILE_SAVE_AS, "另存为(&A)...", "用新名称保存活动文档\n另存为", {}},
        // Every print collects the checked rows first (the picture pane does): the menu's
        // print, Ctrl+P and the toolbar's print (57607) alike.
        {ID_REPORT_PRINT, "打印(&P)...\tCtrl+P", "打印选中记录的检测报告\n打印", {}},
        {ID_REPORT_PREVIEW, "打印预览(&V)", "显示选中记录的检测报告\n打印预览", {}},
        {ID_EXPORT_PDF, "导出PDF(&E)...", "将选中记录的检测报告保存为 PDF 文件\n导出PDF", {}},
        {ID_FILE_PRINT, "打印", "打印活动文档\n打印", {QKeySequence(Qt::CTRL | Qt::Key_P)}},
        {ID_FILE_MRU_FILE1, "最近文件", "打开该文档", {}},
        {ID_APP_EXIT, "退出(&X)", "退出应用程序；提示保存文档\n退出", {}},
        {ID_VIEW_TOOLBAR, "工具栏(&T)", "显示或隐藏工具栏\n切换工具栏", {}},
        {ID_VIEW_STATUS_BAR, "状态栏(&S)", "显示或隐藏状态栏\n切换状态栏", {}},
        {ID_SET_INFO, "设置(&S)", "设置检测相关信息\n设置", {}},
        {ID_APP_ABOUT, "关于(&A)...", "显示程序信息，版本号和版权\n关于", {}},
        {ID_RECORD_ADD, "添加", "添加新文档记录\n添加", {}},
        {ID_VIEW_SINGLE, "单条模式", "查看单条记录模式\n单条模式", {}},
        {ID_VIEW_MULTI, "多条模式", "查看多条记录模式\n多条模式", {}},
        {ID_VIEW_FIT, "适合窗口(&W)", "按图片窗格的大小显示图片\n适合窗口", {}},
        {ID_RECORD_DELETE, "删除", "删除一条记录\n删除", {QKeySequence(Qt::Key_Delete)}},
        {ID_FILE_NEW, "新建", "建立新文档\n新建", {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {ID_EDIT_UNDO,
         "撤消",
         "撤消最后一步操作\n撤消",
         {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
        {ID_EDIT_CUT,
         "剪切",
         "剪切所选内容，将其放入剪贴板\n剪切",
         {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {ID_EDIT_COPY,
         "复制",
         "复制所选内容，将其放入剪贴板\n复制",
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {ID_EDIT_PASTE,
         "粘贴",
         "插入剪贴板内容\n粘贴",
         {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
        {ID_NEXT_PANE, "下一窗格", "切换到下一个窗格\n下一窗格", {QKeySequence(Qt::Key_F6)}},
        {ID_PREV_PANE,
         "前一窗格",
         "切换回前一个窗格\n前一窗格",
         {QKeySequence(Qt::SHIFT | Qt::Key_F6)}},
    };
    for (const Command& c : commands) {
        QAction* a =
            m_commands->add(c.id, QString::fromUtf8(c.text), QString::fromUtf8(c.prompt), c.keys);
        a->setIcon(commandIcon(c.id));
        // Keys work wherever the focus is in the window, also for actions on no menu.
        addAction(a);
    }
    for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
        action(id)->setCheckable(true);
        action(id)->setChecked(true);
    }
    for (int id : {ID_VIEW_SINGLE, ID_VIEW_MULTI, ID_VIEW_FIT})
        action(id)->setCheckable(true);

    commandTable()
        .on(ID_REPORT_PRINT, [this](int) { collectAndSend(ID_FILE_PRINT); })
        .on(ID_REPORT_PREVIEW, [this](int) { collectAndSend(ID_FILE_PRINT_PREVIEW); })
        .on(ID_EXPORT_PDF, [this](int) { collectAndSend(ID_EXPORT_PDF); })
        // Reached only when no pane takes the toolbar's print: as the menu's print.
        .on(ID_FILE_PRINT, [this](int) { collectAndSend(ID_FILE_PRINT); })
        .on(ID_RECORD_DELETE,
            [this](int id) {
                // Delete works from either pane: the record list deletes.
                if (m_pDataView)
                    m_pDataView->onCommand(id);
            })
        .on(
            ID_VIEW_FIT,
            [this](int) {
                const bool fit = m_pPicView->zoom() != PictureZoom::FitToPane;
                m_pPicView->setZoom(fit ? PictureZoom::FitToPane : PictureZoom::TwiceSize);
                storeZoom();
            },
            [this](int, CommandState& state) {
                state.checked = m_pPicView && m_pPicView->zoom() == PictureZoom::FitToPane;
            })
        .on(ID_VIEW_TOOLBAR, [](int) {})
        .on(ID_VIEW_STATUS_BAR, [](int) {})
        .on(ID_NEXT_PANE, [this](int) { switchPane(); })
        .on(ID_PREV_PANE, [this](int) { switchPane(); });
    connect(m_commands, &CommandActions::updated, this, [this] {
        // The placeholder of an empty recent-file list stands greyed.
        action(ID_FILE_MRU_FILE1)->setEnabled(false);
    });
}

void CMainFrame::createMenus() {
    auto menu = [this](const QString& title, std::initializer_list<int> ids) {
        return m_commands->menu(title, ids, this);
    };
    m_fileMenu = menu(QStringLiteral("文件(&F)"),
                      {ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, 0, ID_REPORT_PRINT,
                       ID_REPORT_PREVIEW, ID_EXPORT_PDF, 0, ID_FILE_MRU_FILE1, 0, ID_APP_EXIT});
    connect(m_fileMenu, &QMenu::aboutToShow, this, [this] { fillRecentFiles(); });
    fillRecentFiles();
    QMenu* view =
        menu(QStringLiteral("查看(&V)"), {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, 0, ID_VIEW_FIT});
    QMenu* help = menu(QStringLiteral("帮助(&H)"), {ID_APP_ABOUT});
    m_menuItems = {menuBar()->addMenu(m_fileMenu), menuBar()->addMenu(view)};
    // The settings item stands in the menu bar itself, without a popup.
    menuBar()->addAction(action(ID_SET_INFO));
    m_menuItems << action(ID_SET_INFO) << menuBar()->addMenu(help);
}

QList<QAction*> CMainFrame::menuItems() const {
    return m_menuItems;
}

void CMainFrame::fillRecentFiles() {
    tessera::fillRecentFileMenu(*m_fileMenu, *action(ID_FILE_MRU_FILE1), m_app.recentFiles(),
                                [this](int id) { routeCommand(id); });
}

void CMainFrame::createToolBar() {
    m_toolBar = addToolBar(QStringLiteral("工具栏"));
    m_toolBar->setObjectName(QStringLiteral("toolbar128"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : std::initializer_list<int>{ID_FILE_OPEN, ID_FILE_SAVE, ID_RECORD_ADD,
                                             ID_FILE_PRINT, 0, ID_VIEW_SINGLE, ID_VIEW_MULTI,
                                             ID_VIEW_FIT, ID_RECORD_DELETE, ID_APP_ABOUT}) {
        if (id == 0)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(action(id));
    }
    connect(action(ID_VIEW_TOOLBAR), &QAction::toggled, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, action(ID_VIEW_TOOLBAR), &QAction::setChecked);
}

void CMainFrame::createStatusBar() {
    m_prompt = new QLabel(kIdlePrompt, this);
    statusBar()->addWidget(m_prompt, 1);
    new tessera::LockIndicators(statusBar());
    connect(action(ID_VIEW_STATUS_BAR), &QAction::toggled, statusBar(), &QWidget::setVisible);
}

void CMainFrame::createPanes(FileOps& fs) {
    const QSize screen = screenSize()();
    m_splitter = new MySp(this);
    m_pDataView = new CDataView(m_doc, fs, m_splitter);
    m_pPicView = new CQuenbyView(m_doc, fs, m_splitter);
    m_splitter->addWidget(m_pDataView);
    m_splitter->addWidget(m_pPicView);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setFirstPaneWidth(2 * screen.width() / 5);
    setCentralWidget(m_splitter);
    m_pDataView->setPictureView(m_pPicView, [this] { m_pPicView->OnUpdate(); });
    m_pPicView->setSettingsSource([this] { return m_app.inspectionInfo(); });
    m_pPicView->setPrintCollector([this] { m_pDataView->OnCollectPrint(); });
    // The zoom of the last run; Ctrl+wheel in the pane changes it like the menu item.
    m_pPicView->setZoom(QSettings(QString::fromLatin1(kSettingsOrganization),
                                  QString::fromLatin1(kSettingsApplication))
                                .value(kFitZoomKey, false)
                                .toBool()
                            ? PictureZoom::FitToPane
                            : PictureZoom::TwiceSize);
    connect(m_pPicView, &CQuenbyView::zoomChanged, this, [this] {
        storeZoom();
        updateCommandUI();
    });
    m_pDataView->RestoreHeaderLayout();
    m_pPicView->OnInitialUpdate();
    m_activePane = m_pDataView;
}

void CMainFrame::storeZoom() {
    QSettings(QString::fromLatin1(kSettingsOrganization), QString::fromLatin1(kSettingsApplication))
        .setValue(kFitZoomKey, m_pPicView->zoom() == PictureZoom::FitToPane);
}

void CMainFrame::setActivePane(QWidget* pane) {
    if (m_activePane == pane)
        return;
    m_activePane = pane;
    updateCommandUI();
}

QWidget* CMainFrame::activePane() const {
    return m_activePane;
}

CommandTarget* CMainFrame::activeView() const {
    if (m_activePane == m_pPicView)
        return m_pPicView;
    return m_pDataView;
}

void CMainFrame::switchPane() {
    QWidget* other = m_activePane == m_pPicView ? static_cast<QWidget*>(m_pDataView)
                                                : static_cast<QWidget*>(m_pPicView);
    setActivePane(other);
    other->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::collectAndSend(int command) {
    // The picture pane collects the checked rows before it prints.
    m_pPicView->onCommand(command);
}

CommandChain CMainFrame::commandChain() const {
    return {activeView(), m_docCommands.get(), const_cast<CMainFrame*>(this), &m_app};
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

void CMainFrame::updateAllViews() {
    m_pDataView->OnUpdate(0);
    m_pPicView->OnUpdate();
    updateCommandUI();
}

void CMainFrame::resetPanes() {
    m_doc = CQuenbyDoc();
    m_doc.setRecordNames(&m_pDataView->rows());
    m_pDataView->rows().clear();
    m_pPicView->clearPictures();
    updateCommandUI();
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

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    const auto now = windowState();
    // A request to restore the maximized window to its normal size is ignored.
    if ((old & Qt::WindowMaximized) &&
        !(now & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        QTimer::singleShot(0, this,
                           [this] { setWindowState(windowState() | Qt::WindowMaximized); });
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_docCommands->askToKeepUnsavedRows()) {
        event->ignore();
        return;
    }
    // The column widths persist for the next start.
    m_pDataView->saveHeaderLayout();
    QMainWindow::closeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedProject(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QString path = droppedProject(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // After the drop has finished: opening may show message boxes. The window comes to the
    // front first, over the file manager the project was dragged from, as the project and any
    // message about it are what the user looks at next.
    QTimer::singleShot(0, this, [this, path] {
        raise();
        activateWindow();
        m_docCommands->openProjectFile(path);
    });
}

} // namespace fallowmere
