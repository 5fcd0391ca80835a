#include "width/project/quenby_doc.h"

#include "width/project/cm_file.h"
#include "width/project/picture_lookup.h"

#include <climits>
#include <unistd.h>

namespace fallowmere {

std::string absolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/')
        return path;
    std::string cwd(PATH_MAX, '\0');
    if (!::getcwd(cwd.data(), cwd.size()))
        return path;
    cwd.resize(cwd.find('\0'));
    return joinPath(cwd, path);
}

ProjectLoad CQuenbyDoc::openProject(const std::string& chosen, FileOps& fs) {
    ProjectLoad load;
    records_.clear();
    const std::string path = absolutePath(chosen);
    projectFile_ = path;
    auto slash = path.rfind('/');
    projectDir_ = slash == 0 ? "/" : path.substr(0, slash);
    PictureFolderChoice folder = choosePictureFolder(fs, path);
    dataDir_ = folder.path + "/";
    mergeMode_ = false;
    unsavedRows_ = false;
    shownNames_.clear();
    // The stamp before the read: a change made while reading counts as a change.
    const tessera::FileStamp stamp = tessera::fileStamp(path);
    if (!ReadProjectFile(path, records_, load.error)) {
        projectFile_.clear();
        projectDir_.clear();
        dataDir_.clear();
        projectOnDisk_.forget();
        return load;
    }
    projectOnDisk_.remember(path, stamp);
    load.noPictureFolder = !folder.exists;
    return load;
}

ProjectLoad CQuenbyDoc::addProject(const std::string& chosen, FileOps& fs) {
    if (projectDir_.empty()) {
        ProjectLoad load = openProject(chosen, fs);
        load.openedInstead = true;
        return load;
    }
    ProjectLoad load;
    records_.clear();
    const std::string path = absolutePath(chosen);
    PictureFolderChoice folder = choosePictureFolder(fs, path);
    mergeDataDir_ = folder.path;
    mergeMode_ = true;
    if (ReadProjectFile(path, records_, load.error))
        load.noPictureFolder = !folder.exists;
    return load;
}

void CQuenbyDoc::clearProjectFile() {
    projectFile_.clear();
    projectOnDisk_.forget();
}

void CQuenbyDoc::adoptProjectFile(const std::string& chosen, const tessera::FileStamp& written,
                                  FileOps& fs) {
    const std::string path = absolutePath(chosen);
    projectFile_ = path;
    const auto slash = path.rfind('/');
    projectDir_ = slash == 0 ? "/" : path.substr(0, slash);
    dataDir_ = choosePictureFolder(fs, path).path + "/";
    projectOnDisk_.remember(path, written);
    unsavedRows_ = false;
}

void CQuenbyDoc::noteProjectOnDisk(const tessera::FileStamp& stamp) {
    if (!projectFile_.empty())
        projectOnDisk_.remember(projectFile_, stamp);
}

void CQuenbyDoc::setSingleMode() {
    showMode_ = ShowMode::Single;
    shownNames_.clear();
}

void CQuenbyDoc::setMultiMode() {
    showMode_ = ShowMode::Multiple;
    shownNames_.clear();
}

bool CQuenbyDoc::addShownName(std::string name) {
    if (shownCount() >= kMaxShownPictures)
        return false;
    shownNames_.push_back(std::move(name));
    return true;
}

void CQuenbyDoc::setShownNames(std::vector<std::string> names) {
    if (names.size() > static_cast<size_t>(kMaxShownPictures))
        names.resize(kMaxShownPictures);
    shownNames_ = std::move(names);
}

void CQuenbyDoc::renameShownName(const std::string& from, const std::string& to) {
    for (std::string& name : shownNames_)
        if (name == from)
            name = to;
}

void CQuenbyDoc::lowerShownCount() {
    if (!shownNames_.empty())
        shownNames_.pop_back();
}

void CQuenbyDoc::setPrintList(std::vector<CRecordStru> list) {
    printList_ = std::move(list);
    printReady_ = !printList_.empty();
}

} // namespace fallowmere
