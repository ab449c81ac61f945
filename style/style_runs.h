// The runs of a container that keeps each run as it was added (RTF, HTML):
// an ordered list with one run selected for the queries, and the base of
// those containers, which answers the run queries from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "style/CharStyle.h"

class StyleRuns {
  public:
    // One style run, kept small: a large document holds hundreds of thousands.
    struct Run {
        std::int32_t charPos;  // index in the text of the run's first character
        std::int16_t face;
        std::int16_t size;     // points
        std::uint32_t colour;  // 0x00RRGGBB
    };

    static_assert(sizeof(Run) == 12, "a run takes 12 bytes");

    // Number of runs; never more than INT32_MAX.
    std::int32_t count() const { return static_cast<std::int32_t>(runs_.size()); }
    // Start of run `n`, or -1 when there is no such run.
    std::int32_t charPos(std::int32_t n) const;
    // Appends `run`; false, with nothing changed, when the list holds
    // INT32_MAX runs or no memory can be had for one more.
    bool add(const Run& run);
    // Makes room for `n` runs at once when it can; otherwise room is made run
    // by run as they come.
    void reserve(std::size_t n);
    // Drops every run and the selection; the room stays.
    void clear();

    // Selects run `n`; false, with the selection unchanged, when there is none.
    bool select(std::int32_t n);
    // The selected run, or an all-zero run while none is selected.
    const Run& selected() const;

    const std::vector<Run>& all() const { return runs_; }

  private:
    static constexpr std::int32_t kNoneSelected = -1;

    std::vector<Run> runs_;
    std::int32_t selected_ = kNoneSelected;
};

// A container whose runs are a StyleRuns: counting, selecting and the run
// queries are answered here; the container adds its text and its format.
class RunListStyle : public CharStyle {
  public:
    std::int32_t count() final { return runs_.count(); }
    std::int32_t charPos(std::int32_t styleNum) final { return runs_.charPos(styleNum); }
    bool selectStyle(std::int32_t styleNum) final {
        if (!runs_.select(styleNum)) return false;
        nStyle = styleNum;
        return true;
    }
    std::int16_t getFace() final { return runs_.selected().face; }
    std::int16_t getSize() final { return runs_.selected().size; }
    std::uint32_t getRGB() final { return runs_.selected().colour & 0xFFFFFFu; }
    // Every run, in order.
    const std::vector<StyleRuns::Run>& runs() const { return runs_.all(); }

  protected:
    RunListStyle() = default;
    ~RunListStyle() = default;

    StyleRuns runs_;
};
