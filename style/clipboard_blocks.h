// Memory blocks for the clipboard. Reading: the clipboard held open for one
// read (or for the active session's), and a format's block locked as a view
// bounded by the block's real size, so no decoder relies on a length field or
// a terminating NUL. Writing: a new block filled while locked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "platform/winapi.h"
#include "style/clipboard_session.h"

namespace clipboard {

// Bytes of a locked block; valid only while the block stays locked. A view
// with no pointer stands for a block that is absent or unusable.
struct ByteView {
    const unsigned char* data = nullptr;
    std::size_t size = 0;

    // Returns the bytes after the first `prefixSize`, or a view with no pointer
    // when this one has none or holds fewer bytes than that.
    ByteView afterPrefix(std::size_t prefixSize) const;
};

// Locks the block the open clipboard holds under `format` for the object's
// lifetime. The view has no pointer when the format is not on the clipboard
// or its block cannot be locked, which callers treat as absent.
class LockedBlock {
  public:
    explicit LockedBlock(UINT format);
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    ~LockedBlock();
    const ByteView& view() const { return view_; }

  private:
    HANDLE handle_ = nullptr;
    ByteView view_;
};

// Returns the bytes of `block` up to its first NUL, or all of them when it
// holds none.
std::string textUpToNul(const ByteView& block);

// One read of text beside a style block: opens the clipboard (see
// OpenedClipboard), locks CF_TEXT and, only when that worked, the block
// registered as `styleFormatName`; unlocks both and closes the clipboard,
// if it opened it, when the object goes. CF_TEXT may be what Windows made
// from CF_UNICODETEXT, in the ANSI code page.
class TextWithStyleBlock {
  public:
    explicit TextWithStyleBlock(const char* styleFormatName);
    // False when the clipboard could not be opened or holds no usable text.
    bool hasText() const { return text_.has_value(); }
    // The text up to its first NUL, bounded by its block; moved out of this
    // object, which then holds none.
    std::string takeText() { return std::move(textUpToNul_); }
    // The whole style block; no pointer when it is absent or unusable.
    ByteView style() const { return style_ ? style_->view() : ByteView{}; }

  private:
    OpenedClipboard open_;
    std::optional<LockedBlock> text_;
    std::optional<LockedBlock> style_;
    std::string textUpToNul_;
};

// Answers a new T read from the block the clipboard holds under `formatName`
// by T(const char* data, std::size_t size, more...); null when the clipboard
// cannot be opened, holds no usable block of that format, or memory runs out.
template <class T, class... More>
T* newFromBlock(const char* formatName, More... more) {
    OpenedClipboard open;
    if (!open.isOpen()) return nullptr;
    const LockedBlock block(RegisterClipboardFormatA(formatName));
    const ByteView& view = block.view();
    if (view.data == nullptr) return nullptr;
    try {
        return new T(reinterpret_cast<const char*>(view.data), view.size, more...);
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
}

// Allocates a movable block of `size` bytes, locks it, lets `fill` write the
// bytes at the pointer it is given, and unlocks it. Answers the unlocked
// block, or null when it could not be allocated or locked or when `fill`
// answered false; no block is left allocated then, nor when `fill` throws.
template <class Fill>
HGLOBAL newFilledBlock(std::size_t size, Fill&& fill) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return nullptr;
    unsigned char* p = static_cast<unsigned char*>(GlobalLock(block));
    if (p == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    bool filled = false;
    try {
        filled = std::forward<Fill>(fill)(p);
    } catch (...) {
        GlobalUnlock(block);
        GlobalFree(block);
        throw;
    }
    GlobalUnlock(block);
    if (!filled) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

// A new movable block holding a copy of the `size` bytes at `data`, or null
// as for newFilledBlock.
HGLOBAL newBlockCopy(const void* data, std::size_t size);

// A text made in a block of its own before the clipboard takes it, ending
// in a NUL, so that it need not be copied then. The block stays locked, to
// be read in place, until it is handed over; freed with the object unless it
// was.
class TextBlock {
  public:
    TextBlock() = default;
    // Takes `block`, unlocked, whose first `length` bytes are the text and
    // the next a NUL; holds none, having freed it, when it cannot be locked.
    static TextBlock adopt(HGLOBAL block, std::size_t length);
    TextBlock(TextBlock&& other) noexcept;
    TextBlock& operator=(TextBlock&& other) noexcept;
    TextBlock(const TextBlock&) = delete;
    TextBlock& operator=(const TextBlock&) = delete;
    ~TextBlock() { reset(); }

    bool held() const { return block_ != nullptr; }
    // The text, valid while the block is held.
    std::string_view view() const { return std::string_view(bytes_, length_); }
    std::string text() const { return std::string(view()); }
    // A new block holding the text and its NUL, or null as for newFilledBlock.
    HGLOBAL copy() const;
    // Hands the block over, unlocked; this object then holds none.
    HGLOBAL release();
    void reset();

  private:
    HGLOBAL block_ = nullptr;
    const char* bytes_ = nullptr;
    std::size_t length_ = 0;
};

// A new movable block holding a prepared document (its size() and
// writeTo(char*)) written straight into it and a terminating NUL, so that a
// large document is never held twice; null as for newFilledBlock, or when
// the document is too large for a clipboard block.
template <class Document>
HGLOBAL newDocumentBlock(const Document& document) {
    const std::size_t size = document.size();
    if (size >= UINT32_MAX) return nullptr;
    return newFilledBlock(size + 1, [&document, size](unsigned char* p) {
        document.writeTo(reinterpret_cast<char*>(p));
        p[size] = '\0';
        return true;
    });
}

}  // namespace clipboard
