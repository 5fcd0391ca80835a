#include "common/error_text.h"

#include <cerrno>
#include <cstring>
#include <string_view>

namespace tessera {
namespace {

// strerror_r comes in two flavours; overloads pick whichever the C library declares.
[[maybe_unused]] const char* pick(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr; // XSI: 0 on success, the text is in `buffer`
}
[[maybe_unused]] const char* pick(const char* result, const char*) {
    return result; // GNU: the text, in `buffer` or in static storage
}

// The wording of the C library's own Chinese (zh_CN) messages.
std::string_view chineseText(int errnum) {
    switch (errnum) {
    case EPERM:
        return "不允许的操作";
    case ENOENT:
        return "没有那个文件或目录";
    case EINTR:
        return "被中断的系统调用";
    case EIO:
        return "输入/输出错误";
    case ENXIO:
        return "没有那个设备或地址";
    case E2BIG:
        return "参数列表过长";
    case EBADF:
        return "错误的文件描述符";
    case EAGAIN:
        return "资源暂时不可用";
    case ENOMEM:
        return "无法分配内存";
    case EACCES:
        return "权限不够";
    case EFAULT:
        return "错误的地址";
    case EBUSY:
        return "设备或资源忙";
    case EEXIST:
        return "文件已存在";
    case EXDEV:
        return "无效的跨设备链接";
    case ENODEV:
        return "没有那个设备";
    case ENOTDIR:
        return "不是目录";
    case EISDIR:
        return "是一个目录";
    case EINVAL:
        return "无效的参数";
    case ENFILE:
        return "系统中打开的文件过多";
    case EMFILE:
        return "打开的文件过多";
    case ENOTTY:
        return "对设备不适当的 ioctl 操作";
    case ETXTBSY:
        return "文本文件忙";
    case EFBIG:
        return "文件过大";
    case ENOSPC:
        return "设备上没有空间";
    case ESPIPE:
        return "非法 seek 操作";
    case EROFS:
        return "只读文件系统";
    case EMLINK:
        return "过多的链接";
    case EPIPE:
        return "断开的管道";
    case EDEADLK:
        return "已避免资源死锁";
    case ENAMETOOLONG:
        return "文件名过长";
    case ENOLCK:
        return "没有可用的锁";
    case ENOSYS:
        return "函数未实现";
    case ENOTEMPTY:
        return "目录非空";
    case ELOOP:
        return "符号连接的层数过多";
    case EOVERFLOW:
        return "对已定义的数据类型来说值过大";
    case EPROTO:
        return "协议错误";
    case ENOTSUP:
        return "不支持的操作";
    case ETIMEDOUT:
        return "连接超时";
    case ESTALE:
        return "过旧的文件句柄";
    case EDQUOT:
        return "超出磁盘限额";
    case ECANCELED:
        return "操作已取消";
    case ENOMEDIUM:
        return "找不到介质";
    case EREMOTEIO:
        return "远程 I/O 错误";
    default:
        return {};
    }
}

} // namespace

std::string errorText(int errnum) {
    if (const std::string_view chinese = chineseText(errnum); !chinese.empty())
        return std::string(chinese);
    char buffer[256] = {};
    const char* text = pick(strerror_r(errnum, buffer, sizeof buffer), buffer);
    // The C library's fallback for a value it does not know is "Unknown error N".
    if (text && *text && std::strncmp(text, "Unknown error", 13) != 0)
        return text;
    return "未知的错误 " + std::to_string(errnum);
}

} // namespace tessera
