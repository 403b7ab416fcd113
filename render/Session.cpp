#include "render/Session.h"

#include <chrono>

#include "render/Describe.h"
#include "render/Draw.h"
#include "render/Words.h"

namespace chain {

namespace {

std::size_t Index(Bar bar) { return bar == Bar::kMass ? 0 : 1; }

}  // namespace

double SteadyMs() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

Session::Session(Clock clock) : clock_(std::move(clock)) { SetUpChain(springs, kLastIndex); }

void Session::Pass(DrawTarget& surface) {
  PhysicsPass(springs);
  surface.Clear();
  DrawChain(springs, surface);
  ++passes_;
}

void Session::Acted(Disturbance what) {
  if (what != Disturbance::kNone) {
    last_ = what;
    ++actions_;
  }
  acted_ = true;
}

void Session::NudgeLeft() {
  springs(CentreIndex(springs)).Vx = -kNudgeSpeed;
  Acted(Disturbance::kNudgeLeft);
}

void Session::NudgeRight() {
  springs(CentreIndex(springs)).Vx = kNudgeSpeed;
  Acted(Disturbance::kNudgeRight);
}

void Session::BarKeyed(Bar bar) { keys_[Index(bar)].lastMs = clock_(); }

void Session::BarSet(Bar bar, int value) {
  BarKeyed(bar);
  ++keys_[Index(bar)].changes;
  bars_[Index(bar)] = value;
  if (bar == Bar::kMass) {
    springs(CentreIndex(springs)).Mass = static_cast<double>(value) / kMassBar.perUnit;
    Acted(Disturbance::kMassChange);
  } else {
    const double scale = static_cast<double>(value) / kScaleBarPerColScale;
    for (int i = springs.LBound(); i <= springs.UBound(); ++i) springs(i).ColScale = scale;
    Acted(Disturbance::kNone);
  }
}

int Session::BarAct(Bar bar, BarAction action) {
  const int value = Step(SettingsOf(bar), BarValue(bar), action);
  if (value != BarValue(bar)) {
    BarSet(bar, value);
  } else {
    BarKeyed(bar);
  }
  return value;
}

int Session::BarValue(Bar bar) const noexcept { return bars_[Index(bar)]; }

std::string Session::BarWords(Bar bar) const { return chain::BarWords(bar, BarValue(bar)); }

std::optional<Words> Session::WordsDue() {
  if (passes_ == 0) return std::nullopt;
  const double nowMs = clock_();
  for (const Keys& k : keys_) {
    if (k.lastMs && nowMs - *k.lastMs < kStillMs) return std::nullopt;
  }
  if (!acted_ && wordsAt_ && nowMs - *wordsAt_ < kWordsEveryMs) return std::nullopt;
  acted_ = false;
  wordsAt_ = nowMs;
  Words words;
  const auto summary = [this](Bar bar) {
    Keys& k = keys_[Index(bar)];
    const bool run = k.changes > 1;
    k.changes = 0;
    return run ? BarWords(bar) : std::string();
  };
  const ChainSurvey survey = SurveyChain(springs, kSurface);
  words.announcement =
      Join({summary(Bar::kMass), summary(Bar::kScale), announcer_.Next(survey, last_, actions_)});
  words.surface = DescribeChain(survey, last_);
  words.surfaceChanged = words.surface != surfaceWords_;
  surfaceWords_ = words.surface;
  return words;
}

}  // namespace chain
