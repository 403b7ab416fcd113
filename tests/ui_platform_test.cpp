// The platform plugin and Wayland title bar the program picks for itself, for
// each kind of session, and how it reads the user's own choice.
#include <gtest/gtest.h>

#include <QtGlobal>

#include "ui/PlatformDefaults.h"

namespace chain {
namespace {

TEST(PlatformDefaultsTest, XcbOnlyForGnomeOnWaylandWithXwaylandBeforeQt65) {
  using Set = std::vector<std::pair<const char*, QByteArray>>;
  const Set native = {{"QT_WAYLAND_DISABLE_WINDOWDECORATION", "1"}};
  const Set xwayland = {{"QT_QPA_PLATFORM", "xcb;wayland"},
                        {"QT_WAYLAND_DISABLE_WINDOWDECORATION", "1"}};
  const QVersionNumber qt64(6, 4, 2);
  const QVersionNumber qt65(6, 5, 0);
  struct Row {
    const char* what;
    PlatformEnvironment env;
    Set set;
  };
  const Row rows[] = {
      {"GNOME", {qt64, false, false, "wayland-0", "wayland", ":0", "GNOME"}, xwayland},
      {"GNOME without XDG_SESSION_TYPE",
       {qt64, false, false, "wayland-0", "", ":0", "GNOME"},
       xwayland},
      {"GNOME, WAYLAND_DISPLAY unset",
       {qt64, false, false, "", "wayland", ":0", "GNOME"},
       xwayland},
      {"a list, in lower case",
       {qt64, false, false, "wayland-0", "wayland", ":0", "ubuntu:gnome"},
       xwayland},
      {"not a whole name", {qt64, false, false, "wayland-0", "wayland", ":0", "GNOMEish"}, native},
      {"no Xwayland", {qt64, false, false, "wayland-0", "wayland", "", "GNOME"}, native},
      {"GNOME on X11", {qt64, false, false, "", "x11", ":0", "GNOME"}, native},
      {"KDE", {qt64, false, false, "wayland-0", "wayland", ":0", "KDE"}, native},
      {"platform chosen", {qt64, true, false, "wayland-0", "wayland", ":0", "GNOME"}, native},
      {"title bar chosen", {qt64, false, true, "wayland-0", "wayland", ":0", "GNOME"}, {}},
      {"Qt 6.5", {qt65, false, false, "wayland-0", "wayland", ":0", "GNOME"}, {}},
  };
  for (const Row& row : rows) {
    const Set set = PlatformDefaults(row.env);
    ASSERT_EQ(set.size(), row.set.size()) << row.what;
    for (std::size_t i = 0; i < set.size(); ++i) {
      EXPECT_STREQ(set[i].first, row.set[i].first) << row.what;
      EXPECT_EQ(set[i].second, row.set[i].second) << row.what;
    }
  }
}

TEST(PlatformDefaultsTest, PlatformChosenByVariableOrArgument) {
  struct Row {
    const char* variable;  // QT_QPA_PLATFORM, or unset
    std::vector<const char*> args;
    bool chosen;
  };
  const Row rows[] = {
      {nullptr, {"hanging-chain"}, false},
      {"", {"hanging-chain"}, false},
      {"wayland", {"hanging-chain"}, true},
      {nullptr, {"hanging-chain", "-platform", "wayland"}, true},
      {nullptr, {"hanging-chain", "--platform", "wayland"}, true},
      {nullptr, {"hanging-chain", "-platformtheme", "gtk3"}, false},
      // The program's own name is not an argument.
      {nullptr, {"-platform"}, false},
  };
  const QByteArray saved = qgetenv("QT_QPA_PLATFORM");
  for (const Row& row : rows) {
    if (row.variable != nullptr) {
      qputenv("QT_QPA_PLATFORM", row.variable);
    } else {
      qunsetenv("QT_QPA_PLATFORM");
    }
    const PlatformEnvironment env =
        ReadPlatformEnvironment(static_cast<int>(row.args.size()), row.args.data());
    EXPECT_EQ(env.platform_chosen, row.chosen)
        << (row.variable != nullptr ? row.variable : "unset") << " " << row.args.back();
  }
  qputenv("QT_QPA_PLATFORM", saved);
}

}  // namespace
}  // namespace chain
