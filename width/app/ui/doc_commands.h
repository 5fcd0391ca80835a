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
    // Save: writes the rows to a .cm file the user names. True when they were written. A file
    // that is the open project's and changed on disk since the program read or wrote it is
    // not overwritten without asking. With no project file open (everything was deleted), the
    // file written becomes the open project.
    bool OnSaveProject();
    void OnSingleMode();
    void OnMultiMode();
    void OnSetInfo();

    // Opens the project at `path` as Open does after its dialog (recent files, the command
    // line, a dropped file). False when the file could not be read.
    bool openProjectFile(const QString& path);

    // Before rows that no file holds are lost (exit, Open, New): asks whether to save them.
    // False when the user cancelled (or the save did not happen): the command stops.
    bool askToKeepUnsavedRows();

private:
    // The messages an Open or Add is due: no picture folder, a file that could not be read.
    void reportLoad(const ProjectLoad& load);

    CQuenbyApp& app_;
    CMainFrame& frame_;
    CQuenbyDoc& doc_;
    FileOps& fs_;
};

} // namespace fallowmere
