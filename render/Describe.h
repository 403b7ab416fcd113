#pragma once
// What the drawing surface shows, in plain words for a screen reader: the
// present state first (moving and why, at rest and where the centre hangs,
// flown off or broken down), then the centre mass and the colour scale. The
// whole takes at most about six seconds to say. Reads only.

#include <string>

#include "render/Disturbance.h"
#include "render/Survey.h"

namespace chain {

[[nodiscard]] std::string DescribeChain(const ChainSurvey& survey, Disturbance last);

}  // namespace chain
