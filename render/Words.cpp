#include "render/Words.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace chain {

std::string Number(double value, int decimals) {
  if (!std::isfinite(value)) return "not a number";
  // printf rounds exactly; whatever decimal point a locale puts there becomes a point.
  std::array<char, 64> buffer{};
  const int length = std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, value);
  if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) return "out of range";
  std::string text(buffer.data(), static_cast<std::size_t>(length));
  for (char& c : text) {
    if (c != '-' && (c < '0' || c > '9')) c = '.';
  }
  if (decimals > 0) {
    while (text.ends_with('0')) text.pop_back();
    if (text.ends_with('.')) text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

std::string Join(std::initializer_list<std::string> phrases) {
  std::string text;
  for (const std::string& words : phrases) {
    if (words.empty()) continue;
    if (!text.empty()) text += ", ";
    text += words;
  }
  return text;
}

std::string Capitalised(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

std::string MassWords(double mass) { return "centre mass " + Number(mass, 1); }

std::string ScaleWords(double colourScale) {
  const double steps = colourScale * kScaleBarPerColScale;
  std::string words = "colour scale " + Number(steps, 1);
  // Only the bar sets the scale, one whole step at a time: any other value is
  // the one every node starts with, which holds until the bar first moves.
  const double whole = std::round(steps);
  if (!(std::fabs(steps - whole) < 1e-9 && whole >= kScaleBar.minimum &&
        whole <= kScaleBar.maximum)) {
    words += " until the bar is moved";
  }
  return words;
}

std::string BarWords(Bar bar, int value) {
  const BarSettings& settings = SettingsOf(bar);
  std::string words = bar == Bar::kMass ? MassWords(value / settings.perUnit)
                                        : ScaleWords(value / kScaleBarPerColScale);
  if (value >= settings.maximum) return Join({words, "the largest"});
  if (value <= settings.minimum) return Join({words, "the smallest"});
  return words;
}

std::string MotionWords(bool moving, Disturbance last) {
  if (!moving) return "at rest";
  switch (last) {
    case Disturbance::kNudgeLeft:
      return "swinging after a nudge to the left";
    case Disturbance::kNudgeRight:
      return "swinging after a nudge to the right";
    case Disturbance::kMassChange:
      return "swinging after a mass change";
    case Disturbance::kNone:
      break;
  }
  return "falling";
}

std::string HangWords(const ChainSurvey& survey) {
  if (survey.centreBelowSurface) return "centre below the picture";
  if (!survey.sagPixels) return "";
  const double sag = std::round(*survey.sagPixels);
  if (sag >= 1) return "sagging " + Number(sag, 0) + " pixels";
  if (sag <= -1) return "bowed up " + Number(-sag, 0) + " pixels";
  return "not sagging";
}

std::string LostWords(const ChainSurvey& survey) {
  if (survey.phase == Phase::kBrokenDown) return "simulation broken down";
  if (survey.phase == Phase::kFlownOff) return "flown off the picture";
  return "";
}

}  // namespace chain
