#include "width/project/picture_lookup.h"

#include "common/gbk.h"

namespace fallowmere {
namespace {

// The regular file `fileName` in the listed folder, named as on disk, provided that it stays
// inside the folder when symbolic links are followed.
std::string findPictureFile(const FolderListing& folder, const std::string& fileName) {
    const FolderEntry* entry = folder.find(fileName, EntryType::Regular);
    if (!entry)
        return {};
    std::string path = joinPath(folder.folder(), entry->name);
    if (entry->isLink) {
        FileOps& fs = folder.fileOps();
        auto target = fs.resolvedPath(path);
        auto root = fs.resolvedPath(folder.folder());
        if (!target || !root || !isInside(*target, *root) || *target == *root)
            return {};
    }
    return path;
}

bool hasExtension(std::string_view name) {
    return name.find('.', 1) != std::string_view::npos;
}

PictureMatch lookup(const FolderListing& folder, std::string_view gbkName, bool nameItself) {
    if (!folder.listed())
        return {};
    for (const std::string& spelling : pictureNameSpellings(gbkName)) {
        if (nameItself && hasExtension(spelling)) {
            if (auto path = findPictureFile(folder, spelling); !path.empty())
                return {1, path};
        }
        if (auto path = findPictureFile(folder, spelling + ".jpg"); !path.empty())
            return {1, path};
        if (auto path = findPictureFile(folder, spelling + ".bmp"); !path.empty())
            return {2, path};
    }
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

PictureMatch FindPicture(const FolderListing& folder, std::string_view gbkName) {
    return lookup(folder, gbkName, false);
}

PictureMatch LocatePicture(const FolderListing& folder, std::string_view gbkName) {
    return lookup(folder, gbkName, true);
}

int AddPicturePath(const FolderListing& folder, std::string_view projectFile,
                   std::string_view gbkName, std::vector<std::string>& paths) {
    if (projectFile.empty() || gbkName.empty())
        return 0;
    PictureMatch match = LocatePicture(folder, gbkName);
    if (!match)
        return 0;
    paths.push_back(std::move(match.path));
    return 1;
}

bool otherPictureExists(const FolderListing& folder, std::string_view gbkName,
                        const std::vector<std::string>& ownPaths) {
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
            for (const FolderEntry* e : folder.matches(name))
                if (!isOwn(joinPath(folder.folder(), e->name)))
                    return true;
    }
    return false;
}

} // namespace fallowmere
