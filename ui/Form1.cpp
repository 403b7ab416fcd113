#include "ui/Form1.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "render/Controls.h"
#include "render/Draw.h"
#include "render/Settings.h"
#include "ui/Accessible.h"
#include "ui/FocusFrame.h"
#include "ui/Layout.h"

namespace chain {

namespace {

void Configure(QScrollBar* bar, const BarSettings& settings) {
  bar->setRange(settings.minimum, settings.maximum);
  bar->setSingleStep(settings.arrow);
  bar->setPageStep(settings.page);
  bar->setValue(settings.start);
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

// Sets a widget's accessible description and, when it changed, tells
// assistive technology: setting it does not.
void Describe(QWidget* widget, const QString& words) {
  if (widget->accessibleDescription() == words) return;
  widget->setAccessibleDescription(words);
  QAccessibleEvent event(widget, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&event);
}

// A label's caption without its trailing colon, as a name read out for its bar.
QString NameFrom(const QLabel* label) {
  QString name = label->text();
  if (name.endsWith(QLatin1Char(':'))) name.chop(1);
  return name;
}

}  // namespace

ChainScrollBar::ChainScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
  setFocusPolicy(Qt::StrongFocus);
}

void ChainScrollBar::keyPressEvent(QKeyEvent* event) {
  struct KeyAction {
    int key;
    SliderAction action;
  };
  static constexpr KeyAction kKeys[] = {
      {Qt::Key_Right, SliderSingleStepAdd},  {Qt::Key_Down, SliderSingleStepAdd},
      {Qt::Key_Left, SliderSingleStepSub},   {Qt::Key_Up, SliderSingleStepSub},
      {Qt::Key_PageDown, SliderPageStepAdd}, {Qt::Key_PageUp, SliderPageStepSub},
      {Qt::Key_Home, SliderToMinimum},       {Qt::Key_End, SliderToMaximum}};
  for (const KeyAction& k : kKeys) {
    if (event->key() == k.key) {
      triggerAction(k.action);
      event->accept();
      return;
    }
  }
  QScrollBar::keyPressEvent(event);
}

void ChainScrollBar::paintEvent(QPaintEvent* event) {
  QScrollBar::paintEvent(event);
  if (!hasFocus()) return;
  QPainter p(this);
  DrawFocusFrame(p, *this);
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
      announcement_(new Announcement(this)),
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

  // Names without the captions' colon, which a screen reader would read out.
  for (QLabel* label : Label1) label->setAccessibleName(NameFrom(label));
  HScroll1->setAccessibleName(NameFrom(Label1[0]));
  HScroll2->setAccessibleName(NameFrom(Label1[1]));
  Label1[0]->setBuddy(HScroll1);
  Label1[1]->setBuddy(HScroll2);

  setTabOrder(Picture1, Command2);
  setTabOrder(Command2, HScroll1);
  setTabOrder(HScroll1, Command1);
  setTabOrder(Command1, Command3);
  setTabOrder(Command3, HScroll2);

  // Values first, then the connections: setting the start values runs no handler.
  Configure(HScroll1, kMassBar);
  Configure(HScroll2, kScaleBar);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
  connect(HScroll2, &QScrollBar::valueChanged, this, [this] { HScroll2_Change(); });
  DescribeBars();
  for (QScrollBar* bar : {HScroll1, HScroll2}) {
    connect(bar, &QScrollBar::valueChanged, this, [this] { DescribeBars(); });
  }
  UseAccessibleRoles(*this, *Picture1);
  UseQuantityValue(*HScroll1, kMassBarPerMass);
  UseQuantityValue(*HScroll2, 1);
  connect(&wordsTimer_, &QTimer::timeout, this, [this] { wordsDue_ = true; });
  wordsTimer_.start(250);

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
  passed_ = true;
  if (wordsDue_) {
    wordsDue_ = false;
    DescribeSurface();
    AnnounceChange();
  }
  QCoreApplication::processEvents();
}

void Form1::Form_Load() {
  StartUp();
  for (;;) Pass();
}

void Form1::Command1_Click() {
  NudgeLeft(springs);
  lastDisturbance_ = Disturbance::kNudgeLeft;
  ++actions_;
  AnnounceChange();
}

void Form1::Command3_Click() {
  NudgeRight(springs);
  lastDisturbance_ = Disturbance::kNudgeRight;
  ++actions_;
  AnnounceChange();
}

void Form1::HScroll1_Change() {
  SetCentreMass(springs, HScroll1->value());
  lastDisturbance_ = Disturbance::kMassChange;
  ++actions_;
  AnnounceChange();
}

void Form1::HScroll2_Change() {
  SetColourScale(springs, HScroll2->value());
  AnnounceChange();
}

SurfaceSize Form1::Surface() const {
  return {static_cast<double>(Picture1->width()), static_cast<double>(Picture1->height()),
          kTwipsPerPixel};
}

void Form1::DescribeSurface() {
  std::string words = DescribeChain(springs, Surface(), lastDisturbance_);
  if (words == surfaceWords_) return;
  surfaceWords_ = std::move(words);
  Describe(Picture1, QString::fromStdString(surfaceWords_));
}

void Form1::AnnounceChange() {
  // Before the first pass the chain has not started to fall: words then would
  // call it at rest.
  if (!passed_) return;
  const std::string words = announcer_.Next(springs, Surface(), lastDisturbance_, actions_);
  if (!words.empty()) announcement_->Say(QString::fromStdString(words));
}

void Form1::DescribeBars() {
  Describe(HScroll1, QString::fromStdString(MassWords(HScroll1->value())));
  Describe(HScroll2, QString::fromStdString(ScaleWords(HScroll2->value())));
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

void Form1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized)) {
    setWindowState(windowState() & ~Qt::WindowMaximized);
  }
}

void Form1::EndProgram() {
  std::fflush(nullptr);
  std::_Exit(0);
}

}  // namespace chain
