// What the result pane remembers of the text it was given: where each run of one colour starts and
// the colour it was written in, so that a change of colour scheme can recolour every earlier report,
// into the system's colours and back. Eight bytes a run; a run that continues the last one's colour
// costs nothing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>

#include "ui/text_style.h"

namespace orbelin::win32 {

class PaneRuns {
public:
    struct Run {
        LONG start;     // character position in the pane
        TColor colour;  // as written; the palette decides how it is drawn
    };

    PaneRuns() = default;
    ~PaneRuns() {
        if (runs_ != nullptr) {
            HeapFree(GetProcessHeap(), 0, runs_);
        }
    }
    PaneRuns(const PaneRuns&) = delete;
    PaneRuns& operator=(const PaneRuns&) = delete;

    // A run that starts at `start`; each run ends where the next starts, the last at the end of the text.
    void Append(LONG start, TColor colour) {
        if (count_ != 0 && runs_[count_ - 1].colour == colour) {
            return;
        }
        if (count_ == capacity_ && !Grow()) {
            return;  // out of memory: the run keeps the colour of the one before it when recoloured
        }
        runs_[count_++] = {start, colour};
    }

    std::span<const Run> runs() const { return {runs_, count_}; }

private:
    bool Grow() {
        const std::size_t capacity = capacity_ == 0 ? 64 : capacity_ * 2;
        void* grown = runs_ == nullptr ? HeapAlloc(GetProcessHeap(), 0, capacity * sizeof(Run))
                                       : HeapReAlloc(GetProcessHeap(), 0, runs_, capacity * sizeof(Run));
        if (grown == nullptr) {
            return false;
        }
        runs_ = static_cast<Run*>(grown);
        capacity_ = capacity;
        return true;
    }

    Run* runs_ = nullptr;
    std::size_t count_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace orbelin::win32
