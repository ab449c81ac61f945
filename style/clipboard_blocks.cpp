#include "style/clipboard_blocks.h"

#include <cstring>

namespace clipboard {

ByteView ByteView::afterPrefix(std::size_t prefixSize) const {
    if (data == nullptr || size < prefixSize) return ByteView{};
    return ByteView{data + prefixSize, size - prefixSize};
}

LockedBlock::LockedBlock(UINT format) {
    if (!IsClipboardFormatAvailable(format)) return;
    handle_ = GetClipboardData(format);
    if (handle_ == nullptr) return;
    view_.data = static_cast<const unsigned char*>(GlobalLock(handle_));
    // The block's real size, not any length its contents state, bounds reads.
    if (view_.data != nullptr) view_.size = GlobalSize(handle_);
}

LockedBlock::~LockedBlock() {
    if (view_.data != nullptr) GlobalUnlock(handle_);
}

std::string textUpToNul(const ByteView& block) {
    if (block.data == nullptr || block.size == 0) return std::string();
    const char* p = reinterpret_cast<const char*>(block.data);
    const void* nul = std::memchr(p, '\0', block.size);
    return std::string(p, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - p) : block.size);
}

TextWithStyleBlock::TextWithStyleBlock(const char* styleFormatName) {
    if (!open_.isOpen()) return;
    text_.emplace(CF_TEXT);
    if (text_->view().data == nullptr) {
        text_.reset();
        return;
    }
    style_.emplace(RegisterClipboardFormatA(styleFormatName));
    textUpToNul_ = textUpToNul(text_->view());
}

HGLOBAL newBlockCopy(const void* data, std::size_t size) {
    return newFilledBlock(size, [data, size](unsigned char* p) {
        if (size > 0) std::memcpy(p, data, size);
        return true;
    });
}

TextBlock TextBlock::adopt(HGLOBAL block, std::size_t length) {
    TextBlock adopted;
    const char* bytes = static_cast<const char*>(GlobalLock(block));
    if (bytes == nullptr) {
        GlobalFree(block);
        return adopted;
    }
    adopted.block_ = block;
    adopted.bytes_ = bytes;
    adopted.length_ = length;
    return adopted;
}

TextBlock::TextBlock(TextBlock&& other) noexcept
    : block_(std::exchange(other.block_, nullptr)),
      bytes_(std::exchange(other.bytes_, nullptr)),
      length_(std::exchange(other.length_, 0)) {}

TextBlock& TextBlock::operator=(TextBlock&& other) noexcept {
    if (this != &other) {
        reset();
        block_ = std::exchange(other.block_, nullptr);
        bytes_ = std::exchange(other.bytes_, nullptr);
        length_ = std::exchange(other.length_, 0);
    }
    return *this;
}

HGLOBAL TextBlock::release() {
    if (block_ != nullptr) GlobalUnlock(block_);
    bytes_ = nullptr;
    length_ = 0;
    return std::exchange(block_, nullptr);
}

void TextBlock::reset() {
    HGLOBAL block = release();
    if (block != nullptr) GlobalFree(block);
}

HGLOBAL TextBlock::copy() const { return block_ != nullptr ? newBlockCopy(bytes_, length_ + 1) : nullptr; }

}  // namespace clipboard
