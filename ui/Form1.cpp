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
      Command2(new QPushButton(this)),
      HScroll1(new ChainScrollBar(this, session, Bar::kMass)),
      Label1{new QLabel(this), new QLabel(this)},
      Command1(new QPushButton(this)),
      Command3(new QPushButton(this)),
      HScroll2(new ChainScrollBar(this, session, Bar::kScale)),
      announcement_(new Announcement(this)),
      windowGone_(*this, [] { EndProgram(); }) {
  setWindowTitle(QString::fromUtf8(kTitle.data(), static_cast<qsizetype>(kTitle.size())));
  setFixedSize(kClientArea.width, kClientArea.height);  // the layout is fixed

  // Small captions fit the fixed control sizes.
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);

  // Every control as the description has it: its place, caption and name;
  // the Tab key visits them in the description's order.
  const std::pair<std::string_view, QWidget*> widgets[] = {
      {"surface", Picture1},     {"exit", Command2},        {"mass", HScroll1},
      {"nudge-left", Command1},  {"nudge-right", Command3}, {"scale", HScroll2},
      {"mass-label", Label1[0]}, {"scale-label", Label1[1]}};
  const auto widgetOf = [&widgets](std::string_view id) -> QWidget* {
    for (const auto& [i, w] : widgets) {
      if (i == id) return w;
    }
    return nullptr;
  };
  QWidget* previous = nullptr;
  for (const Control& c : kControls) {
    QWidget* widget = widgetOf(c.id);
    if (widget == nullptr) continue;
    widget->setGeometry(c.place.x, c.place.y, c.place.width, c.place.height);
    // Names without the captions' colon, which a screen reader would read out.
    widget->setAccessibleName(QString::fromStdString(AccessibleName(c)));
    const QString caption =
        QString::fromUtf8(c.caption.data(), static_cast<qsizetype>(c.caption.size()));
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      button->setText(caption);
      button->setAutoDefault(false);
      button->setDefault(false);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      label->setText(caption);
      label->setFocusPolicy(Qt::NoFocus);
      label->setBuddy(widgetOf(c.labels));
      FitText(label);
      continue;
    }
    if (previous != nullptr) setTabOrder(previous, widget);
    previous = widget;
  }

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
  // Setting the description tells assistive technology (an event of our own
  // would reach it twice).
  if (words->surfaceChanged)
    Picture1->setAccessibleDescription(QString::fromStdString(words->surface));
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  // Qt 6.8 sends the focused surface's new description with its words, which
  // a screen reader speaks at once; they begin with the news, which is then
  // not said a second time.
  if (words->surfaceChanged && Picture1->hasFocus()) return;
#endif
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
