#include "web/Exports.h"

#include <algorithm>
#include <optional>
#include <string>

#include "render/Session.h"
#include "web/Description.h"
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
  Session session{};
  Surface surface{static_cast<double>(kSurfacePlace.width),
                  static_cast<double>(kSurfacePlace.height)};
  Words words;
  std::string text;  // what the last call returning words returned
};

Page& ThePage() {
  static Page page;
  return page;
}

std::optional<Bar> BarOf(int bar) {
  if (bar == 0) return Bar::kMass;
  if (bar == 1) return Bar::kScale;
  return std::nullopt;
}

const char* Text(std::string text) {
  ThePage().text = std::move(text);
  return ThePage().text.c_str();
}

}  // namespace
}  // namespace chain::web

using chain::web::BarOf;
using chain::web::ThePage;

extern "C" {

CHAIN_EXPORT const char* chain_description() {
  return chain::web::Text(chain::web::DescriptionJson());
}

CHAIN_EXPORT void chain_start() { ThePage() = chain::web::Page{}; }

CHAIN_EXPORT int chain_pass() {
  auto& page = ThePage();
  page.session.Pass(page.surface);
  return page.surface.Count();
}

CHAIN_EXPORT const double* chain_commands() { return ThePage().surface.Commands().data(); }

CHAIN_EXPORT void chain_nudge_left() { ThePage().session.NudgeLeft(); }
CHAIN_EXPORT void chain_nudge_right() { ThePage().session.NudgeRight(); }

CHAIN_EXPORT int chain_bar_act(int bar, int action) {
  const auto b = BarOf(bar);
  if (!b) return -1;
  if (action < 0 || action > static_cast<int>(chain::BarAction::kToMaximum)) {
    return ThePage().session.BarValue(*b);
  }
  return ThePage().session.BarAct(*b, static_cast<chain::BarAction>(action));
}

CHAIN_EXPORT void chain_bar_set(int bar, int value) {
  if (const auto b = BarOf(bar)) {
    const chain::BarSettings& s = chain::SettingsOf(*b);
    ThePage().session.BarSet(*b, std::clamp(value, s.minimum, s.maximum));
  }
}

CHAIN_EXPORT int chain_bar_value(int bar) {
  const auto b = BarOf(bar);
  return b ? ThePage().session.BarValue(*b) : -1;
}

CHAIN_EXPORT const char* chain_bar_words(int bar) {
  const auto b = BarOf(bar);
  return chain::web::Text(b ? ThePage().session.BarWords(*b) : std::string());
}

CHAIN_EXPORT int chain_words() {
  auto& page = ThePage();
  const std::optional<chain::Words> words = page.session.WordsDue();
  if (!words) return 0;
  page.words = *words;
  return (words->announcement.empty() ? 0 : 1) | (words->surfaceChanged ? 2 : 0);
}

CHAIN_EXPORT const char* chain_announcement() {
  return chain::web::Text(ThePage().words.announcement);
}

CHAIN_EXPORT const char* chain_surface_words() { return chain::web::Text(ThePage().words.surface); }

}  // extern "C"
