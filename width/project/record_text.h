#pragma once
// The text of one record field: GBK bytes that never change once made, shared by every copy.
//
// A project file holds one line per record and its records are held twice (the records read
// last and the list's rows); a line with fewer than six fields repeats its last field. With
// shared texts a record costs the bytes of its line once, however often it is copied or a
// field repeated, so a project stays within a small multiple of its file's size even when one
// line is a hundred megabytes long. Texts of up to 15 bytes live inside the object (no heap
// at all); longer ones in one reference-counted block. A field changes by assigning a new
// text.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <type_traits>

namespace fallowmere {

class RecordText {
public:
    RecordText() noexcept { clearInline(); }
    RecordText(std::string_view text);
    RecordText(const std::string& text) : RecordText(std::string_view(text)) {}
    RecordText(const char* text) : RecordText(std::string_view(text)) {}
    RecordText(const RecordText& other) noexcept;
    RecordText(RecordText&& other) noexcept;
    RecordText& operator=(const RecordText& other) noexcept;
    RecordText& operator=(RecordText&& other) noexcept;
    ~RecordText() { release(); }

    const char* data() const noexcept;
    size_t size() const noexcept;
    bool empty() const noexcept { return size() == 0; }
    // The bytes followed by a NUL (which the text itself may hold too).
    const char* c_str() const noexcept { return data(); }
    std::string_view view() const noexcept { return {data(), size()}; }
    operator std::string_view() const noexcept { return view(); }
    operator std::string() const { return std::string(view()); }
    std::string str() const { return std::string(view()); }
    const char* begin() const noexcept { return data(); }
    const char* end() const noexcept { return data() + size(); }
    char operator[](size_t i) const noexcept { return data()[i]; }

    // Whether both share one block (copies of a long text do).
    bool sharesWith(const RecordText& other) const noexcept;

    // Compared as bytes with each other and with anything that converts to a string_view.
    friend bool operator==(const RecordText& a, const RecordText& b) noexcept {
        return a.view() == b.view();
    }
    friend auto operator<=>(const RecordText& a, const RecordText& b) noexcept {
        return a.view() <=> b.view();
    }
    template <typename Text>
    requires(std::is_convertible_v<const Text&, std::string_view> &&
             !std::is_same_v<Text, RecordText>) friend bool
    operator==(const RecordText& a, const Text& b) noexcept {
        return a.view() == std::string_view(b);
    }
    template <typename Text>
    requires(std::is_convertible_v<const Text&, std::string_view> &&
             !std::is_same_v<Text, RecordText>) friend auto
    operator<=>(const RecordText& a, const Text& b) noexcept {
        return a.view() <=> std::string_view(b);
    }
    friend std::string operator+(std::string a, const RecordText& b) { return a.append(b.view()); }
    friend std::string operator+(const RecordText& a, std::string_view b) {
        return std::string(a.view()).append(b);
    }

private:
    struct Block;
    static constexpr size_t kInline = 15;
    static constexpr unsigned char kHeapTag = 0xFF;
    // Bytes 0..14 the inline text, byte 15 kInline minus its length (so a text of 15 bytes
    // ends in the NUL it needs); or bytes 0..7 the block's address and byte 15 kHeapTag.
    alignas(void*) unsigned char raw_[16];

    bool onHeap() const noexcept { return raw_[kInline] == kHeapTag; }
    Block* block() const noexcept;
    void clearInline() noexcept;
    void release() noexcept;
};

std::ostream& operator<<(std::ostream& out, const RecordText& text);

} // namespace fallowmere
