#pragma once
// A node painting its links and itself on a target, and the chain painting all its nodes.

#include <optional>

#include "model/Chain.h"
#include "model/Spring.h"
#include "render/DrawTarget.h"

namespace chain {

// The link to the previous node, then the link to the next node, each in the
// colour of its strain, then the node's circle: pure red for a free node,
// pure blue for a fixed one, radius Mass * 0.02 + 20. Reads only; a step that
// fails (a fault in the arithmetic, a target operation that throws) costs that
// step alone, and nothing is reported.
void Draw(const Spring& node, DrawTarget& obj) noexcept;

// The whole chain: Draw for every node, first index to last.
void DrawChain(SpringArray& springs, DrawTarget& obj);

// The strain number of a link: floor(|rest - current| * stiffness * colScale + 10).
// Empty when the arithmetic faults.
[[nodiscard]] std::optional<double> StrainNumber(double restLength, double length, double stiffness,
                                                 double colScale) noexcept;

// The colour word of a strain number: red 255 and green min(strain, 255), as a
// double the way the link value holds it (NaN stays NaN).
[[nodiscard]] double LinkColour(double strainNumber) noexcept;

// The colour word handed to the target; empty when the value is no colour
// (NaN, or outside 0..0xFFFFFF, as a negative strain would give).
[[nodiscard]] std::optional<ColourWord> ToColourWord(double linkValue) noexcept;

}  // namespace chain
