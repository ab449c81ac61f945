// A clipboard block made on a thread of its own while the caller makes the
// others. For a large copy, writing the blocks is most of what converting
// costs, and they do not depend on one another: a second core writes one
// while the first writes the rest.
#pragma once

#include <cstddef>
#include <functional>
#include <thread>

#include "platform/winapi.h"

namespace clipboard {

// Text below this many bytes is converted in less time than a thread takes
// to start and join.
constexpr std::size_t kBackgroundTextBytes = 64 * 1024;

class BackgroundBlock {
  public:
    // Starts `make` on a thread of its own when `worthAThread` and a thread
    // can be had; otherwise `make` runs in take(). `make` answers a new
    // movable block, or null; until the block is taken it may only read what
    // it uses, and the caller may only read that too.
    BackgroundBlock(std::function<HGLOBAL()> make, bool worthAThread);
    BackgroundBlock(const BackgroundBlock&) = delete;
    BackgroundBlock& operator=(const BackgroundBlock&) = delete;
    // Waits for a block that was not taken, and frees it.
    ~BackgroundBlock();

    // Waits for the block and hands it over: null when it could not be made,
    // also when making it ran out of memory. Answers null after the first call.
    HGLOBAL take();

  private:
    void run() noexcept;

    std::function<HGLOBAL()> make_;
    std::thread thread_;
    HGLOBAL block_ = nullptr;
    bool made_ = false;
};

}  // namespace clipboard
