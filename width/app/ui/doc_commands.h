#pragma once
// The document's commands: Open, Add (the merge), Save, Save As, the two modes and the
// inspection-information dialog. The document itself is model code (CQuenbyDoc); this target
// shows its file dialogs and messages and refreshes the panes.

#include "common/command.h"

#include <QString>

namespace fallowmere {

class CMainFrame;
class CQuenbyApp;
class CQuenbyDoc;
class FileOps;
struct ProjectLoad;

class CQuenbyDocCommands : public tessera::CommandTarget {
public:
    CQuenbyDocCommands(CQuenbyApp& app, CMainFrame& frame, CQuenbyDoc& doc, FileOps& fs);

    void OnOpenProject();
    void OnAddProject();
    void OnSaveProject();
    void OnSingleMode();
    void OnMultiMode();
    void OnSetInfo();

    // Opens the project at `path` as Open does after its dialog (recent files, the command
    // line, a dropped file). False when the file could not be read.
    bool openProjectFile(const QString& path);

private:
    // The messages an Open or Add is due: no picture folder, a file that could not be read.
    void reportLoad(const ProjectLoad& load);

    CQuenbyApp& app_;
    CMainFrame& frame_;
    CQuenbyDoc& doc_;
    FileOps& fs_;
};

} // namespace fallowmere
