#include "style/style_runs.h"

#include <climits>
#include <new>
#include <stdexcept>

std::int32_t StyleRuns::charPos(std::int32_t n) const {
    if (n < 0 || n >= count()) return -1;
    return runs_[static_cast<std::size_t>(n)].charPos;
}

bool StyleRuns::add(const Run& run) {
    // Run numbers are int32.
    if (runs_.size() >= static_cast<std::size_t>(INT32_MAX)) return false;
    try {
        runs_.push_back(run);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

void StyleRuns::reserve(std::size_t n) {
    try {
        runs_.reserve(n);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
}

void StyleRuns::clear() {
    runs_.clear();
    selected_ = kNoneSelected;
}

bool StyleRuns::select(std::int32_t n) {
    if (n < 0 || n >= count()) return false;
    selected_ = n;
    return true;
}

const StyleRuns::Run& StyleRuns::selected() const {
    static const Run kNoRun = {};
    return selected_ != kNoneSelected ? runs_[static_cast<std::size_t>(selected_)] : kNoRun;
}
