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

IniFile::Line IniFile::parseLine(size_t begin, size_t size, End end) const {
    Line line;
    line.begin = begin;
    line.size = size;
    line.end = end;
    if (size > UINT32_MAX)
        return line;
    const std::string_view all = textOf(line);
    size_t first = 0, stop = all.size();
    while (first < stop && isSpace(all[first]))
        ++first;
    while (stop > first && isSpace(all[stop - 1]))
        --stop;
    if (first == stop || all[first] == ';' || all[first] == '#')
        return line;
    if (all[first] == '[') {
        const size_t close = all.find(']', first);
        size_t nameBegin = first + 1, nameEnd = close == std::string_view::npos ? stop : close;
        while (nameBegin < nameEnd && isSpace(all[nameBegin]))
            ++nameBegin;
        while (nameEnd > nameBegin && isSpace(all[nameEnd - 1]))
            --nameEnd;
        line.kind = Kind::Section;
        line.nameBegin = static_cast<uint32_t>(nameBegin);
        line.nameEnd = static_cast<uint32_t>(nameEnd);
        return line;
    }
    const size_t eq = all.find('=');
    if (eq == std::string_view::npos)
        return line;
    size_t keyEnd = eq;
    while (keyEnd > first && isSpace(all[keyEnd - 1]))
        --keyEnd;
    if (keyEnd == first)
        return line;
    size_t valueBegin = eq + 1;
    while (valueBegin < stop && isSpace(all[valueBegin]))
        ++valueBegin;
    line.kind = Kind::Entry;
    line.nameBegin = static_cast<uint32_t>(first);
    line.nameEnd = static_cast<uint32_t>(keyEnd);
    line.valueBegin = static_cast<uint32_t>(valueBegin); // not past `stop`: '=' is no blank
    line.valueEnd = static_cast<uint32_t>(stop);
    return line;
}

IniFile::Line IniFile::makeLine(std::string_view text, End end) {
    const size_t begin = text_.size();
    text_ += text;
    return parseLine(begin, text.size(), end);
}

bool IniFile::isHeaderOf(const Line& line, std::string_view section) const {
    return line.kind == Kind::Section && equalsIgnoringAsciiCase(nameOf(line), section);
}

bool IniFile::isEntryOf(const Line& line, std::string_view key) const {
    return line.kind == Kind::Entry && equalsIgnoringAsciiCase(nameOf(line), key);
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

IniFile IniFile::parse(std::string_view bytes) {
    return parseTaking(std::string(bytes));
}

IniFile IniFile::parseTaking(std::string bytes) {
    IniFile ini;
    ini.text_ = std::move(bytes);
    const std::string_view text = ini.text_;
    size_t count = 0;
    for (size_t nl = text.find('\n'); nl != std::string_view::npos; nl = text.find('\n', nl + 1))
        ++count;
    ini.lines_.reserve(count + 1);
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t nl = text.find('\n', pos);
        size_t size = (nl == std::string_view::npos ? text.size() : nl) - pos;
        End end = End::None;
        if (nl != std::string_view::npos) {
            end = End::Lf;
            if (size > 0 && text[pos + size - 1] == '\r') {
                --size;
                end = End::CrLf;
            }
            if (ini.lines_.empty())
                ini.newline_ = end;
        }
        ini.lines_.push_back(ini.parseLine(pos, size, end));
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
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
            return std::string(valueOf(l).substr(0, maxBytes));
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
            out.emplace_back(nameOf(l), valueOf(l));
    }
    return out;
}

std::vector<std::string> IniFile::sectionNames() const {
    std::vector<std::string> out;
    for (const Line& l : lines_)
        if (l.kind == Kind::Section)
            out.emplace_back(nameOf(l));
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
    auto entryText = [&](std::string_view keyPart) {
        std::string text(keyPart);
        text += value;
        return text;
    };
    size_t header = 0;
    while (header < lines_.size() && !isHeaderOf(lines_[header], section))
        ++header;
    if (header == lines_.size()) {
        terminateLast();
        lines_.push_back(makeLine("[" + std::string(section) + "]", newline_));
        lines_.push_back(makeLine(entryText(std::string(key) + "="), newline_));
        return;
    }
    size_t lastEntry = header;
    for (size_t i = header + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i) {
        const Line& l = lines_[i];
        if (l.kind != Kind::Entry)
            continue;
        if (isEntryOf(l, key)) {
            // The key keeps its spelling and the blanks around it.
            const std::string_view text = textOf(l);
            lines_[i] = makeLine(entryText(text.substr(0, text.find('=') + 1)), l.end);
            return;
        }
        lastEntry = i;
    }
    if (lastEntry + 1 == lines_.size())
        terminateLast();
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastEntry + 1),
                  makeLine(entryText(std::string(key) + "="), newline_));
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
        lines_[kept++] = lines_[i];
    }
    const bool removed = kept != lines_.size();
    lines_.resize(kept);
    return removed;
}

std::string IniFile::bytes() const {
    size_t size = 0;
    for (const Line& l : lines_)
        size += l.size + endText(l.end).size();
    std::string out;
    out.reserve(size);
    for (const Line& l : lines_) {
        out += textOf(l);
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
        ini = IniFile::parseTaking(std::move(bytes));
    } catch (const std::bad_alloc&) {
        ini = IniFile();
        if (error)
            *error = kOutOfMemoryReason;
        return false;
    }
    return true;
}

} // namespace tessera
