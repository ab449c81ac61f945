#include "style/background_block.h"

#include <system_error>
#include <utility>

namespace clipboard {

BackgroundBlock::BackgroundBlock(std::function<HGLOBAL()> make, bool worthAThread) : make_(std::move(make)) {
    if (!worthAThread) return;
    try {
        thread_ = std::thread(&BackgroundBlock::run, this);
    } catch (const std::system_error&) {
        // No thread to be had: the block is made in take() instead.
    }
}

BackgroundBlock::~BackgroundBlock() {
    if (thread_.joinable()) thread_.join();
    if (block_ != nullptr) GlobalFree(block_);
}

void BackgroundBlock::run() noexcept {
    try {
        block_ = make_();
    } catch (...) {
        // Out of memory: no block, which the caller treats as a failed write.
        block_ = nullptr;
    }
    made_ = true;
}

HGLOBAL BackgroundBlock::take() {
    if (thread_.joinable()) thread_.join();
    if (!made_) run();
    return std::exchange(block_, nullptr);
}

}  // namespace clipboard
