// The words a screen reader is given for the bars' quantities.
#include <gtest/gtest.h>

#include "render/Controls.h"
#include "render/Settings.h"

namespace chain {
namespace {

TEST(ControlsTest, BarWordsNameTheQuantityNotTheBarValue) {
  struct Row {
    int bar;
    const char* words;
  };
  for (const Row& r : {Row{kMassBar.minimum, "centre mass 1"}, Row{510, "centre mass 51"},
                       Row{513, "centre mass 51.3"}, Row{kMassBar.maximum, "centre mass 2000"}}) {
    EXPECT_EQ(MassWords(r.bar), r.words);
  }
  EXPECT_EQ(ScaleWords(kScaleBar.start), "colour scale 5 of 40");
  EXPECT_EQ(ScaleWords(kScaleBar.maximum), "colour scale 40 of 40");
}

}  // namespace
}  // namespace chain
