#pragma once
// The window's fixed layout in pixels (15 twips each) from the top-left of the
// client area. The end-to-end scripts read these lines too: keep one
// rectangle to a line, written as here.

#include <QRect>
#include <QSize>

#include "render/Settings.h"

namespace chain::layout {

inline constexpr QRect kPicture1(0, 0, 625, 513);
inline constexpr QRect kCommand2(8, 552, 89, 17);
inline constexpr QRect kHScroll1(344, 520, 273, 17);
inline constexpr QRect kLabel1Mass(256, 520, 74, 13);
inline constexpr QRect kCommand1(8, 520, 89, 25);
inline constexpr QRect kCommand3(104, 520, 89, 25);
inline constexpr QRect kHScroll2(344, 544, 273, 17);
inline constexpr QRect kLabel1Scale(256, 544, 80, 13);
inline constexpr QSize kClientArea(625, 574);

static_assert(kPicture1.width() == kSurfaceWidth && kPicture1.height() == kSurfaceHeight);

}  // namespace chain::layout
