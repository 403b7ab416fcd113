#include "render/Describe.h"

#include "render/Words.h"

namespace chain {

std::string DescribeChain(const ChainSurvey& survey, Disturbance last) {
  if (survey.phase == Phase::kNoChain) return "No chain";
  std::string state = LostWords(survey);
  if (state.empty()) state = MotionWords(survey.phase == Phase::kMoving, last);
  std::string fixed;
  if (!survey.fixedEnds) {
    fixed = std::to_string(survey.fixed) + (survey.fixed == 1 ? " fixed mass" : " fixed masses");
  }
  return Capitalised(
      Join({state, survey.phase == Phase::kAtRest ? HangWords(survey) : std::string(),
            survey.centreMass ? MassWords(*survey.centreMass) : std::string(),
            survey.colourScale ? ScaleWords(*survey.colourScale) : std::string(), fixed}));
}

}  // namespace chain
