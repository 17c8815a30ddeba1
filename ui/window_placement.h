// Where the main window first appears and how it is first shown: portable rules, tested natively.
#pragma once

#include "ui/geometry.h"

namespace orbelin {

// Centres a window (frame included) in the work area, each halved difference truncated toward zero,
// and never left of or above the desktop's top-left corner.
constexpr Point CentreInWorkArea(Rect workArea, Size window) {
    const int left = workArea.left + (workArea.width - window.width) / 2;
    const int top = workArea.top + (workArea.height - window.height) / 2;
    return {left < 0 ? 0 : left, top < 0 ? 0 : top};
}

enum class InitialShow { Normal, Maximized, MinimizedInactive };

// The show command the process was started with: maximised (3) and minimised-without-activation (7)
// are honoured; every other command opens the window normally.
constexpr InitialShow InitialShowFor(int startupShowCommand) {
    switch (startupShowCommand) {
        case 3:
            return InitialShow::Maximized;
        case 7:
            return InitialShow::MinimizedInactive;
        default:
            return InitialShow::Normal;
    }
}

}  // namespace orbelin
