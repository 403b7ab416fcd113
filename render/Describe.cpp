#include "render/Describe.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "render/Settings.h"

namespace chain {

namespace {

// A number as words read it, without the locale's separators: at most one
// decimal, none when it is whole ("1", "51.5").
std::string Number(double value, int decimals) {
  if (!std::isfinite(value)) return "not a number";
  std::array<char, 64> buffer{};
#if defined(__cpp_lib_to_chars)
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                          std::chars_format::fixed, decimals);
  if (error != std::errc()) return "out of range";
  std::string text(buffer.data(), end);
#else
  // A standard library without to_chars for doubles (the WebAssembly build's):
  // printf rounds the same, exactly; whatever decimal point a locale would put
  // there becomes a point.
  const int length = std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, value);
  if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) return "out of range";
  std::string text(buffer.data(), static_cast<std::size_t>(length));
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c != '-' && (c < '0' || c > '9'); }, '.');
#endif
  if (decimals > 0 && text.ends_with(".0")) text.resize(text.size() - 2);
  return text == "-0" ? "0" : text;
}

}  // namespace

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

std::string CentreMassWords(double mass) { return "centre mass " + Number(mass, 1); }

// In the units of the colour-scale bar, which sets it.
std::string ColourScaleWords(double colourScale) {
  return "colour scale " + Number(colourScale * kScaleBarPerColScale, 1);
}

std::string LostWords(const ChainSurvey& survey) {
  if (survey.phase == Phase::kBrokenDown) return "simulation broken down";
  if (survey.phase == Phase::kFlownOff) return "flown off the picture";
  return "";
}

std::string DescribeChain(const SpringArray& springs, const SurfaceSize& surface,
                          Disturbance last) {
  const ChainSurvey survey = SurveyChain(springs, surface);
  if (survey.phase == Phase::kNoChain) return "No chain";
  std::string text;
  const auto add = [&text](const std::string& words) {
    if (words.empty()) return;
    if (!text.empty()) text += ", ";
    text += words;
  };
  add(LostWords(survey));
  if (text.empty()) add(MotionWords(survey.phase == Phase::kMoving, last));
  if (survey.phase == Phase::kAtRest) add(HangWords(survey));
  if (survey.centreMass) add(CentreMassWords(*survey.centreMass));
  if (survey.colourScale) add(ColourScaleWords(*survey.colourScale));
  if (!survey.fixedEnds) {
    add(std::to_string(survey.fixed) + (survey.fixed == 1 ? " fixed mass" : " fixed masses"));
  }
  text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

}  // namespace chain
