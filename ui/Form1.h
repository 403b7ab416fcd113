#pragma once
// The program's only window: it owns the chain and runs the simulation.

#include <QWidget>

#include "model/Chain.h"

namespace chain {

class Form1 : public QWidget {
 public:
  explicit Form1(QWidget* parent = nullptr);

  // The load handler: builds the chain, shows the window and runs the
  // simulation loop. Never returns; the process ends from a handler.
  [[noreturn]] void Form_Load();

  // The start-up part of Form_Load: the chain and its start values, then the
  // window shown. Tests call it, then Pass() as often as they like.
  void StartUp();
  // One pass of the loop: compute, move, clear and draw, process events.
  void Pass();

  SpringArray springs;
};

}  // namespace chain
