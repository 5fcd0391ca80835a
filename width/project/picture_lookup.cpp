#include "width/project/picture_lookup.h"

#include "common/file_stamp.h"
#include "common/gbk.h"

#include <unordered_set>

namespace fallowmere {
namespace {

// Whether the entry `name` of the listed folder is a picture: a regular file, or a symbolic
// link that stays inside the folder.
bool isPictureEntry(const FolderListing& folder, const FolderEntry& entry) {
    if (entry.type != EntryType::Regular)
        return false;
    if (!entry.isLink)
        return true;
    FileOps& fs = folder.fileOps();
    auto target = fs.resolvedPath(joinPath(folder.folder(), entry.name));
    auto root = fs.resolvedPath(folder.folder());
    return target && root && isInside(*target, *root) && *target != *root;
}

bool hasExtension(std::string_view name) {
    return name.find('.', 1) != std::string_view::npos;
}

// One file name a record's photograph may have: `baseLength` leading bytes for the name, the
// rest an extension (none for a name that carries its own).
struct Wanted {
    std::string fileName;
    size_t baseLength;
    int kind;
};

// Whether `base`, a file's base name as on disk, is exactly the name of a record of the
// project other than `ownName`.
bool namesAnotherRecord(std::string_view base, std::string_view ownName,
                        const RecordNames* project) {
    if (!project)
        return false;
    if (base != ownName && project->containsName(base))
        return true;
    const auto gbk = tessera::utf8ToGbk(base);
    return gbk && *gbk != ownName && project->containsName(*gbk);
}

// Whether the file `fileName` is another record's photograph by its exact name: its whole name
// (a record named with its extension) or its name without ".jpg" or ".bmp" is that record's.
bool belongsToAnotherRecord(std::string_view fileName, std::string_view ownName,
                            const RecordNames* project) {
    if (namesAnotherRecord(fileName, ownName, project))
        return true;
    if (fileName.size() < 5)
        return false;
    const std::string ext = foldCase(fileName.substr(fileName.size() - 4));
    return (ext == ".jpg" || ext == ".bmp") &&
           namesAnotherRecord(fileName.substr(0, fileName.size() - 4), ownName, project);
}

// The entry for `wanted`: with `exact`, one whose base name is spelled exactly as wanted (the
// extension in any case; the exact spelling first, then the first in byte order); otherwise one
// whose base name differs in letter case and names no other record.
const FolderEntry* findEntry(const FolderListing& folder, const Wanted& wanted, bool exact,
                             std::string_view ownName, const RecordNames* project) {
    const FolderEntry* best = nullptr;
    for (const FolderEntry* e : folder.matches(wanted.fileName)) {
        const std::string_view base = std::string_view(e->name).substr(0, wanted.baseLength);
        const bool exactBase =
            base == std::string_view(wanted.fileName).substr(0, wanted.baseLength);
        if (exactBase != exact || !isPictureEntry(folder, *e))
            continue;
        if (!exact && belongsToAnotherRecord(e->name, ownName, project))
            continue;
        if (e->name == wanted.fileName)
            return e;
        if (!best || e->name < best->name)
            best = e;
    }
    return best;
}

PictureMatch lookup(const FolderListing& folder, std::string_view gbkName, bool nameItself,
                    const RecordNames* project) {
    if (!folder.listed())
        return {};
    std::vector<Wanted> wanted;
    for (const std::string& spelling : pictureNameSpellings(gbkName)) {
        if (nameItself && hasExtension(spelling))
            wanted.push_back({spelling, spelling.size(), 1});
        wanted.push_back({spelling + ".jpg", spelling.size(), 1});
        wanted.push_back({spelling + ".bmp", spelling.size(), 2});
    }
    for (bool exact : {true, false})
        for (const Wanted& w : wanted)
            if (const FolderEntry* e = findEntry(folder, w, exact, gbkName, project))
                return {w.kind, joinPath(folder.folder(), e->name)};
    return {};
}

} // namespace

bool canNamePicture(std::string_view gbkName) {
    return !gbkName.empty() && gbkName != "." && gbkName != ".." &&
           gbkName.find('/') == std::string_view::npos &&
           gbkName.find('\0') == std::string_view::npos;
}

std::vector<std::string> pictureNameSpellings(std::string_view gbkName) {
    // "/" and NUL are never part of a GBK double-byte character, so the raw bytes and the
    // converted form are equally safe or unsafe.
    std::vector<std::string> spellings;
    // A name longer than a file name can be (its UTF-8 form is no shorter) names no file;
    // spelling out a record name of megabytes would only cost copies of it.
    constexpr size_t kLongestFileName = 255;
    if (!canNamePicture(gbkName) || gbkName.size() > kLongestFileName)
        return spellings;
    if (auto utf8 = tessera::gbkToUtf8Strict(gbkName))
        spellings.push_back(std::move(*utf8));
    if (spellings.empty() || spellings.front() != gbkName)
        spellings.emplace_back(gbkName);
    return spellings;
}

PictureFolderChoice choosePictureFolder(FileOps& fs, const std::string& projectPath) {
    auto slash = projectPath.rfind('/');
    std::string parent = slash == std::string::npos ? "." : projectPath.substr(0, slash + 1);
    std::string prefix = slash == std::string::npos ? "" : projectPath.substr(0, slash + 1);
    FolderListing listing(fs, parent);
    for (const char* name : {"CrackData", "CrannyData"}) {
        if (const FolderEntry* e = listing.find(name, EntryType::Directory))
            return {prefix + e->name, true};
    }
    return {prefix + "CrannyData", false};
}

PictureMatch FindPicture(const FolderListing& folder, std::string_view gbkName,
                         const RecordNames* project) {
    return lookup(folder, gbkName, false, project);
}

PictureMatch LocatePicture(const FolderListing& folder, std::string_view gbkName,
                           const RecordNames* project) {
    return lookup(folder, gbkName, true, project);
}

int AddPicturePath(const FolderListing& folder, std::string_view projectFile,
                   std::string_view gbkName, std::vector<std::string>& paths,
                   const RecordNames* project) {
    if (projectFile.empty() || gbkName.empty())
        return 0;
    PictureMatch match = LocatePicture(folder, gbkName, project);
    if (!match)
        return 0;
    paths.push_back(std::move(match.path));
    return 1;
}

bool otherPictureExists(const FolderListing& folder, std::string_view gbkName,
                        const std::vector<std::string>& ownPaths, const RecordNames* project) {
    if (!folder.listed())
        return false;
    FileOps& fs = folder.fileOps();
    auto isOwn = [&](const std::string& path) {
        for (const std::string& own : ownPaths)
            if (!own.empty() && (path == own || fs.sameFile(path, own)))
                return true;
        return false;
    };
    for (const std::string& spelling : pictureNameSpellings(gbkName)) {
        std::vector<std::string> names = {spelling + ".jpg", spelling + ".bmp"};
        if (hasExtension(spelling))
            names.insert(names.begin(), spelling);
        for (const std::string& name : names)
            for (const FolderEntry* e : folder.matches(name)) {
                const std::string_view base = std::string_view(e->name).substr(0, spelling.size());
                if (base != spelling && belongsToAnotherRecord(e->name, gbkName, project))
                    continue;
                if (!isOwn(joinPath(folder.folder(), e->name)))
                    return true;
            }
    }
    return false;
}

bool isPhotographOf(const FolderListing& folder, const std::string& path,
                    const std::vector<std::string>& gbkNames, const RecordNames* project) {
    const tessera::FileStamp target = tessera::fileStamp(path);
    if (!target.exists || !folder.listed())
        return false;
    std::unordered_set<std::string> same; // paths in the folder of the same file
    for (const std::string& name : gbkNames)
        for (const std::string& spelling : pictureNameSpellings(name))
            for (const char* ext : {"", ".jpg", ".bmp"})
                for (const FolderEntry* e : folder.matches(spelling + ext)) {
                    const std::string candidate = joinPath(folder.folder(), e->name);
                    if (tessera::fileStamp(candidate).sameFileAs(target))
                        same.insert(candidate);
                }
    if (same.empty())
        return false;
    for (const std::string& name : gbkNames)
        if (same.count(LocatePicture(folder, name, project).path))
            return true;
    return false;
}

} // namespace fallowmere
