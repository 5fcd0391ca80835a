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

std::string_view IniFile::endText(End end) {
    switch (end) {
    case End::Lf:
        return "\n";
    case End::CrLf:
        return "\r\n";
    case End::None:
        break;
    }
    return {};
}

IniFile::Line IniFile::parseLine(std::string text, End end) {
    Line line;
    line.text = std::move(text);
    line.end = end;
    const std::string_view all = line.text;
    size_t begin = 0, stop = all.size();
    while (begin < stop && isSpace(all[begin]))
        ++begin;
    while (stop > begin && isSpace(all[stop - 1]))
        --stop;
    if (begin == stop || all[begin] == ';' || all[begin] == '#')
        return line;
    if (all[begin] == '[') {
        const size_t close = all.find(']', begin);
        size_t nameBegin = begin + 1, nameEnd = close == std::string_view::npos ? stop : close;
        while (nameBegin < nameEnd && isSpace(all[nameBegin]))
            ++nameBegin;
        while (nameEnd > nameBegin && isSpace(all[nameEnd - 1]))
            --nameEnd;
        line.kind = Kind::Section;
        line.nameBegin = nameBegin;
        line.nameEnd = nameEnd;
        return line;
    }
    const size_t eq = all.find('=');
    if (eq == std::string_view::npos)
        return line;
    size_t keyEnd = eq;
    while (keyEnd > begin && isSpace(all[keyEnd - 1]))
        --keyEnd;
    if (keyEnd == begin)
        return line;
    size_t valueBegin = eq + 1;
    while (valueBegin < stop && isSpace(all[valueBegin]))
        ++valueBegin;
    line.kind = Kind::Entry;
    line.nameBegin = begin;
    line.nameEnd = keyEnd;
    line.valueBegin = valueBegin; // never past `stop`: the '=' itself is no blank
    line.valueEnd = stop;
    return line;
}

bool IniFile::isHeaderOf(const Line& line, std::string_view section) {
    return line.kind == Kind::Section && equalsIgnoringAsciiCase(line.name(), section);
}

bool IniFile::isEntryOf(const Line& line, std::string_view key) {
    return line.kind == Kind::Entry && equalsIgnoringAsciiCase(line.name(), key);
}

IniFile IniFile::parse(std::string_view bytes) {
    IniFile ini;
    size_t count = 0;
    for (char c : bytes)
        count += c == '\n';
    ini.lines_.reserve(count + 1);
    bool first = true;
    while (!bytes.empty()) {
        const size_t nl = bytes.find('\n');
        std::string_view text = bytes.substr(0, nl);
        End end = End::None;
        if (nl != std::string_view::npos) {
            end = End::Lf;
            if (!text.empty() && text.back() == '\r') {
                text.remove_suffix(1);
                end = End::CrLf;
            }
            if (first)
                ini.newline_ = end;
        }
        first = false;
        ini.lines_.push_back(parseLine(std::string(text), end));
        bytes.remove_prefix(nl == std::string_view::npos ? bytes.size() : nl + 1);
    }
    return ini;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key,
                                          size_t maxBytes) const {
    // One pass: the first key line of any section of that name is the first such key.
    bool inSection = false;
    for (const Line& l : lines_) {
        if (l.kind == Kind::Section)
            inSection = isHeaderOf(l, section);
        else if (inSection && isEntryOf(l, key))
            return std::string(l.value().substr(0, maxBytes));
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> IniFile::entries(std::string_view section) const {
    std::vector<std::pair<std::string, std::string>> out;
    bool inSection = false;
    for (const Line& l : lines_) {
        if (l.kind == Kind::Section)
            inSection = isHeaderOf(l, section);
        else if (inSection && l.kind == Kind::Entry)
            out.emplace_back(l.name(), l.value());
    }
    return out;
}

std::vector<std::string> IniFile::sectionNames() const {
    std::vector<std::string> out;
    for (const Line& l : lines_)
        if (l.kind == Kind::Section)
            out.emplace_back(l.name());
    return out;
}

void IniFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    // A line break inside the value would start another line of the file.
    value = value.substr(0, value.find_first_of("\r\n"));
    // The last line must end before anything is added after it.
    auto terminateLast = [this] {
        if (!lines_.empty() && lines_.back().end == End::None)
            lines_.back().end = newline_;
    };
    size_t header = 0;
    while (header < lines_.size() && !isHeaderOf(lines_[header], section))
        ++header;
    if (header == lines_.size()) {
        terminateLast();
        lines_.push_back(parseLine("[" + std::string(section) + "]", newline_));
        lines_.push_back(parseLine(std::string(key) + "=" + std::string(value), newline_));
        return;
    }
    size_t lastEntry = header;
    for (size_t i = header + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i) {
        Line& l = lines_[i];
        if (l.kind != Kind::Entry)
            continue;
        if (isEntryOf(l, key)) {
            std::string text = l.text.substr(0, l.text.find('=') + 1);
            text += value;
            l = parseLine(std::move(text), l.end);
            return;
        }
        lastEntry = i;
    }
    if (lastEntry + 1 == lines_.size())
        terminateLast();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastEntry + 1),
                  parseLine(std::string(key) + "=" + std::string(value), newline_));
}

bool IniFile::removeKey(std::string_view section, std::string_view key) {
    // One pass that moves the kept lines down over the removed ones.
    bool inSection = false;
    size_t kept = 0;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section)
            inSection = isHeaderOf(lines_[i], section);
        else if (inSection && isEntryOf(lines_[i], key))
            continue;
        if (kept != i)
            lines_[kept] = std::move(lines_[i]);
        ++kept;
    }
    const bool removed = kept != lines_.size();
    lines_.resize(kept);
    return removed;
}

std::string IniFile::bytes() const {
    size_t size = 0;
    for (const Line& l : lines_)
        size += l.text.size() + endText(l.end).size();
    std::string out;
    out.reserve(size);
    for (const Line& l : lines_) {
        out += l.text;
        out += endText(l.end);
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
