#include "width/project/record_text.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <ostream>

namespace fallowmere {

struct RecordText::Block {
    std::atomic<size_t> references;
    size_t size;
    char* chars() { return reinterpret_cast<char*>(this + 1); }
};

RecordText::RecordText(std::string_view text) {
    if (text.size() <= kInline) {
        std::memcpy(raw_, text.data(), text.size());
        std::memset(raw_ + text.size(), 0, kInline - text.size());
        raw_[kInline] = static_cast<unsigned char>(kInline - text.size());
        return;
    }
    void* memory = std::malloc(sizeof(Block) + text.size() + 1);
    if (!memory)
        throw std::bad_alloc();
    Block* b = new (memory) Block{{1}, text.size()};
    std::memcpy(b->chars(), text.data(), text.size());
    b->chars()[text.size()] = '\0';
    std::memcpy(raw_, &b, sizeof b);
    raw_[kInline] = kHeapTag;
}

RecordText::RecordText(const RecordText& other) noexcept {
    std::memcpy(raw_, other.raw_, sizeof raw_);
    if (onHeap())
        block()->references.fetch_add(1, std::memory_order_relaxed);
}

RecordText::RecordText(RecordText&& other) noexcept {
    std::memcpy(raw_, other.raw_, sizeof raw_);
    other.clearInline();
}

RecordText& RecordText::operator=(const RecordText& other) noexcept {
    if (this != &other) {
        RecordText copy(other);
        *this = std::move(copy);
    }
    return *this;
}

RecordText& RecordText::operator=(RecordText&& other) noexcept {
    if (this != &other) {
        release();
        std::memcpy(raw_, other.raw_, sizeof raw_);
        other.clearInline();
    }
    return *this;
}

const char* RecordText::data() const noexcept {
    return onHeap() ? block()->chars() : reinterpret_cast<const char*>(raw_);
}

size_t RecordText::size() const noexcept {
    return onHeap() ? block()->size : kInline - raw_[kInline];
}

bool RecordText::sharesWith(const RecordText& other) const noexcept {
    return onHeap() && other.onHeap() && block() == other.block();
}

RecordText::Block* RecordText::block() const noexcept {
    Block* b;
    std::memcpy(&b, raw_, sizeof b);
    return b;
}

void RecordText::clearInline() noexcept {
    std::memset(raw_, 0, kInline);
    raw_[kInline] = static_cast<unsigned char>(kInline);
}

void RecordText::release() noexcept {
    if (!onHeap())
        return;
    Block* b = block();
    if (b->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        b->~Block();
        std::free(b);
    }
    clearInline();
}

std::ostream& operator<<(std::ostream& out, const RecordText& text) {
    return out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

} // namespace fallowmere
