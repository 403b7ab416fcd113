#include "ui/Form1.h"

#include <QCoreApplication>

namespace chain {

namespace {
constexpr int kLastIndex = 40;
}

Form1::Form1(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Brenmo Quillet - Varnholt"));
  setFixedSize(625, 574);
}

void Form1::StartUp() {
  SetUpChain(springs, kLastIndex);
  show();
}

void Form1::Pass() {
  PhysicsPass(springs);
  QCoreApplication::processEvents();
}

void Form1::Form_Load() {
  StartUp();
  for (;;) Pass();
}

}  // namespace chain
