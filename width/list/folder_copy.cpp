#include "width/list/folder_copy.h"

#include "common/text.h"

#include <algorithm>
#include <map>
#include <memory>

namespace fallowmere {
namespace {

struct Item {
    std::string relative; // path below the copied folder, "/"-separated
    bool folder;
};

std::string baseName(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string parentOf(const std::string& relative) {
    auto slash = relative.rfind('/');
    return slash == std::string::npos ? std::string() : relative.substr(0, slash);
}

class FolderCopy {
public:
    FolderCopy(FileOps& fs, ListPrompts& prompts) : fs_(fs), prompts_(prompts) {}

    CopyResult run(std::string from, const std::string& to) {
        while (from.size() > 1 && from.back() == '/')
            from.pop_back();
        if (fs_.typeOf(from) != EntryType::Directory)
            return fail("找不到要复制的文件夹“" + tessera::displayPath(from) + "”");
        if (fs_.typeOf(to) != EntryType::Directory)
            return fail("找不到目标文件夹“" + tessera::displayPath(to) + "”");
        fromReal_ = fs_.resolvedPath(from).value_or(from);
        const std::string toReal = fs_.resolvedPath(to).value_or(to);

        const std::string name = baseName(from);
        FolderListing toListing(fs_, to);
        const FolderEntry* existing = toListing.find(name, EntryType::None);
        destRoot_ = joinPath(to, existing ? existing->name : name);
        if (existing) {
            if (existing->type != EntryType::Directory)
                return fail("“" + tessera::displayPath(destRoot_) + "”不是文件夹");
            auto real = fs_.resolvedPath(destRoot_);
            if (!real || !isInside(*real, toReal))
                return fail("“" + tessera::displayPath(destRoot_) + "”是指向目标文件夹以外的链接");
            destReal_ = *real;
            if (destReal_ == fromReal_)
                return result_; // a folder onto itself: nothing to do
        }

        std::vector<Item> items;
        walk(from, "", items);

        if (!existing) {
            std::string reason;
            if (!fs_.makeFolder(destRoot_, reason))
                return fail("无法创建文件夹“" + tessera::displayPath(destRoot_) + "”：" + reason);
            destReal_ = fs_.resolvedPath(destRoot_).value_or(destRoot_);
        }
        destFolders_[""] = destRoot_;

        const size_t total = static_cast<size_t>(
            std::count_if(items.begin(), items.end(), [](const Item& i) { return !i.folder; }));
        size_t done = 0;
        for (const Item& item : items) {
            if (item.folder) {
                makeDestFolder(item.relative);
                continue;
            }
            if (!copyFile(from, item.relative))
                return cancelled();
            if (!prompts_.copyProgress(++done, total))
                return cancelled();
        }
        if (!result_.problems.empty())
            result_.outcome = CopyOutcome::Failed;
        return result_;
    }

private:
    FileOps& fs_;
    ListPrompts& prompts_;
    CopyResult result_;
    std::string fromReal_;
    std::string destRoot_;
    std::string destReal_;
    bool replaceAll_ = false;
    // Destination folder of each copied folder (by relative path); absent when it failed.
    std::map<std::string, std::string> destFolders_;
    std::map<std::string, std::unique_ptr<FolderListing>> listings_;

    CopyResult fail(std::string problem) {
        result_.problems.push_back(std::move(problem));
        result_.outcome = CopyOutcome::Failed;
        return result_;
    }

    CopyResult cancelled() {
        result_.outcome = CopyOutcome::Cancelled;
        return result_;
    }

    // Collects the folders and files below `folder`, each folder before what it holds.
    void walk(const std::string& folder, const std::string& relative, std::vector<Item>& items) {
        auto entries = fs_.listFolder(folder);
        if (!entries) {
            result_.problems.push_back("无法读取文件夹“" + tessera::displayPath(folder) + "”");
            return;
        }
        std::sort(entries->begin(), entries->end(),
                  [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
        for (const FolderEntry& e : *entries) {
            const std::string path = joinPath(folder, e.name);
            const std::string rel = relative.empty() ? e.name : relative + "/" + e.name;
            if (e.isLink) {
                // Only links to files inside the copied folder are copied (as files).
                auto target = fs_.resolvedPath(path);
                if (e.type == EntryType::Regular && target && isInside(*target, fromReal_))
                    items.push_back({rel, false});
                continue;
            }
            if (e.type == EntryType::Directory) {
                // The destination may lie inside the copied folder; it is not copied into
                // itself.
                if (!destReal_.empty() && fs_.resolvedPath(path).value_or("") == destReal_)
                    continue;
                items.push_back({rel, true});
                walk(path, rel, items);
            } else if (e.type == EntryType::Regular) {
                items.push_back({rel, false});
            }
        }
    }

    FolderListing& listingOf(const std::string& destFolder) {
        auto& listing = listings_[destFolder];
        if (!listing)
            listing = std::make_unique<FolderListing>(fs_, destFolder);
        return *listing;
    }

    void makeDestFolder(const std::string& relative) {
        auto parent = destFolders_.find(parentOf(relative));
        if (parent == destFolders_.end())
            return; // its parent failed and was reported
        const std::string name = baseName(relative);
        const FolderEntry* existing = listingOf(parent->second).find(name, EntryType::None);
        const std::string dest = joinPath(parent->second, existing ? existing->name : name);
        if (existing) {
            auto real = fs_.resolvedPath(dest);
            if (existing->type != EntryType::Directory) {
                result_.problems.push_back("“" + tessera::displayPath(dest) + "”不是文件夹");
                return;
            }
            if (!real || !isInside(*real, destReal_)) {
                result_.problems.push_back("“" + tessera::displayPath(dest) +
                                           "”是指向目标文件夹以外的链接");
                return;
            }
        } else {
            std::string reason;
            if (!fs_.makeFolder(dest, reason)) {
                result_.problems.push_back("无法创建文件夹“" + tessera::displayPath(dest) + "”：" +
                                           reason);
                return;
            }
        }
        destFolders_[relative] = dest;
    }

    // Copies one file; false when the user cancelled.
    bool copyFile(const std::string& from, const std::string& relative) {
        const std::string source = joinPath(from, relative);
        auto folder = destFolders_.find(parentOf(relative));
        if (folder == destFolders_.end()) {
            result_.problems.push_back("无法复制“" + tessera::displayPath(source) + "”");
            return true;
        }
        const std::string name = baseName(relative);
        const FolderEntry* existing = listingOf(folder->second).find(name, EntryType::None);
        const std::string dest = joinPath(folder->second, existing ? existing->name : name);
        if (existing) {
            if (fs_.sameFile(source, dest))
                return true; // a file onto itself
            if (existing->type == EntryType::Directory) {
                result_.problems.push_back("“" + tessera::displayPath(dest) + "”是文件夹");
                return true;
            }
            if (existing->isLink) {
                auto real = fs_.resolvedPath(dest);
                if (!real || !isInside(*real, destReal_)) {
                    result_.problems.push_back("“" + tessera::displayPath(dest) +
                                               "”是指向目标文件夹以外的链接");
                    return true;
                }
            }
            if (!replaceAll_) {
                switch (prompts_.askReplace(dest)) {
                case ReplaceAnswer::Yes:
                    break;
                case ReplaceAnswer::YesToAll:
                    replaceAll_ = true;
                    break;
                case ReplaceAnswer::No:
                    ++result_.kept;
                    return true;
                case ReplaceAnswer::Cancel:
                    return false;
                }
            }
        }
        std::string reason;
        if (fs_.copyFileAtomically(source, dest, reason))
            ++result_.copied;
        else
            result_.problems.push_back("无法复制“" + tessera::displayPath(source) + "”：" + reason);
        return true;
    }
};

} // namespace

CopyResult CopyFolder(FileOps& fs, ListPrompts& prompts, const std::string& from,
                      const std::string& to) {
    return FolderCopy(fs, prompts).run(from, to);
}

std::string_view copyOutcomeMessage(CopyOutcome outcome) {
    switch (outcome) {
    case CopyOutcome::Failed:
        return kCopyFailedMessage;
    case CopyOutcome::Cancelled:
        return kCopyCancelledMessage;
    case CopyOutcome::Succeeded:
        break;
    }
    return kCopySucceededMessage;
}

} // namespace fallowmere
