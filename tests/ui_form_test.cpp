#include <gtest/gtest.h>

#include "ui/Form1.h"

namespace chain {
namespace {

TEST(Form1Test, StartUpBuildsTheChainAndShowsTheWindow) {
  Form1 form;
  form.StartUp();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Brenmo Quillet - Varnholt"));
  ASSERT_EQ(form.springs.Count(), 41);
  form.Pass();
  EXPECT_GT(form.springs(20).yPos, 2000.0);
}

}  // namespace
}  // namespace chain
