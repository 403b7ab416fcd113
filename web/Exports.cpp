#include "web/Exports.h"

#include <string>

#include "model/Chain.h"
#include "render/Announce.h"
#include "render/Controls.h"
#include "render/Describe.h"
#include "render/Draw.h"
#include "render/Settings.h"
#include "web/BarStep.h"
#include "web/Surface.h"

#if defined(__EMSCRIPTEN__)
#include <emscripten/emscripten.h>
#define CHAIN_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define CHAIN_EXPORT
#endif

namespace chain::web {
namespace {

struct Page {
  SpringArray springs;
  Surface surface{kSurfaceWidth, kSurfaceHeight};
  Disturbance last = Disturbance::kNone;
  int actions = 0;      // nudges and centre-mass changes so far
  bool passed = false;  // the first pass is done
  Announcer announcer;
  std::string words;  // what the last call returning words returned
};

Page& TheChain() {
  static Page page;
  return page;
}

SurfaceSize Size() {
  return SurfaceSize{static_cast<double>(kSurfaceWidth), static_cast<double>(kSurfaceHeight),
                     kTwipsPerPixel};
}

const BarSettings* Bar(int bar) {
  if (bar == 0) return &kMassBar;
  if (bar == 1) return &kScaleBar;
  return nullptr;
}

const char* Words(std::string text) {
  TheChain().words = std::move(text);
  return TheChain().words.c_str();
}

}  // namespace
}  // namespace chain::web

using chain::web::TheChain;

extern "C" {

CHAIN_EXPORT void chain_start() {
  auto& page = TheChain();
  page = chain::web::Page{};
  chain::SetUpChain(page.springs, chain::kLastIndex);
}

CHAIN_EXPORT int chain_pass() {
  auto& page = TheChain();
  chain::PhysicsPass(page.springs);  // a node whose move faults costs only that node
  page.surface.Clear();
  chain::DrawChain(page.springs, page.surface);
  page.passed = true;
  return page.surface.Count();
}

CHAIN_EXPORT const double* chain_commands() { return TheChain().surface.Commands().data(); }

CHAIN_EXPORT void chain_nudge_left() {
  chain::NudgeLeft(TheChain().springs);
  TheChain().last = chain::Disturbance::kNudgeLeft;
  ++TheChain().actions;
}

CHAIN_EXPORT void chain_nudge_right() {
  chain::NudgeRight(TheChain().springs);
  TheChain().last = chain::Disturbance::kNudgeRight;
  ++TheChain().actions;
}

CHAIN_EXPORT void chain_mass_bar(int value) {
  chain::SetCentreMass(TheChain().springs, value);
  TheChain().last = chain::Disturbance::kMassChange;
  ++TheChain().actions;
}

CHAIN_EXPORT void chain_scale_bar(int value) { chain::SetColourScale(TheChain().springs, value); }

CHAIN_EXPORT int chain_bar(int bar, int field) {
  const chain::BarSettings* b = chain::web::Bar(bar);
  if (b == nullptr) return -1;
  switch (field) {
    case 0:
      return b->minimum;
    case 1:
      return b->maximum;
    case 2:
      return b->arrow;
    case 3:
      return b->page;
    case 4:
      return b->start;
    default:
      return -1;
  }
}

CHAIN_EXPORT int chain_bar_step(int bar, int value, int action) {
  const chain::BarSettings* b = chain::web::Bar(bar);
  if (b == nullptr || action < 0 || action > static_cast<int>(chain::web::BarAction::kToMaximum)) {
    return value;
  }
  return chain::web::Step(*b, value, static_cast<chain::web::BarAction>(action));
}

CHAIN_EXPORT const char* chain_bar_words(int bar, int value) {
  if (bar == 0) return chain::web::Words(chain::MassWords(value));
  if (bar == 1) return chain::web::Words(chain::ScaleWords(value));
  return chain::web::Words({});
}

CHAIN_EXPORT const char* chain_surface_words() {
  auto& page = TheChain();
  return chain::web::Words(chain::DescribeChain(page.springs, chain::web::Size(), page.last));
}

CHAIN_EXPORT const char* chain_announcement() {
  auto& page = TheChain();
  // Before the first pass the chain has not started to fall: words then would call it at rest.
  if (!page.passed) return chain::web::Words({});
  return chain::web::Words(
      page.announcer.Next(page.springs, chain::web::Size(), page.last, page.actions));
}

CHAIN_EXPORT int chain_surface_width() { return chain::kSurfaceWidth; }
CHAIN_EXPORT int chain_surface_height() { return chain::kSurfaceHeight; }
CHAIN_EXPORT unsigned chain_background() { return chain::kSurfaceBackgroundRgb; }

CHAIN_EXPORT const char* chain_call_hash() {
  return chain::web::Words(TheChain().surface.Calls().Hex());
}

}  // extern "C"
