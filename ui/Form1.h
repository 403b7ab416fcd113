#pragma once
// The program's only window: it owns the chain, shows it on its drawing
// surface and runs the simulation loop; its handlers hold all user-facing logic.

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <array>

#include "model/Chain.h"
#include "render/Announce.h"
#include "render/Describe.h"
#include "ui/Announcement.h"
#include "ui/Picture1.h"
#include "ui/WindowGoneFilter.h"

namespace chain {

// A horizontal scroll bar whose keys run the way users expect: Right and Down
// raise the value, Left and Up lower it, Page keys by the page step, Home and
// End to the ends. It shows a frame while it has the focus.
class ChainScrollBar : public QScrollBar {
 public:
  explicit ChainScrollBar(QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

class Form1 : public QWidget {
 public:
  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // The load handler: builds the chain, shows the window and runs the
  // simulation loop. It never returns; the process ends from a handler.
  [[noreturn]] void Form_Load();

  // The start-up part of Form_Load: the chain with its start values and rest
  // lengths, then the window shown. Tests call it, then Pass() as they like.
  void StartUp();
  // One pass of the loop: the physics pass, clear and draw the chain, then one dispatch of
  // the pending window events (which presents the frame).
  void Pass();

  // Handlers.
  void Command1_Click();  // "Nudge Left"
  void Command3_Click();  // "Nudge Right"
  void HScroll1_Change();
  void HScroll2_Change();
  [[noreturn]] void Command2_Click();  // "E&xit"
  [[noreturn]] void Form_QueryUnload(bool& cancel, int unloadMode);

  // Puts what the surface shows into its accessible description when the
  // words have changed.
  void DescribeSurface();
  // Announces the chain's state when it has changed since the last announcement.
  void AnnounceChange();

  SpringArray springs;

  // Controls, in their tab order.
  chain::Picture1* const Picture1;
  QPushButton* const Command2;
  ChainScrollBar* const HScroll1;
  std::array<QLabel*, 2> Label1;
  QPushButton* const Command1;
  QPushButton* const Command3;
  ChainScrollBar* const HScroll2;

  // How a close request came; the handler uses neither this nor the flag.
  enum UnloadMode { kFormControlMenu = 0, kAppWindows = 2 };

 protected:
  void closeEvent(QCloseEvent* event) override;
  // The window has one size: a request to maximize it (a title bar's button,
  // a double-click on it, a key of the desktop) is undone at once, so that it
  // keeps its place and stays the active window.
  void changeEvent(QEvent* event) override;

 private:
  [[noreturn]] static void EndProgram();
  // The quantity each bar sets, for assistive technology.
  void DescribeBars();

  [[nodiscard]] SurfaceSize Surface() const;

  Disturbance lastDisturbance_ = Disturbance::kNone;
  int actions_ = 0;  // nudges and mass changes so far
  std::string surfaceWords_;
  Announcer announcer_;
  Announcement* const announcement_;
  // A timer asks for fresh words a few times a second; a pass gives them
  // between its drawing and its event dispatch, so they always follow a pass.
  QTimer wordsTimer_;
  bool wordsDue_ = true;
  bool passed_ = false;

  // Ends the program when the window is destroyed without a close request.
  WindowGoneFilter windowGone_;
};

}  // namespace chain
