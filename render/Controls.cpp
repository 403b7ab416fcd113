#include "render/Controls.h"

#include "render/Describe.h"
#include "render/Settings.h"

namespace chain {

void NudgeLeft(SpringArray& springs) { springs(CentreIndex(springs)).Vx = -kNudgeSpeed; }

void NudgeRight(SpringArray& springs) { springs(CentreIndex(springs)).Vx = kNudgeSpeed; }

void SetCentreMass(SpringArray& springs, int massBarValue) {
  springs(CentreIndex(springs)).Mass = static_cast<double>(massBarValue) / kMassBarPerMass;
}

void SetColourScale(SpringArray& springs, int scaleBarValue) {
  const double scale = static_cast<double>(scaleBarValue) / kScaleBarPerColScale;
  for (int i = springs.LBound(); i <= springs.UBound(); ++i) springs(i).ColScale = scale;
}

std::string MassWords(int massBarValue) {
  return CentreMassWords(static_cast<double>(massBarValue) / kMassBarPerMass);
}

std::string ScaleWords(int scaleBarValue) {
  return "colour scale " + std::to_string(scaleBarValue) + " of " +
         std::to_string(kScaleBar.maximum);
}

}  // namespace chain
