// The runs as the "HTML Format" writer writes them, and a tally of their
// looks. Used by style/html_writer.cpp alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "style/face_bits.h"
#include "style/html_writer.h"
#include "style/style_runs.h"

namespace htmlwriter {

// The face bits the block states; the others have no place in it.
constexpr int kWrittenFaces =
    kFaceBold | kFaceItalic | kFaceUnderline | kFaceStrikethrough | kFaceSuperscript | kFaceSubscript;

using Look = HtmlDocument::Look;

// A look as one number, to be counted, and back.
inline std::uint64_t lookKey(const Look& look) {
    return look.colour | static_cast<std::uint64_t>(static_cast<std::uint16_t>(look.size)) << 24 |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(look.face)) << 40;
}
inline Look lookOfKey(std::uint64_t key) {
    return Look{static_cast<std::uint16_t>(key >> 40), static_cast<std::int16_t>(static_cast<std::uint16_t>(key >> 24)),
                static_cast<std::uint32_t>(key & 0xFFFFFF)};
}

inline Look lookOf(const StyleRuns::Run& run) {
    return Look{run.face & kWrittenFaces, run.size > 0 ? run.size : std::int16_t{0}, run.colour & 0xFFFFFFu};
}

// Walks the runs as the block writes them, one at a time, holding none:
// starts clamped into the text and never before the previous run's, a run
// of no text giving way to the next, neighbours that look the same joined,
// and a run at the very end of the text left out.
class WrittenRuns {
  public:
    WrittenRuns(const std::vector<StyleRuns::Run>& runs, std::size_t textLength)
        : runs_(runs), textLength_(textLength) {}

    // Moves to the next written run; false when there is none.
    bool next() {
        if (!pending_) return false;
        start_ = pendingStart_;
        look_ = pendingLook_;
        pending_ = false;
        for (; next_ < runs_.size(); ++next_) {
            const StyleRuns::Run& run = runs_[next_];
            std::size_t start = run.charPos < 0 ? 0 : static_cast<std::size_t>(run.charPos);
            if (start > textLength_) start = textLength_;
            if (start < position_) start = position_;
            position_ = start;
            const Look look = lookOf(run);
            if (start == start_) {
                look_ = look;  // the run before has no text
            } else if (!(look == look_)) {
                pendingStart_ = start;
                pendingLook_ = look;
                pending_ = true;
                ++next_;
                break;
            }
        }
        end_ = pending_ ? pendingStart_ : textLength_;
        return start_ < textLength_;
    }

    // Starts the walk over; the first call of next() gives the first run.
    void restart() {
        next_ = 0;
        position_ = 0;
        pending_ = false;
        for (; next_ < runs_.size() && !pending_; ++next_) {
            const StyleRuns::Run& run = runs_[next_];
            std::size_t start = run.charPos < 0 ? 0 : static_cast<std::size_t>(run.charPos);
            if (start > textLength_) start = textLength_;
            position_ = start;
            pendingStart_ = start;
            pendingLook_ = lookOf(run);
            pending_ = true;
        }
    }

    std::size_t start() const { return start_; }
    std::size_t end() const { return end_; }
    // Where the walk stands while a run waits to be given by next(), to
    // take the walk up there again later; only while waiting().
    bool waiting() const { return pending_; }
    HtmlDocument::ResumePoint resumePoint() const { return {next_, position_, pendingStart_, pendingLook_}; }
    // Takes the walk up where resumePoint() left it.
    void resume(const HtmlDocument::ResumePoint& at) {
        next_ = at.nextRun;
        position_ = at.position;
        pending_ = true;
        pendingStart_ = at.start;
        pendingLook_ = at.look;
    }
    const Look& look() const { return look_; }

  private:
    const std::vector<StyleRuns::Run>& runs_;
    std::size_t textLength_;
    std::size_t next_ = 0;      // the first run not yet looked at
    std::size_t position_ = 0;  // the latest clamped start
    bool pending_ = false;      // a run waits at pendingStart_
    std::size_t pendingStart_ = 0;
    Look pendingLook_{};
    std::size_t start_ = 0;
    std::size_t end_ = 0;
    Look look_{};
};

// Counts how often each key occurs, in a table of open addressing that
// doubles when half full: a document uses few sizes and colours, each over
// and over, but one made by a program may give every run a colour of its own.
template <class Key>
class Tally {
  public:
    Tally() : slots_(kFirstSlots) {}

    void add(Key key, std::size_t times = 1) {
        Slot* slot = find(key);
        if (slot->count == 0) {
            if (2 * (used_ + 1) > slots_.size()) {
                grow();
                slot = find(key);
            }
            slot->key = key;
            ++used_;
        }
        slot->count += times;
    }
    // Calls visit(key, count) for each key counted, in no particular order.
    template <class Visit>
    void forEach(const Visit& visit) const {
        for (const Slot& slot : slots_)
            if (slot.count > 0) visit(slot.key, slot.count);
    }
    // The most common key, the least of those equally common; `otherwise`
    // when none was counted.
    Key mostCommonOr(Key otherwise) const {
        Key best = otherwise;
        std::size_t bestCount = 0;
        for (const Slot& slot : slots_)
            if (slot.count > bestCount || (slot.count > 0 && slot.count == bestCount && slot.key < best)) {
                best = slot.key;
                bestCount = slot.count;
            }
        return best;
    }

  private:
    static constexpr std::size_t kFirstSlots = 64;
    struct Slot {
        Key key{};
        std::size_t count = 0;  // 0: free
    };

    Slot* find(Key key) {
        const std::size_t mask = slots_.size() - 1;
        const std::uint64_t h = static_cast<std::uint64_t>(key) * 0x9E3779B97F4A7C15ull;
        for (std::size_t i = static_cast<std::size_t>(h >> 32) & mask;; i = (i + 1) & mask)
            if (slots_[i].count == 0 || slots_[i].key == key) return &slots_[i];
    }
    void grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& slot : old)
            if (slot.count > 0) *find(slot.key) = slot;
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

}  // namespace htmlwriter
