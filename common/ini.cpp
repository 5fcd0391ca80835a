#include "common/ini.h"

#include "common/atomic_file.h"

#include <new>

namespace tessera {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Blanks around keys and values; \v, \f and a stray \r count too, as the port map always had it.
bool isSpace(char c) {
    return isBlank(c) || c == '\r' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

IniFile::Line IniFile::parseLine(std::string text, std::string eol) {
    Line line;
    line.text = std::move(text);
    line.eol = std::move(eol);
    const std::string_view t = trim(line.text);
    if (t.empty() || t.front() == ';' || t.front() == '#')
        return line;
    if (t.front() == '[') {
        const size_t close = t.find(']');
        line.kind = Kind::Section;
        line.name = std::string(trim(
            t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
        return line;
    }
    const size_t eq = line.text.find('=');
    if (eq == std::string::npos)
        return line;
    const std::string_view key = trim(std::string_view(line.text).substr(0, eq));
    if (key.empty())
        return line;
    line.kind = Kind::Entry;
    line.name = std::string(key);
    size_t begin = eq + 1, end = line.text.size();
    while (begin < end && isSpace(line.text[begin]))
        ++begin;
    while (end > begin && isSpace(line.text[end - 1]))
        --end;
    line.valueBegin = begin;
    line.valueEnd = end;
    return line;
}

IniFile IniFile::parse(std::string_view bytes) {
    IniFile ini;
    bool first = true;
    while (!bytes.empty()) {
        const size_t nl = bytes.find('\n');
        std::string_view text = bytes.substr(0, nl);
        std::string eol;
        if (nl != std::string_view::npos) {
            eol = "\n";
            if (!text.empty() && text.back() == '\r') {
                text.remove_suffix(1);
                eol = "\r\n";
            }
            if (first)
                ini.newline_ = eol;
        }
        first = false;
        ini.lines_.push_back(parseLine(std::string(text), std::move(eol)));
        bytes.remove_prefix(nl == std::string_view::npos ? bytes.size() : nl + 1);
    }
    return ini;
}

size_t IniFile::sectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section)
        ++i;
    return i;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key,
                                          size_t maxBytes) const {
    for (size_t h = 0; h < lines_.size(); ++h) {
        if (lines_[h].kind != Kind::Section || !equalsIgnoringAsciiCase(lines_[h].name, section))
            continue;
        for (size_t i = h + 1; i < sectionEnd(h); ++i) {
            const Line& l = lines_[i];
            if (l.kind == Kind::Entry && equalsIgnoringAsciiCase(l.name, key)) {
                std::string v = l.text.substr(l.valueBegin, l.valueEnd - l.valueBegin);
                if (v.size() > maxBytes)
                    v.resize(maxBytes);
                return v;
            }
        }
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> IniFile::entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> out;
    bool inSection = false;
    for (const Line& l : lines_) {
        if (l.kind == Kind::Section)
            inSection = equalsIgnoringAsciiCase(l.name, section);
        else if (inSection && l.kind == Kind::Entry)
            out.emplace_back(l.name, l.text.substr(l.valueBegin, l.valueEnd - l.valueBegin));
    }
    return out;
}

std::vector<std::string> IniFile::sectionNames() const {
    std::vector<std::string> out;
    for (const Line& l : lines_)
        if (l.kind == Kind::Section)
            out.push_back(l.name);
    return out;
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    // A line break inside the value would start another line of the file.
    value = value.substr(0, value.find_first_of("\r\n"));
    // The last line must end before anything is added after it.
    auto terminateLast = [this] {
        if (!lines_.empty() && lines_.back().eol.empty())
            lines_.back().eol = newline_;
    };
    for (size_t h = 0; h < lines_.size(); ++h) {
        if (lines_[h].kind != Kind::Section || !equalsIgnoringAsciiCase(lines_[h].name, section))
            continue;
        const size_t end = sectionEnd(h);
        size_t lastEntry = h;
        for (size_t i = h + 1; i < end; ++i) {
            Line& l = lines_[i];
            if (l.kind != Kind::Entry)
                continue;
            if (equalsIgnoringAsciiCase(l.name, key)) {
                const std::string keyPart = l.text.substr(0, l.text.find('=') + 1);
                l = parseLine(keyPart + std::string(value), l.eol);
                return;
            }
            lastEntry = i;
        }
        if (lastEntry + 1 == lines_.size())
            terminateLast();
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastEntry + 1),
                      parseLine(std::string(key) + "=" + std::string(value), newline_));
        return;
    }
    terminateLast();
    lines_.push_back(parseLine("[" + std::string(section) + "]", newline_));
    lines_.push_back(parseLine(std::string(key) + "=" + std::string(value), newline_));
}

bool IniFile::removeKey(std::string_view section, std::string_view key) {
    bool removed = false;
    bool inSection = false;
    for (size_t i = 0; i < lines_.size();) {
        const Line& l = lines_[i];
        if (l.kind == Kind::Section)
            inSection = equalsIgnoringAsciiCase(l.name, section);
        if (inSection && l.kind == Kind::Entry && equalsIgnoringAsciiCase(l.name, key)) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            removed = true;
            continue;
        }
        ++i;
    }
    return removed;
}

std::string IniFile::bytes() const {
    std::string out;
    for (const Line& l : lines_) {
        out += l.text;
        out += l.eol;
    }
    return out;
}

bool readIniFile(const std::string& path, IniFile& ini, std::string* error) {
    std::string bytes, reason;
    if (!readRegularFile(path, bytes, reason)) {
        if (error)
            *error = reason;
        return false;
    }
    try {
        ini = IniFile::parse(bytes);
    } catch (const std::bad_alloc&) {
        ini = IniFile();
        if (error)
            *error = kOutOfMemoryReason;
        return false;
    }
    return true;
}

} // namespace tessera
