#include "render/Draw.h"

#include <cmath>

#include "model/Checked.h"

namespace chain {

std::optional<double> StrainNumber(double restLength, double length, double stiffness,
                                   double colScale) noexcept {
  Checked c;
  const double s =
      c.Add(c.Mul(c.Mul(std::fabs(c.Sub(restLength, length)), stiffness), colScale), 10.0);
  if (c.Faulted()) return std::nullopt;
  return std::floor(s);
}

double LinkColour(double strainNumber) noexcept {
  // The floor was taken before this cap: 254.9 + 10 gives green 254, not 255.
  const double green = strainNumber > 255.0 ? 255.0 : strainNumber;
  return 255.0 + 256.0 * green;
}

std::optional<ColourWord> ToColourWord(double linkValue) noexcept {
  if (!(linkValue >= 0.0 && linkValue <= 16777215.0)) return std::nullopt;
  return static_cast<ColourWord>(linkValue);
}

namespace {

// The line of one link in the colour held by the link value; a value that is no
// colour fails the call, and so costs just that line.
void LinkLine(const Spring& node, const Spring& other, double linkValue, DrawTarget& obj) noexcept {
  const std::optional<ColourWord> colour = ToColourWord(linkValue);
  if (!colour) return;
  try {
    obj.Line(node.xPos, node.yPos, other.xPos, other.yPos, *colour);
  } catch (const std::exception&) {  // NOLINT(bugprone-empty-catch)
    // The target failed this one drawing, which costs just that drawing.
  }
}

// One link from `node` to `other`, whose length, rest length and stiffness
// `owner` holds: the strain number goes into the link value when it can be
// computed, then the value becomes its colour word and the line is drawn.
void DrawLink(const Spring& node, const Spring& other, const Spring& owner, double& linkValue,
              DrawTarget& obj) noexcept {
  if (const std::optional<double> length = owner.distNext()) {
    if (const std::optional<double> strain =
            StrainNumber(owner.nextLength, *length, owner.nextK, node.ColScale)) {
      linkValue = *strain;
    }
  }
  linkValue = LinkColour(linkValue);
  LinkLine(node, other, linkValue, obj);
}

}  // namespace

void Draw(const Spring& node, DrawTarget& obj) noexcept {
  // One link value serves both links of the call: it holds a link's strain
  // number, then that link's colour word. It starts empty (0), so a strain that
  // cannot be computed at the first link leaves pure red, and at the second
  // link whatever the first one left (yellow after a previous link).
  double linkValue = 0;

  if (node.hasPrev) DrawLink(node, *node.prevSpring, *node.prevSpring, linkValue, obj);
  if (node.hasNext) DrawLink(node, *node.nextSpring, node, linkValue, obj);

  const ColourWord circleColour = node.hasNext && node.hasPrev ? kPureRed : kPureBlue;
  const double radius = node.Mass * 0.02 + 20;  // cannot overflow from a finite mass
  try {
    obj.Circle(node.xPos, node.yPos, radius, circleColour);
  } catch (const std::exception&) {  // NOLINT(bugprone-empty-catch)
    // As for a line: the circle alone is lost.
  }
}

void DrawChain(SpringArray& springs, DrawTarget& obj) {
  for (int i = springs.LBound(); i <= springs.UBound(); ++i) Draw(springs(i), obj);
}

}  // namespace chain
