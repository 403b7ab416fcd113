#include "ui/Form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>

#include "render/Draw.h"
#include "ui/Layout.h"

namespace chain {

namespace {

constexpr int kLastIndex = 40;

void Configure(QScrollBar* bar, int minimum, int maximum, int arrow, int page, int value) {
  bar->setRange(minimum, maximum);
  bar->setSingleStep(arrow);
  bar->setPageStep(page);
  bar->setValue(value);
  bar->setTracking(false);  // report the thumb's value once, on release
}

// Shrinks a label's font until its whole caption fits its fixed width, so no
// font on the system cuts a caption short.
void FitText(QLabel* label) {
  QFont f = label->font();
  for (int px = f.pixelSize(); px > 6; --px) {
    f.setPixelSize(px);
    if (QFontMetrics(f).horizontalAdvance(label->text()) <= label->width()) break;
  }
  label->setFont(f);
}

}  // namespace

ChainScrollBar::ChainScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  setFocusPolicy(Qt::StrongFocus);
}

void ChainScrollBar::keyPressEvent(QKeyEvent* event) {
  SliderAction action = SliderNoAction;
  switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Down:
      action = SliderSingleStepAdd;
      break;
    case Qt::Key_Left:
    case Qt::Key_Up:
      action = SliderSingleStepSub;
      break;
    case Qt::Key_PageDown:
      action = SliderPageStepAdd;
      break;
    case Qt::Key_PageUp:
      action = SliderPageStepSub;
      break;
    case Qt::Key_Home:
      action = SliderToMinimum;
      break;
    case Qt::Key_End:
      action = SliderToMaximum;
      break;
    default:
      QScrollBar::keyPressEvent(event);
      return;
  }
  triggerAction(action);
  event->accept();
}

Form1::Form1(QWidget* parent)
    : QWidget(parent),
      Picture1(new chain::Picture1(this)),
      Command2(new QPushButton(QStringLiteral("E&xit"), this)),
      HScroll1(new ChainScrollBar(this)),
      Label1{new QLabel(QStringLiteral("Mass of Center:"), this),
             new QLabel(QStringLiteral("FEA Color Scale:"), this)},
      Command1(new QPushButton(QStringLiteral("Nudge Left"), this)),
      Command3(new QPushButton(QStringLiteral("Nudge Right"), this)),
      HScroll2(new ChainScrollBar(this)),
      windowGone_(*this, [] { EndProgram(); }) {
  setWindowTitle(QStringLiteral("Brenmo Quillet - Varnholt"));
  setFixedSize(layout::kClientArea);  // the layout is fixed

  // Small captions fit the fixed control sizes.
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);

  Picture1->setGeometry(layout::kPicture1);
  Command2->setGeometry(layout::kCommand2);
  HScroll1->setGeometry(layout::kHScroll1);
  Label1[0]->setGeometry(layout::kLabel1Mass);
  Command1->setGeometry(layout::kCommand1);
  Command3->setGeometry(layout::kCommand3);
  HScroll2->setGeometry(layout::kHScroll2);
  Label1[1]->setGeometry(layout::kLabel1Scale);
  for (QLabel* label : Label1) {
    label->setFocusPolicy(Qt::NoFocus);
    FitText(label);
  }
  for (QPushButton* button : {Command1, Command2, Command3}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }

  HScroll1->setAccessibleName(Label1[0]->text());
  HScroll2->setAccessibleName(Label1[1]->text());
  Label1[0]->setBuddy(HScroll1);
  Label1[1]->setBuddy(HScroll2);

  setTabOrder(Picture1, Command2);
  setTabOrder(Command2, HScroll1);
  setTabOrder(HScroll1, Command1);
  setTabOrder(Command1, Command3);
  setTabOrder(Command3, HScroll2);

  // Values first, then the connections: setting the start values runs no handler.
  Configure(HScroll1, 10, 20000, 500, 1000, 10);
  Configure(HScroll2, 1, 40, 1, 1, 5);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
  connect(HScroll2, &QScrollBar::valueChanged, this, [this] { HScroll2_Change(); });

  // The session ending is a close request like any other.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
    bool cancel = false;
    Form_QueryUnload(cancel, kAppWindows);
  });
}

Form1::~Form1() = default;

void Form1::StartUp() {
  SetUpChain(springs, kLastIndex);
  show();
  Picture1->setFocus(Qt::OtherFocusReason);
}

void Form1::Pass() {
  PhysicsPass(springs);  // a node whose move faults costs only that node
  Picture1->Clear();
  DrawChain(springs, *Picture1);
  Picture1->Present();
  QCoreApplication::processEvents();
}

void Form1::Form_Load() {
  StartUp();
  for (;;) Pass();
}

void Form1::Command1_Click() { springs(CentreIndex(springs)).Vx = -50; }

void Form1::Command3_Click() { springs(CentreIndex(springs)).Vx = 50; }

void Form1::HScroll1_Change() {
  Spring& centre = springs(CentreIndex(springs));
  centre.Mass = static_cast<double>(HScroll1->value()) / 10;
}

void Form1::HScroll2_Change() {
  const double scale = static_cast<double>(HScroll2->value()) / 400;
  for (int i = springs.LBound(); i <= springs.UBound(); ++i) springs(i).ColScale = scale;
}

void Form1::Command2_Click() { EndProgram(); }

void Form1::Form_QueryUnload(bool& cancel, int unloadMode) {
  (void)cancel;
  (void)unloadMode;
  EndProgram();
}

void Form1::closeEvent(QCloseEvent* event) {
  bool cancel = false;
  Form_QueryUnload(cancel, event->spontaneous() ? kFormControlMenu : kAppWindows);
}

void Form1::EndProgram() {
  std::fflush(nullptr);
  std::_Exit(0);
}

}  // namespace chain
