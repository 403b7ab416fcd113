#include "web/Description.h"

#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

#include "render/Controls.h"
#include "render/Words.h"
#include "web/Surface.h"

namespace chain::web {

namespace {

using Json = std::string;  // a JSON value, as text

// A string: quotes and backslashes escaped, control characters as \u00XX.
Json Str(std::string_view s) {
  Json out = "\"";
  for (const char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) >= 0x20) {
      out += c;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
    out += escaped;
  }
  return out + '"';
}

Json Num(double value) { return Number(value, 6); }

Json Arr(const std::vector<Json>& items) {
  Json out = "[";
  for (const Json& item : items) out += (out.size() > 1 ? "," : "") + item;
  return out + "]";
}

Json Obj(const std::vector<std::pair<std::string_view, Json>>& fields) {
  Json out = "{";
  for (const auto& [name, value] : fields)
    out += (out.size() > 1 ? "," : "") + Str(name) + ":" + value;
  return out + "}";
}

constexpr std::string_view kKinds[] = {"surface", "button", "bar", "label"};

}  // namespace

std::string DescriptionJson() {
  char background[8];
  std::snprintf(background, sizeof background, "#%06x", kSurfaceBackgroundRgb);
  std::vector<Json> controls;
  for (const Control& c : kControls) {
    const Rect& r = c.place;
    controls.push_back(Obj({{"id", Str(c.id)},
                            {"kind", Str(kKinds[static_cast<int>(c.kind)])},
                            {"caption", Str(ShownCaption(c.caption))},
                            {"accessKey", Str(AccessKey(c.caption))},
                            {"name", Str(AccessibleName(c))},
                            {"labels", Str(c.labels)},
                            {"place", Arr({Num(r.x), Num(r.y), Num(r.width), Num(r.height)})}}));
  }
  std::vector<Json> bars;
  for (const Bar b : kBars) {
    const BarSettings& s = SettingsOf(b);
    bars.push_back(Obj({{"id", Str(s.id)},
                        {"minimum", Num(s.minimum)},
                        {"maximum", Num(s.maximum)},
                        {"arrow", Num(s.arrow)},
                        {"page", Num(s.page)},
                        {"start", Num(s.start)},
                        {"perUnit", Num(s.perUnit)}}));
  }
  std::vector<std::pair<std::string_view, Json>> keys;
  for (const BarKey& k : kBarKeys) keys.emplace_back(k.key, Num(static_cast<int>(k.action)));
  const auto action = [](BarAction a) { return Num(static_cast<int>(a)); };
  return Obj({{"title", Str(kTitle)},
              {"surface", Obj({{"width", Num(kSurfacePlace.width)},
                               {"height", Num(kSurfacePlace.height)},
                               {"background", Str(background)}})},
              {"controls", Arr(controls)},
              {"bars", Arr(bars)},
              {"keys", Obj(keys)},
              {"actions", Obj({{"arrowAdd", action(BarAction::kArrowAdd)},
                               {"arrowSub", action(BarAction::kArrowSub)},
                               {"pageAdd", action(BarAction::kPageAdd)},
                               {"pageSub", action(BarAction::kPageSub)}})},
              {"commands", Obj({{"size", Num(kCommandSize)},
                                {"line", Num(kLineCommand)},
                                {"circle", Num(kCircleCommand)}})}});
}

}  // namespace chain::web
