#pragma once

#include "vstgui/CRect.h"

namespace VSTGUI {
class CFrame;
}

namespace VSTGUI::platform {

// The rectangle of a frame, the initial clip rectangle of contexts made for it.
CRect frameRect(CFrame* frame);

} // namespace VSTGUI::platform
