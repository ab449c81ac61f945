// A container over plain vectors: a source of runs for CharStyle::copy and
// the converting constructors, and a destination that records what copy
// does to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "style/CharStyle.h"

class RecordingStyle : public CharStyle {
  public:
    struct Run {
        std::int32_t pos;
        std::int16_t size;
        std::int16_t face;
        std::uint32_t colour;
        std::int16_t font = 0;
    };
    RecordingStyle(std::string t, std::vector<Run> r, std::size_t capacity = 1000)
        : text(std::move(t)), runs(std::move(r)), capacity_(capacity) {}

    std::int32_t count() override { return static_cast<std::int32_t>(runs.size()); }
    std::int32_t charPos(std::int32_t n) override {
        return n >= 0 && n < count() ? runs[static_cast<std::size_t>(n)].pos : -1;
    }
    bool add(std::int32_t pos, std::int16_t size, std::int16_t face, std::uint32_t colour, std::int16_t font) override {
        ++addCalls;
        if (runs.size() >= capacity_) return false;
        runs.push_back(Run{pos, size, face, colour, font});
        return true;
    }
    bool addStyleToClipboard() override { return false; }
    void setText(std::string t) override {
        ++setTextCalls;
        text = std::move(t);
        runs.clear();
    }
    std::string getText() override { return text; }
    bool selectStyle(std::int32_t n) override {
        if (n < 0 || n >= count()) return false;
        sel_ = &runs[static_cast<std::size_t>(n)];
        return true;
    }
    std::int16_t getFace() override { return sel_->face; }
    std::int16_t getSize() override { return sel_->size; }
    std::uint32_t getRGB() override { return sel_->colour; }

    std::string text;
    std::vector<Run> runs;
    int setTextCalls = 0;
    int addCalls = 0;

  private:
    std::size_t capacity_;
    Run* sel_ = nullptr;
};
