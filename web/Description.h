#pragma once
// The controls' description (render/Controls.h) and the drawing commands'
// format (web/Surface.h) as one JSON text, which the page builds itself from.

#include <string>

namespace chain::web {

[[nodiscard]] std::string DescriptionJson();

}  // namespace chain::web
