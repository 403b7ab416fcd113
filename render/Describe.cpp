#include "render/Describe.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace chain {

namespace {

// About how fast the hanging chain swings back and forth, per unit of
// simulated time: one period of its slowest swing takes some 280 passes.
constexpr double kSwingRate = 0.075;
// Less movement than this, in pixels, does not show.
constexpr double kStillPixels = 0.5;

// A number as words read it, without the locale's separators: at most one
// decimal, none when it is whole ("1", "51.5").
std::string Number(double value, int decimals) {
  if (!std::isfinite(value)) return "not a number";
  std::array<char, 64> buffer{};
  const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                          std::chars_format::fixed, decimals);
  if (error != std::errc()) return "out of range";
  std::string text(buffer.data(), end);
  if (decimals > 0 && text.ends_with(".0")) text.resize(text.size() - 2);
  return text == "-0" ? "0" : text;
}

std::string Count(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool Finite(const Spring& s) { return std::isfinite(s.xPos) && std::isfinite(s.yPos); }

bool OnSurface(const Spring& s, const SurfaceSize& surface) {
  const double x = s.xPos / surface.twipsPerPixel;
  const double y = s.yPos / surface.twipsPerPixel;
  return x >= 0 && x < surface.widthPixels && y >= 0 && y < surface.heightPixels;
}

// How far a node would travel over a swing, judged from its speed and its
// acceleration (so a node at the turning point of its swing counts too).
double Reach(const Spring& s) {
  const double speed = std::hypot(s.Vx, s.Vy);
  const double pull = std::hypot(s.Ax, s.Ay);
  return std::hypot(speed / kSwingRate, pull / (kSwingRate * kSwingRate));
}

// Where along the chain a link lies, as a fraction 0..1 of its length, in words.
const char* Place(double f) {
  if (f < 0.25) return "the left end";
  if (f > 0.75) return "the right end";
  if (f < 0.4) return "left of the centre";
  if (f > 0.6) return "right of the centre";
  return "the centre";
}

// The strain of each link, as its colour shows it: how far it is from its rest
// length, times its stiffness.
std::string StrainWords(const SpringArray& springs) {
  const int first = springs.LBound();
  const int links = springs.Count() - 1;
  double best[2] = {-1, -1};  // left half, right half
  int where[2] = {0, 0};
  for (int j = 0; j < links; ++j) {
    const Spring* s = springs.Peek(first + j);
    if (s == nullptr || !s->hasNext) continue;
    const std::optional<double> length = s->distNext();
    if (!length) continue;
    const double strain = std::fabs(*length - s->nextLength) * s->nextK;
    if (!std::isfinite(strain)) continue;
    const int half = 2 * j + 1 < links ? 0 : 1;
    if (strain > best[half]) best[half] = strain, where[half] = j;
  }
  const double most = std::max(best[0], best[1]);
  if (most < 0) return "";
  if (most < 1) return "springs at their rest length";
  const auto fraction = [links](int j) { return (j + 0.5) / links; };
  if (std::fabs(best[0] - best[1]) <= 0.01 * most) {
    const std::string place = Place(fraction(where[0]));
    if (place == "the left end") return "springs most strained near the ends";
    if (place == "left of the centre") return "springs most strained on both sides of the centre";
    return "springs most strained near the centre";
  }
  const int j = best[0] > best[1] ? where[0] : where[1];
  return std::string("springs most strained near ") + Place(fraction(j));
}

std::string Motion(bool moving, Disturbance last) {
  if (!moving) return "at rest";
  switch (last) {
    case Disturbance::kNudgeLeft:
      return "swinging after a nudge to the left";
    case Disturbance::kNudgeRight:
      return "swinging after a nudge to the right";
    case Disturbance::kMassChange:
      return "swinging after the centre mass changed";
    case Disturbance::kNone:
      break;
  }
  return "swinging as it settles";
}

}  // namespace

std::string DescribeChain(const SpringArray& springs, const SurfaceSize& surface,
                          Disturbance last) {
  const int n = springs.Count();
  if (n == 0) return "No chain";
  int fixed = 0;
  int free = 0;
  int notFinite = 0;
  int freeOnSurface = 0;
  int offSurface = 0;
  double reach = 0;
  for (int i = springs.LBound(); i <= springs.UBound(); ++i) {
    const Spring* s = springs.Peek(i);
    if (s == nullptr) continue;
    if (s->IsFree()) {
      ++free;
    } else {
      ++fixed;
    }
    if (!Finite(*s)) {
      ++notFinite;
      continue;
    }
    const bool on = OnSurface(*s, surface);
    if (!on) ++offSurface;
    if (s->IsFree()) {
      if (on) ++freeOnSurface;
      const double r = Reach(*s);
      reach = std::isnan(r) ? std::numeric_limits<double>::infinity() : std::max(reach, r);
    }
  }

  std::string text = "Chain of " + Count(n, "mass", "masses");
  const Spring* firstNode = springs.Peek(springs.LBound());
  const Spring* lastNode = springs.Peek(springs.UBound());
  if (fixed == 2 && n > 1 && firstNode != nullptr && !firstNode->IsFree() && lastNode != nullptr &&
      !lastNode->IsFree()) {
    text += " between two fixed ends";
  } else {
    text += " with " + Count(fixed, "fixed mass", "fixed masses");
  }

  const Spring* centre = springs.Peek(CentreIndex(springs));
  const std::string mass =
      centre != nullptr ? "; centre mass " + Number(centre->Mass, 1) : std::string();

  if (notFinite > 0) {
    return text + ": the simulation has broken down, " +
           Count(notFinite, "mass has", "masses have") +
           " no position any more and cannot be shown" + mass;
  }
  if (free > 0 && freeOnSurface == 0) {
    return text + ": the chain has flown off the surface" +
           (offSurface < n ? ", only its fixed ends are left on it" : "") + mass;
  }

  const bool moving = reach / surface.twipsPerPixel > kStillPixels;
  text += ", " + Motion(moving, last);
  if (centre != nullptr && firstNode != nullptr && lastNode != nullptr && n > 2) {
    const double ends = (firstNode->yPos + lastNode->yPos) / 2;
    const double sag = (centre->yPos - ends) / surface.twipsPerPixel;
    // While the chain moves the sag changes all the time: tens of pixels do.
    const double shown = moving ? std::round(sag / 10) * 10 : std::round(sag);
    const std::string about = moving ? "about " : "";
    if (shown >= 1) {
      text += ", sagging " + about + Number(shown, 0) + " pixels at the centre";
    } else if (shown <= -1) {
      text += ", bowed upward " + about + Number(-shown, 0) + " pixels at the centre";
    } else {
      text += ", not sagging";
    }
  }
  if (offSurface > 0) {
    text += ", " + std::to_string(offSurface) + " of its " + std::to_string(n) +
            " masses outside the surface";
  }
  text += mass;
  const std::string strain = StrainWords(springs);
  if (!strain.empty()) text += "; " + strain;
  return text;
}

}  // namespace chain
