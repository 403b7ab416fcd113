#pragma once
// One run of the simulation as its user has it, whichever front end shows it:
// the chain, what the controls do to it, the bars' values, and the words for a
// screen reader with their cadence. The desktop window and the page each hold
// one and call it, so the pass, the handlers and the words are written once.

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "model/Chain.h"
#include "render/Announce.h"
#include "render/Controls.h"
#include "render/Disturbance.h"
#include "render/DrawTarget.h"
#include "render/Survey.h"

namespace chain {

// The chain's nodes are 0 to kLastIndex.
inline constexpr int kLastIndex = 40;
// The push a nudge gives the centre node, in twips per time unit.
inline constexpr double kNudgeSpeed = 50;
// The words are looked at again this often, and right after a user's action.
inline constexpr double kWordsEveryMs = 250;
// Keys held on a bar repeat faster than this; the words wait until the keys
// have been still this long.
inline constexpr double kStillMs = 300;

// The drawing surface, as the words measure the chain against it.
inline constexpr SurfaceSize kSurface{static_cast<double>(kSurfacePlace.width),
                                      static_cast<double>(kSurfacePlace.height), kTwipsPerPixel};

// What to tell assistive technology.
struct Words {
  std::string announcement;  // to be said at once, wherever the focus is; "" for nothing
  std::string surface;       // what the surface shows
  bool surfaceChanged = false;
};

// Milliseconds on a steady clock; only differences count.
using Clock = std::function<double()>;
[[nodiscard]] double SteadyMs();

class Session {
 public:
  // The chain built in its start state, the bars at their start values.
  explicit Session(Clock clock = SteadyMs);

  // One pass: the physics of every node, then the surface cleared and the
  // whole chain drawn on it. A node whose move faults costs only that node.
  void Pass(DrawTarget& surface);

  // The handlers of the controls; each acts from the next pass on.
  void NudgeLeft();
  void NudgeRight();
  // A bar's value has changed through the user (an arrow, the track, a key,
  // a thumb let go): its handler sets the chain from the new value.
  void BarSet(Bar bar, int value);
  // A key or click on a bar: its new value, the handler run when it changed.
  int BarAct(Bar bar, BarAction action);
  // A key on a bar that may leave its value as it is (at an end): the keys
  // still go on.
  void BarKeyed(Bar bar);
  [[nodiscard]] int BarValue(Bar bar) const noexcept;
  [[nodiscard]] std::string BarWords(Bar bar) const;

  // The words when they are due (a user's action since the last words, or
  // kWordsEveryMs since then); never before the first pass, when the chain
  // has not started to fall. A focused bar says its own value at each step,
  // so its steps are not announced; while keys on a bar go on, nothing is
  // said at all, and once they have been still for kStillMs, a run of steps
  // is summed up by the bar's final value, with what happened to the chain
  // meanwhile (flown off, broken down) after it.
  [[nodiscard]] std::optional<Words> WordsDue();

  // The nodes; the session owns them for its whole life.
  SpringArray springs;

 private:
  void Acted(Disturbance what);

  // The keys on one bar: when one was last pressed, and how many changed the
  // value since the last words.
  struct Keys {
    std::optional<double> lastMs;
    int changes = 0;
  };

  Clock clock_;
  std::array<int, 2> bars_{kMassBar.start, kScaleBar.start};
  std::array<Keys, 2> keys_;
  long long passes_ = 0;
  Disturbance last_ = Disturbance::kNone;
  int actions_ = 0;  // nudges and mass changes so far
  bool acted_ = false;
  std::optional<double> wordsAt_;
  std::string surfaceWords_;
  Announcer announcer_;
};

}  // namespace chain
