#pragma once
// A profile (INI) file codec on raw bytes (GBK in the programs' files): read values, change
// them, and produce the bytes of the whole file again with everything else kept as it was.
//
// Format: "[section]" header lines, "key=value" lines, comment lines starting with ';' or '#'
// (after leading blanks); lines end in CR LF or LF. Section names and keys are matched without
// regard to ASCII case. Keys and values are trimmed of blanks (space, TAB) around them; the
// value is otherwise returned as the bytes that follow the first '='. Lines before the first
// section header and lines that are none of these are kept but belong to no entry.
//
// Reading a file goes through readIniFile (regular files only); writing goes through
// tessera::writeFileAtomically with the bytes of bytes().

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessera {

class IniFile {
public:
    IniFile() = default;
    // Parses a whole file. Never fails: anything that is not a header or an entry is kept as
    // an opaque line.
    static IniFile parse(std::string_view bytes);
    // The same for bytes the file may keep instead of copying them.
    static IniFile parseTaking(std::string bytes);

    // The value of `key` in the first section named `section` that has the key (the first such
    // key line wins), cut to at most `maxBytes` bytes; nullopt when there is none.
    std::optional<std::string> value(std::string_view section, std::string_view key,
                                     size_t maxBytes = std::string::npos) const;

    // Every entry of the sections named `section`, in file order, as (key, value); repeated
    // keys are listed each time (callers decide which one wins).
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;

    // The section names in file order, as written (repeats included).
    std::vector<std::string> sectionNames() const;

    // Sets `key` in the first section named `section`: the first line of that key gets the new
    // value (its key keeps its spelling); a missing key is added after the section's last
    // entry; a missing section is added at the end of the file. Other lines stay untouched. A
    // value is cut at its first line break (it would otherwise start a line of its own).
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    // Removes every line of `key` in the sections named `section`; true when one was removed.
    bool removeKey(std::string_view section, std::string_view key);

    // The whole file. New lines end like the file's first line (CR LF for a new file).
    std::string bytes() const;

private:
    enum class Kind : unsigned char { Other, Section, Entry };
    enum class End : unsigned char { None, Lf, CrLf };
    // A line is a range of text_ (without its line end), its section's or key's name and its
    // value ranges within the line: a file of a million lines takes one block of text and an
    // array of lines, and every lookup is one pass over them.
    // Offsets within a line are 32-bit; a line of 4 GiB or more is kept as an opaque line.
    struct Line {
        size_t begin = 0, size = 0;
        uint32_t nameBegin = 0, nameEnd = 0;   // Section: its name; Entry: its key (trimmed)
        uint32_t valueBegin = 0, valueEnd = 0; // Entry: the value
        Kind kind = Kind::Other;
        End end = End::None; // the last line may have none
    };
    // Parses the line at text_[begin, begin + size).
    Line parseLine(size_t begin, size_t size, End end) const;
    // Appends a line made by a change to text_ and parses it.
    Line makeLine(std::string_view text, End end);
    std::string_view textOf(const Line& line) const {
        return {text_.data() + line.begin, line.size};
    }
    std::string_view nameOf(const Line& line) const {
        return textOf(line).substr(line.nameBegin, line.nameEnd - line.nameBegin);
    }
    std::string_view valueOf(const Line& line) const {
        return textOf(line).substr(line.valueBegin, line.valueEnd - line.valueBegin);
    }
    bool isHeaderOf(const Line& line, std::string_view section) const;
    bool isEntryOf(const Line& line, std::string_view key) const;
    static std::string_view endText(End end);

    // The file as read, then the lines made by changes (a replaced line's old text stays).
    std::string text_;
    std::vector<Line> lines_;
    End newline_ = End::CrLf;
};

// Reads and parses the INI file at `path` (readRegularFile: regular files only, out of memory
// reported). False with the reason in `error` when it cannot be read.
bool readIniFile(const std::string& path, IniFile& ini, std::string* error = nullptr);

// ASCII case-insensitive equality, the comparison of section names and keys.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace tessera
