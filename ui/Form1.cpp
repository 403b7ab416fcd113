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
#include <string_view>

#include "ui/Accessible.h"
#include "ui/FocusFrame.h"

namespace chain {

namespace {

// Where the controls' description puts the control `id`.
QRect Place(std::string_view id) {
  const Rect r = FindControl(id).value().place;
  return {r.x, r.y, r.width, r.height};
}

QString Caption(std::string_view id) {
  return QString::fromUtf8(FindControl(id).value().caption.data(),
                           static_cast<qsizetype>(FindControl(id).value().caption.size()));
}

QString Name(std::string_view id) {
  return QString::fromStdString(AccessibleName(FindControl(id).value()));
}

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

// Sets a widget's accessible description; setting it tells assistive
// technology (one event: a second of our own would reach it twice).
void Describe(QWidget* widget, const QString& words) {
  if (widget->accessibleDescription() != words) widget->setAccessibleDescription(words);
}

// Qt's keys by the names the controls' description gives them.
std::string_view KeyName(int key) {
  static const std::pair<int, std::string_view> kNames[] = {
      {Qt::Key_Right, "ArrowRight"},  {Qt::Key_Down, "ArrowDown"},
      {Qt::Key_Left, "ArrowLeft"},    {Qt::Key_Up, "ArrowUp"},
      {Qt::Key_PageDown, "PageDown"}, {Qt::Key_PageUp, "PageUp"},
      {Qt::Key_Home, "Home"},         {Qt::Key_End, "End"}};
  for (const auto& [k, name] : kNames) {
    if (k == key) return name;
  }
  return {};
}

}  // namespace

ChainScrollBar::ChainScrollBar(QWidget* parent, Session& session, Bar bar)
    : QScrollBar(Qt::Horizontal, parent), session_(session), bar_(bar) {
  setFocusPolicy(Qt::StrongFocus);
  Configure(this, SettingsOf(bar));
}

void ChainScrollBar::keyPressEvent(QKeyEvent* event) {
  const std::string_view name = KeyName(event->key());
  for (const BarKey& k : kBarKeys) {
    if (!name.empty() && k.key == name) {
      session_.BarKeyed(bar_);  // a key at an end changes nothing, but the keys go on
      setValue(Step(SettingsOf(bar_), value(), k.action));
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
      Command2(new QPushButton(Caption("exit"), this)),
      HScroll1(new ChainScrollBar(this, session, Bar::kMass)),
      Label1{new QLabel(Caption("mass-label"), this), new QLabel(Caption("scale-label"), this)},
      Command1(new QPushButton(Caption("nudge-left"), this)),
      Command3(new QPushButton(Caption("nudge-right"), this)),
      HScroll2(new ChainScrollBar(this, session, Bar::kScale)),
      announcement_(new Announcement(this)),
      windowGone_(*this, [] { EndProgram(); }) {
  setWindowTitle(QString::fromUtf8(kTitle.data(), static_cast<qsizetype>(kTitle.size())));
  setFixedSize(kClientArea.width, kClientArea.height);  // the layout is fixed

  // Small captions fit the fixed control sizes.
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);

  Picture1->setGeometry(Place("surface"));
  Picture1->setAccessibleName(Name("surface"));
  Command2->setGeometry(Place("exit"));
  HScroll1->setGeometry(Place("mass"));
  Label1[0]->setGeometry(Place("mass-label"));
  Command1->setGeometry(Place("nudge-left"));
  Command3->setGeometry(Place("nudge-right"));
  HScroll2->setGeometry(Place("scale"));
  Label1[1]->setGeometry(Place("scale-label"));
  for (QLabel* label : Label1) {
    label->setFocusPolicy(Qt::NoFocus);
    FitText(label);
  }
  for (QPushButton* button : {Command1, Command2, Command3}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }

  // Names without the captions' colon, which a screen reader would read out.
  Label1[0]->setAccessibleName(Name("mass-label"));
  Label1[1]->setAccessibleName(Name("scale-label"));
  HScroll1->setAccessibleName(Name("mass"));
  HScroll2->setAccessibleName(Name("scale"));
  Label1[0]->setBuddy(HScroll1);
  Label1[1]->setBuddy(HScroll2);

  setTabOrder(Picture1, Command2);
  setTabOrder(Command2, HScroll1);
  setTabOrder(HScroll1, Command1);
  setTabOrder(Command1, Command3);
  setTabOrder(Command3, HScroll2);

  // The bars have their start values already: connecting them now runs no handler.
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
  connect(HScroll2, &QScrollBar::valueChanged, this, [this] { HScroll2_Change(); });
  UseAccessibleRoles(*this, *Picture1);
  UseQuantityValue(*HScroll1, kMassBar.perUnit);
  UseQuantityValue(*HScroll2, kScaleBar.perUnit);

  // The session ending is a close request like any other.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
    bool cancel = false;
    Form_QueryUnload(cancel, kAppWindows);
  });
}

Form1::~Form1() = default;

void Form1::StartUp() {
  // The session built the chain; the window is shown once it is ready.
  show();
  Picture1->setFocus(Qt::OtherFocusReason);
}

void Form1::Pass() {
  session.Pass(*Picture1);
  Picture1->Present();
  Tell();
  QCoreApplication::processEvents();
}

void Form1::Form_Load() {
  StartUp();
  for (;;) Pass();
}

void Form1::Command1_Click() { session.NudgeLeft(); }

void Form1::Command3_Click() { session.NudgeRight(); }

void Form1::HScroll1_Change() { session.BarSet(Bar::kMass, HScroll1->value()); }

void Form1::HScroll2_Change() { session.BarSet(Bar::kScale, HScroll2->value()); }

void Form1::Tell() {
  const std::optional<Words> words = session.WordsDue();
  if (!words) return;
  if (words->surfaceChanged) Describe(Picture1, QString::fromStdString(words->surface));
  if (!words->announcement.empty()) {
    announcement_->Say(QString::fromStdString(words->announcement));
  }
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
