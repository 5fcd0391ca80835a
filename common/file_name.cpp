#include "common/file_name.h"

namespace tessera {

std::string fileNameOf(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withDefaultExtension(const std::string& path, const std::string& ext) {
    if (path.empty() || ext.empty())
        return path;
    std::string name = fileNameOf(path);
    auto dot = name.rfind('.');
    // A leading dot alone (".profile") is a hidden name, not an extension.
    if (dot != std::string::npos && dot > 0 && dot + 1 < name.size())
        return path;
    if (!name.empty() && name.back() == '.')
        return path + ext;
    return path + "." + ext;
}

} // namespace tessera
