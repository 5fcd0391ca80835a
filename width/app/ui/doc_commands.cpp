#include "width/app/ui/doc_commands.h"

#include "common/qt/text.h"
#include "common/ui/prompt.h"
#include "common/ui/save_file.h"
#include "width/app/ui/main_frame.h"
#include "width/app/ui/mes_info_dlg.h"
#include "width/app/ui/quenby_app.h"
#include "width/list/ui/data_view.h"
#include "width/picture/ui/quenby_view.h"
#include "width/project/cm_file.h"
#include "width/project/command_ids.h"

namespace fallowmere {

using tessera::fromUtf8;
using tessera::prompt;

namespace {

tessera::FileDialogRequest projectDialog() {
    tessera::FileDialogRequest request;
    request.caption = QStringLiteral("打开");
    request.filter = QStringLiteral("裂缝文件(*.cm)");
    return request;
}

} // namespace

CQuenbyDocCommands::CQuenbyDocCommands(CQuenbyApp& app, CMainFrame& frame, CQuenbyDoc& doc,
                                       FileOps& fs)
    : app_(app), frame_(frame), doc_(doc), fs_(fs) {
    auto modeCheck = [this](ShowMode mode) {
        return [this, mode](int, tessera::CommandState& state) {
            state.checked = doc_.showMode() == mode;
        };
    };
    commandTable()
        .on(tessera::ID_FILE_OPEN, [this](int) { OnOpenProject(); })
        .on(tessera::ID_FILE_SAVE, [this](int) { OnSaveProject(); })
        .on(tessera::ID_FILE_SAVE_AS, [](int) {}) // accepted, and does nothing
        .on(ID_RECORD_ADD, [this](int) { OnAddProject(); })
        .on(
            ID_VIEW_SINGLE, [this](int) { OnSingleMode(); }, modeCheck(ShowMode::Single))
        .on(
            ID_VIEW_MULTI, [this](int) { OnMultiMode(); }, modeCheck(ShowMode::Multiple))
        .on(ID_SET_INFO, [this](int) { OnSetInfo(); });
}

void CQuenbyDocCommands::OnOpenProject() {
    // The records read last are emptied before the dialog: a cancelled Open leaves them
    // empty, while the list keeps its rows.
    doc_.clearRecords();
    const QString path = prompt().openFileName(&frame_, projectDialog());
    if (path.isEmpty())
        return;
    openProjectFile(path);
}

void CQuenbyDocCommands::reportLoad(const ProjectLoad& load) {
    if (load.noPictureFolder)
        prompt().message(&frame_, fromUtf8(kAppTitle), fromUtf8(kNoPictureFolderMessage),
                         tessera::PromptIcon::None);
    if (!load.error.empty())
        prompt().message(&frame_, fromUtf8(kAppTitle), fromUtf8(load.error),
                         tessera::PromptIcon::Exclamation);
}

bool CQuenbyDocCommands::askToKeepUnsavedRows() {
    if (!doc_.unsavedRows())
        return true;
    const size_t count = frame_.dataView()->rows().size();
    switch (prompt().question(&frame_, fromUtf8(kAppTitle),
                              QStringLiteral("列表中的 %1 条记录没有保存在任何项目文件中。\n"
                                             "是否保存？")
                                  .arg(count),
                              true)) {
    case tessera::PromptAnswer::Yes:
        return OnSaveProject();
    case tessera::PromptAnswer::No:
        return true;
    case tessera::PromptAnswer::Cancel:
        break;
    }
    return false;
}

bool CQuenbyDocCommands::openProjectFile(const QString& path) {
    if (!askToKeepUnsavedRows())
        return false;
    doc_.clearRecords();
    const ProjectLoad load = doc_.openProject(tessera::toPath(path), fs_);
    reportLoad(load);
    frame_.updateAllViews();
    if (!load.error.empty()) {
        app_.removeRecentFile(path);
        return false;
    }
    app_.addRecentFile(path);
    return true;
}

void CQuenbyDocCommands::OnAddProject() {
    if (doc_.projectDir().empty()) {
        OnOpenProject();
        return;
    }
    doc_.clearRecords();
    const QString path = prompt().openFileName(&frame_, projectDialog());
    if (path.isEmpty())
        return;
    const ProjectLoad load = doc_.addProject(tessera::toPath(path), fs_);
    reportLoad(load);
    frame_.updateAllViews();
}

bool CQuenbyDocCommands::OnSaveProject() {
    tessera::FileDialogRequest request;
    request.filter = QStringLiteral(" (*.cm)");
    request.defaultExtension = QStringLiteral("cm");
    request.confirmOverwrite = true;
    if (!doc_.projectDir().empty())
        request.directory = QString::fromStdString(doc_.projectDir());
    const RecordRows& rows = frame_.dataView()->rows();
    tessera::SaveHooks hooks;
    hooks.beforeWrite = [this](const QString& path) {
        if (!doc_.isProjectFile(tessera::toPath(path)) || !doc_.projectChangedOnDisk())
            return true;
        switch (tessera::askAboutChangedFile(&frame_, fromUtf8(kAppTitle), path)) {
        case tessera::ChangedFileAnswer::Reload:
            return frame_.dataView()->recordList().reloadProject();
        case tessera::ChangedFileAnswer::Overwrite:
            return true;
        case tessera::ChangedFileAnswer::Cancel:
            break;
        }
        return false;
    };
    hooks.afterWrite = [this, &rows](const QString& path, const tessera::FileStamp& written) {
        const std::string file = tessera::toPath(path);
        if (doc_.projectFile().empty()) {
            if (!rows.empty()) {
                doc_.adoptProjectFile(file, written, fs_);
                app_.addRecentFile(path);
            }
        } else if (doc_.isProjectFile(file)) {
            doc_.noteProjectOnDisk(written);
        }
        doc_.setUnsavedRows(false);
    };
    return !tessera::saveThroughDialog(
                &frame_, request,
                [&rows] {
                    std::vector<const CRecordStru*> records(rows.size());
                    for (size_t i = 0; i < rows.size(); ++i)
                        records[i] = &rows.record(i);
                    return encodeProjectText(records);
                },
                fromUtf8(kAppTitle), QStringLiteral("无法保存文件“%1”。"), hooks)
                .isEmpty();
}

void CQuenbyDocCommands::OnSingleMode() {
    doc_.setSingleMode();
    // No record is picked in the new mode yet: the pane shows nothing until the next pick.
    frame_.pictureView()->OnUpdate();
}

void CQuenbyDocCommands::OnMultiMode() {
    doc_.setMultiMode();
    frame_.pictureView()->OnResetPictures();
    frame_.dataView()->OnClearChecks();
}

void CQuenbyDocCommands::OnSetInfo() {
    CMesInfoDlg dialog(&frame_);
    dialog.setInfo(app_.inspectionInfo());
    if (dialog.exec() != QDialog::Accepted)
        return;
    app_.storeInspectionInfo(dialog.info());
}

} // namespace fallowmere
