#pragma once
// The questions and messages of the record list, behind an interface: the window shows them
// in message boxes, the command-line tool answers from its options, tests script them. Texts
// are UTF-8.

#include "common/file_stamp.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace fallowmere {

enum class MessageIcon { None, Information, Exclamation, Stop, Question };
enum class ReplaceAnswer { Yes, YesToAll, No, Cancel };

class ListPrompts {
public:
    virtual ~ListPrompts() = default;
    // A message with an OK button.
    virtual void message(std::string_view caption, std::string_view text, MessageIcon icon) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(std::string_view caption, std::string_view text) = 0;
    // The folder copy meets an existing file: replace it (Yes), replace it and every later one
    // without asking (YesToAll), keep it (No), or stop the copy at once (Cancel).
    // `existingFile` is the path of the file that would be replaced, as on disk.
    virtual ReplaceAnswer askReplace(const std::string& existingFile) = 0;
    // The project file `path` changed on disk since the program last read or wrote it, and a
    // change is about to be written: reload it (the change is then made on what it holds
    // now, where it still applies), overwrite it, or cancel the change.
    virtual tessera::ChangedFileAnswer askChangedOnDisk(const std::string& path) = 0;
    // Progress of the folder copy, after each file; false stops the copy at once (cancel).
    virtual bool copyProgress(size_t /*done*/, size_t /*total*/) { return true; }
};

// The record list's texts.
inline constexpr std::string_view kDeletePromptCaption = "删除提示";
inline constexpr std::string_view kNoPictureQuestion = "目录下没有对应图片文件,是否删除对应的记录?";
inline constexpr std::string_view kDeleteQuestion = "是否删除对应的记录?";
inline constexpr std::string_view kHintCaption = "提示";
inline constexpr std::string_view kTooManyPicturesMessage = "软件最大支持同时显示六张图片";
inline constexpr std::string_view kWarningCaption = "警告";
inline constexpr std::string_view kSelectRowMessage = "请选择一行数据";
inline constexpr std::string_view kCopyCaption = "信息提示";
inline constexpr std::string_view kCopyFailedMessage = "复制文件夹操作失败";
inline constexpr std::string_view kCopyCancelledMessage = "复制文件夹的操作被取消";
inline constexpr std::string_view kCopySucceededMessage = "复制文件夹操作成功";
// The replace question of the folder copy (the window fills in the file's name).
inline constexpr std::string_view kReplaceCaption = "确认文件替换";
inline constexpr std::string_view kReplaceQuestion = "目标文件夹中已有文件“%1”。\n是否替换？";

} // namespace fallowmere
