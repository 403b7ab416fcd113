#pragma once
// The program's only window: it holds the session, shows the chain on its
// drawing surface and runs the simulation loop; its handlers pass what the
// user does to the session.

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>
#include <array>

#include "render/Controls.h"
#include "render/Session.h"
#include "ui/Announcement.h"
#include "ui/Picture1.h"
#include "ui/WindowGoneFilter.h"

namespace chain {

// A horizontal scroll bar whose keys run the way the controls' description
// says: Right and Down raise the value, Left and Up lower it, Page keys by the
// page step, Home and End to the ends. It shows a frame while it has the focus.
class ChainScrollBar : public QScrollBar {
 public:
  ChainScrollBar(QWidget* parent, Session& session, Bar bar);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Session& session_;
  Bar bar_;
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
  // lengths (the session's), then the window shown. Tests call it, then Pass()
  // as they like.
  void StartUp();
  // One pass of the loop: the session's pass on the surface, the frame
  // presented, the words when due, then one dispatch of the pending events.
  void Pass();

  // Handlers.
  void Command1_Click();  // "Nudge Left"
  void Command3_Click();  // "Nudge Right"
  void HScroll1_Change();
  void HScroll2_Change();
  [[noreturn]] void Command2_Click();  // "E&xit"
  [[noreturn]] void Form_QueryUnload(bool& cancel, int unloadMode);

  Session session;
  SpringArray& springs = session.springs;

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
  // Hands the session's words to assistive technology when they are due.
  void Tell();

  Announcement* const announcement_;

  // Ends the program when the window is destroyed without a close request.
  WindowGoneFilter windowGone_;
};

}  // namespace chain
