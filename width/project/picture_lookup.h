#pragma once
// The picture folder beside a project file, and the lookups that turn a record name into the
// photograph it names.
//
// A record name is GBK; file names here are UTF-8. A name is looked up converted to UTF-8
// first and, when that finds nothing, as its raw GBK bytes (photographs copied from older
// systems often keep GBK names). A record's photograph is the file whose base name is the
// record's name exactly, with its extension in any letter case; only when there is none is a
// base name that differs in letter case taken, and never one that is exactly the name of
// another record of the project (after a merge, "A1" and "a1" each keep their own photograph).
// A name that cannot name a file inside the picture folder has no picture at all, and a
// symbolic link that leads out of the folder is no picture either.

#include "width/project/file_ops.h"

#include <string>
#include <string_view>
#include <vector>

namespace fallowmere {

// The names of a project's records (GBK, byte for byte), asked before a photograph is taken
// whose base name matches a record's name only without regard to letter case.
class RecordNames {
public:
    virtual ~RecordNames() = default;
    virtual bool containsName(std::string_view gbkName) const = 0;
};

// Whether a record name can name a picture: not empty, no "/" and no NUL, not "." or "..".
bool canNamePicture(std::string_view gbkName);

// The spellings a name is looked up under, in order: its UTF-8 form (when it is valid GBK),
// then its raw bytes when those differ. Empty when the name cannot name a picture.
std::vector<std::string> pictureNameSpellings(std::string_view gbkName);

struct PictureFolderChoice {
    std::string path; // without a trailing "/"
    bool exists = false;
};

// The picture folder of the project file at `projectPath`: its sibling folder "CrackData",
// else "CrannyData", each matched without regard to letter case and named as on disk. When
// neither exists, the path of a "CrannyData" folder beside the file, with `exists` false.
PictureFolderChoice choosePictureFolder(FileOps& fs, const std::string& projectPath);

struct PictureMatch {
    int kind = 0;     // 0: none; 1: found under the name itself or with ".jpg"; 2: with ".bmp"
    std::string path; // the folder joined to the file name as on disk
    explicit operator bool() const { return kind != 0; }
};

// The name followed by ".jpg", else by ".bmp". `project` holds the names of the project's
// records (null: no other record is known).
PictureMatch FindPicture(const FolderListing& folder, std::string_view gbkName,
                         const RecordNames* project = nullptr);

// The name itself when it holds a "." after its first byte, then the name followed by ".jpg",
// then by ".bmp".
PictureMatch LocatePicture(const FolderListing& folder, std::string_view gbkName,
                           const RecordNames* project = nullptr);

// The picture view's lookup: with a project open and a non-empty name, looks the name up as
// LocatePicture does and appends the path found to `paths`. Returns 1 when a path was
// appended, else 0.
int AddPicturePath(const FolderListing& folder, std::string_view projectFile,
                   std::string_view gbkName, std::vector<std::string>& paths,
                   const RecordNames* project = nullptr);

// Whether some photograph of `gbkName` exists other than the files in `ownPaths`: a file of
// the name itself (when it holds a "." after its first byte), or of the name followed by ".jpg"
// or ".bmp", in any spelling and letter case, except files whose base name is exactly the name
// of another record of `project`. Entries of any kind count.
bool otherPictureExists(const FolderListing& folder, std::string_view gbkName,
                        const std::vector<std::string>& ownPaths,
                        const RecordNames* project = nullptr);

// Whether `path` leads to the photograph of one of the records named `gbkNames` (as a pick
// finds it), compared by file identity, so that a link or a hard link to it counts.
bool isPhotographOf(const FolderListing& folder, const std::string& path,
                    const std::vector<std::string>& gbkNames, const RecordNames* project);

} // namespace fallowmere
