#include "render/Announce.h"

#include "render/Words.h"

namespace chain {

namespace {

bool Lost(Phase phase) { return phase == Phase::kFlownOff || phase == Phase::kBrokenDown; }

std::string RestWords(const ChainSurvey& survey) { return Join({"at rest", HangWords(survey)}); }

}  // namespace

std::string Announcer::Next(const ChainSurvey& survey, Disturbance last, int actions) {
  Phase phase = survey.phase;
  if (phase == Phase::kMoving && phase_ == Phase::kAtRest && actions == actions_ &&
      survey.reachPixels <= kRestartPixels) {
    phase = Phase::kAtRest;
  }
  std::string text;
  const auto add = [&text](const std::string& words) { text = Join({text, words}); };

  if (!started_) {
    text.append("chain of ").append(std::to_string(survey.masses)).append(" masses");
    if (Lost(phase)) {
      add(LostWords(survey));
    } else if (phase == Phase::kAtRest) {
      text.append(" ").append(RestWords(survey));
    } else if (phase == Phase::kMoving) {
      text.append(" ").append(MotionWords(true, last));
    }
  } else {
    const bool nudged = actions != actions_ &&
                        (last == Disturbance::kNudgeLeft || last == Disturbance::kNudgeRight);
    if (Lost(phase)) {
      if (nudged) add("nothing to nudge");
      if (nudged || phase != phase_) add(LostWords(survey));
    } else {
      if (nudged) add(MotionWords(true, last));
      if (phase == Phase::kAtRest && phase_ != Phase::kAtRest) add(RestWords(survey));
    }
  }

  started_ = true;
  phase_ = phase;
  actions_ = actions;
  return text;
}

}  // namespace chain
