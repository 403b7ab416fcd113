// Measures the chain's known properties on the model alone, driven as the
// window drives it: passes of the 41-node chain, and the centre's mass set from
// the Mass of Center bar between two passes, as its handler does after a pass.
//
//   known_properties [--quick] [--settle N] [--watch N] [--every N] [--help]
//
// For no click and for 1 to 12 clicks on the bar's right arrow it prints the
// centre node's settled height on the drawing surface and, for four ways of
// reaching that bar value, whether the chain diverges:
//   jump@100, jump@1000  the bar set to the value after 100 / 1,000 passes
//   jump@settled         the bar set to the value after --settle passes (20,000)
//   one_by_one           one arrow click every --every passes (600) from the start
// Every run is watched for --watch passes (30,000) after its last change of
// mass. --quick shortens all three for a check that the program runs; its
// figures are not the measurement.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/Chain.h"
#include "render/Session.h"

namespace {

using chain::kLastIndex;
using chain::kTwipsPerPixel;
constexpr int kBarStart = chain::kMassBar.start;
constexpr int kBarArrow = chain::kMassBar.arrow;
constexpr int kBarMax = chain::kMassBar.maximum;
constexpr double kBarToMass = chain::kMassBar.perUnit;
constexpr int kSurfaceWidthPx = chain::kSurfacePlace.width;
constexpr int kSurfaceHeightPx = chain::kSurfacePlace.height;
constexpr int kMaxClicks = 12;

// Diverged: some node's coordinate is not finite or larger in size than this
// many surface heights. A chain at rest, however deep it sags within the
// bar's range, stays far inside it.
constexpr double kFarSurfaces = 100;
constexpr double kFarTwips = kFarSurfaces * kSurfaceHeightPx * kTwipsPerPixel;

struct Options {
  long settle = 20000;
  long watch = 30000;
  long every = 600;
};

struct Outcome {
  bool diverged = false;
  long after = 0;      // passes after the latest change when it was first seen
  double centreY = 0;  // the centre node's y at the end, in twips
};

double MassOf(int bar) { return static_cast<double>(bar) / kBarToMass; }

bool Diverged(chain::SpringArray& springs) {
  for (int i = springs.LBound(); i <= springs.UBound(); ++i) {
    const chain::Spring& s = springs(i);
    if (!std::isfinite(s.xPos) || !std::isfinite(s.yPos) || std::fabs(s.xPos) > kFarTwips ||
        std::fabs(s.yPos) > kFarTwips) {
      return true;
    }
  }
  return false;
}

// Runs from start-up. Before pass number `changes[j]` (counted from 0) the
// centre's mass becomes that of bar value `bars[j]`; after the last change
// the run goes on for `watch` passes. Stops at the first sign of divergence,
// which may come before the last change.
Outcome Run(const long* changes, const int* bars, int count, long watch) {
  chain::SpringArray springs;
  chain::SetUpChain(springs, kLastIndex);
  chain::Spring& centre = springs(chain::CentreIndex(springs));
  const long last = count > 0 ? changes[count - 1] : 0;
  Outcome out;
  int next = 0;
  long changed = 0;  // the pass before which the mass last changed
  for (long pass = 0; pass < last + watch; ++pass) {
    while (next < count && changes[next] == pass) {
      centre.Mass = MassOf(bars[next++]);
      changed = pass;
    }
    chain::PhysicsPass(springs);
    if (Diverged(springs)) {
      out.diverged = true;
      out.after = pass + 1 - changed;
      break;
    }
  }
  out.centreY = centre.yPos;
  return out;
}

Outcome Jump(long at, int bar, long watch) { return Run(&at, &bar, 1, watch); }

Outcome OneByOne(int clicks, long every, long watch) {
  long changes[kMaxClicks] = {};
  int bars[kMaxClicks] = {};
  for (int j = 0; j < clicks; ++j) {
    changes[j] = (j + 1) * every;
    bars[j] = kBarStart + (j + 1) * kBarArrow;
  }
  return Run(changes, bars, clicks, watch);
}

std::string Cell(const Outcome& o) {
  if (!o.diverged) return "holds";
  return "diverges@" + std::to_string(o.after);
}

// A count of passes from the command line: 1 to a billion, so that twelve
// clicks' worth of them still fits a long.
long Passes(const char* text) {
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || errno != 0 || v <= 0 || v > 1000000000L) {
    std::fprintf(stderr, "known_properties: not a count of passes from 1 to 1e9: %s\n", text);
    std::exit(2);
  }
  return v;
}

void Usage(std::FILE* to) {
  std::fprintf(to,
               "usage: known_properties [--quick] [--settle N] [--watch N] [--every N] [--help]\n");
}

Options Parse(int argc, char* argv[]) {
  Options o;
  for (int a = 1; a < argc; ++a) {
    const bool hasValue = a + 1 < argc;
    if (std::strcmp(argv[a], "--help") == 0) {
      Usage(stdout);
      std::exit(0);
    } else if (std::strcmp(argv[a], "--quick") == 0) {
      o = Options{2000, 3000, 60};
    } else if (std::strcmp(argv[a], "--settle") == 0 && hasValue) {
      o.settle = Passes(argv[++a]);
    } else if (std::strcmp(argv[a], "--watch") == 0 && hasValue) {
      o.watch = Passes(argv[++a]);
    } else if (std::strcmp(argv[a], "--every") == 0 && hasValue) {
      o.every = Passes(argv[++a]);
    } else {
      Usage(stderr);
      std::exit(2);
    }
  }
  return o;
}

}  // namespace

int main(int argc, char* argv[]) {
  const Options o = Parse(argc, argv);
  std::printf(
      "Chain of %d nodes; the Mass of Center bar runs %d..%d from %d, arrow step %d;"
      " centre mass = bar / %g.\n",
      kLastIndex + 1, kBarStart, kBarMax, kBarStart, kBarArrow, kBarToMass);
  std::printf(
      "Drawing surface: %d x %d px (%.0f x %.0f twips), drawn unscaled at %g twips"
      " a pixel.\n",
      kSurfaceWidthPx, kSurfaceHeightPx, kSurfaceWidthPx * kTwipsPerPixel,
      kSurfaceHeightPx * kTwipsPerPixel, kTwipsPerPixel);
  std::printf(
      "Diverges: within %ld passes after the last change of mass, a node's coordinate"
      " is not finite or exceeds %g surface heights (%.0f twips) in size;"
      " diverges@N: first seen N passes after the latest change.\n",
      o.watch, kFarSurfaces, kFarTwips);
  std::printf(
      "jump@P: the bar set to the value after P passes (settled: %ld); one_by_one: one"
      " arrow click every %ld passes from the start.\n",
      o.settle, o.every);
  std::printf(
      "centre_px: the centre node's height at rest, %ld passes after the settled jump"
      " (after the last click one by one where that jump diverged; - where both did),"
      " in pixels from the top; below: under the lower edge (%d px).\n\n",
      o.watch, kSurfaceHeightPx);
  std::printf("%-6s %-5s %-4s %-9s %-5s %-14s %-14s %-14s %s\n", "clicks", "bar", "mass",
              "centre_px", "below", "jump@100", "jump@1000", "jump@settled", "one_by_one");
  for (int k = 0; k <= kMaxClicks; ++k) {
    const int bar = kBarStart + k * kBarArrow;
    const Outcome early = Jump(100, bar, o.watch);
    const Outcome later = Jump(1000, bar, o.watch);
    const Outcome settled = Jump(o.settle, bar, o.watch);
    const Outcome stepped = OneByOne(k, o.every, o.watch);
    // The height where the chain came to rest: after the settled jump, or
    // after the clicks one by one where the jump diverged.
    const Outcome* rest = !settled.diverged ? &settled : !stepped.diverged ? &stepped : nullptr;
    const double px = rest ? rest->centreY / kTwipsPerPixel : 0;
    const std::string height = rest ? std::to_string(std::lround(px)) : "-";
    const char* below = !rest ? "-" : px > kSurfaceHeightPx ? "yes" : "no";
    std::printf("%-6d %-5d %-4g %-9s %-5s %-14s %-14s %-14s %s\n", k, bar, MassOf(bar),
                height.c_str(), below, Cell(early).c_str(), Cell(later).c_str(),
                Cell(settled).c_str(), Cell(stepped).c_str());
  }
  return 0;
}
