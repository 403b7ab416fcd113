// Long runs of the real window on the offscreen platform, driven through its
// controls with real mouse and key events.
//
//   chain_soak soak PASSES [unjudged]
//       Runs PASSES passes, nudging the centre now and then and stepping the
//       two scroll bars (the centre mass stays below the point where the time
//       step diverges). Prints the resident memory at regular intervals and
//       fails (status 1) when it grows after the warm-up, the first fifth;
//       `unjudged` only prints it (under heaptrack, whose own buffers grow).
//   chain_soak diverge PASSES [untimed]
//       Sets the centre mass to its maximum, runs PASSES passes timing each
//       one (two nodes lose their mass half way), reports when the chain's
//       coordinates became astronomically large and not finite, and fails (status 1) when passes
//       took a millisecond or more (not judged with `untimed`, for instrumented builds). Then every
//       control must still have its effect, and E&xit must end the process
//       with status 0 (status 3 if it returned instead).

#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "ui/Form1.h"

namespace {

using chain::Form1;

struct Controls {
  QPushButton* nudgeLeft = nullptr;
  QPushButton* nudgeRight = nullptr;
  QPushButton* exit = nullptr;
  QScrollBar* mass = nullptr;    // HScroll1, the upper bar
  QScrollBar* colour = nullptr;  // HScroll2, the lower bar
};

[[noreturn]] void Die(const std::string& why) {
  std::fprintf(stderr, "chain_soak: %s\n", why.c_str());
  std::fflush(stdout);
  std::exit(1);
}

Controls FindControls(Form1& form) {
  Controls c;
  for (QPushButton* b : form.findChildren<QPushButton*>()) {
    if (b->text() == QStringLiteral("Nudge Left")) c.nudgeLeft = b;
    if (b->text() == QStringLiteral("Nudge Right")) c.nudgeRight = b;
    if (b->text() == QStringLiteral("E&xit")) c.exit = b;
  }
  QList<QScrollBar*> bars = form.findChildren<QScrollBar*>();
  std::ranges::sort(
      bars, [](QScrollBar* a, QScrollBar* b) { return a->geometry().y() < b->geometry().y(); });
  if (bars.size() == 2) c.mass = bars[0], c.colour = bars[1];
  if (!c.nudgeLeft || !c.nudgeRight || !c.exit || !c.mass || !c.colour) {
    Die("the window lacks a nudge button, E&xit or a scroll bar");
  }
  return c;
}

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void Click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
void Key(QScrollBar* bar, Qt::Key key) { QTest::keyClick(bar, key); }

int Soak(Form1& form, const Controls& c, long passes, bool judged) {
  const long every = std::max(1L, passes / 50);
  const long warmUp = passes / 5;
  long warmRss = 0;
  long highest = 0;
  int massSteps = 0;  // arrow steps of the mass bar above its start value
  bool massUp = true;
  for (long p = 1; p <= passes; ++p) {
    form.Pass();
    if (p % 997 == 0) Click(p % 2 == 0 ? c.nudgeLeft : c.nudgeRight);
    if (p % 20011 == 0) {  // up to 7 steps: a centre mass of at most 351
      if (massSteps == 7) massUp = false;
      if (massSteps == 0) massUp = true;
      Key(c.mass, massUp ? Qt::Key_Right : Qt::Key_Left);
      massSteps += massUp ? 1 : -1;
    }
    if (p % 30011 == 0) Key(c.colour, (p / 30011) % 4 < 2 ? Qt::Key_Right : Qt::Key_Left);
    if (p % every == 0) {
      const long rss = ResidentKiB();
      std::printf("pass %ld: resident %ld KiB, centre mass %g, centre at (%.1f, %.1f)\n", p, rss,
                  form.springs(20).Mass, form.springs(20).xPos, form.springs(20).yPos);
      std::fflush(stdout);
      if (p <= warmUp) warmRss = rss;
      highest = std::max(highest, rss);
    }
  }
  const long growth = highest - warmRss;
  std::printf("resident after warm-up %ld KiB, highest later %ld KiB, growth %ld KiB\n", warmRss,
              highest, growth);
  for (int i = 0; i <= 40; ++i) {
    if (!std::isfinite(form.springs(i).xPos) || !std::isfinite(form.springs(i).yPos)) {
      Die("the chain diverged during the soak; it should not at these masses");
    }
  }
  // A leak of even a few bytes a pass would add hundreds of KiB here.
  if (judged && growth > 256) Die("resident memory grew after the warm-up");
  std::printf("soak ok\n");
  return 0;
}

double ThreadMicros() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

double Percentile(std::vector<double> v, double q) {
  std::ranges::sort(v);
  return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
}

int Diverge(Form1& form, const Controls& c, long passes, bool timed) {
  Key(c.mass, Qt::Key_End);
  if (form.springs(20).Mass != 2000.0) Die("the mass bar's End key did not set the centre mass");
  std::vector<double> micros;  // wall clock
  std::vector<double> cpu;     // this thread's processor time: what the pass itself cost
  micros.reserve(static_cast<std::size_t>(passes));
  cpu.reserve(static_cast<std::size_t>(passes));
  long huge = -1;
  long notFinite = -1;
  for (long p = 1; p <= passes; ++p) {
    const double c0 = ThreadMicros();
    const auto t0 = std::chrono::steady_clock::now();
    form.Pass();
    const auto t1 = std::chrono::steady_clock::now();
    cpu.push_back(ThreadMicros() - c0);
    micros.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    if (p == passes / 2) {
      // The controls cannot make a coordinate infinite or NaN (the faulted
      // steps leave the huge values where they are), but a massless node
      // would: its acceleration and velocity go infinite, and its position
      // after them. Make two nodes so for the second half of the run.
      form.springs(10).Mass = 0;
      form.springs(30).Mass = 0;
    }
    for (int i = 0; i <= 40 && (huge < 0 || notFinite < 0); ++i) {
      const double x = form.springs(i).xPos;
      const double y = form.springs(i).yPos;
      if (huge < 0 && (std::fabs(x) > 1e200 || std::fabs(y) > 1e200)) huge = p;
      if (notFinite < 0 && (!std::isfinite(x) || !std::isfinite(y))) notFinite = p;
    }
  }
  std::printf(
      "centre mass 2000: coordinates beyond 1e200 from pass %ld; nodes 10 and 30 massless from "
      "pass %ld, coordinates not finite from pass %ld\n",
      huge, passes / 2, notFinite);
  std::printf("centre node at (%g, %g)\n", form.springs(20).xPos, form.springs(20).yPos);
  for (const auto& [what, v] : {std::pair{"wall clock", &micros}, std::pair{"processor", &cpu}}) {
    std::printf("pass time over %ld passes (%s): median %.1f us, 99.9%% %.1f us, longest %.1f us\n",
                passes, what, Percentile(*v, 0.5), Percentile(*v, 0.999),
                *std::ranges::max_element(*v));
  }
  if (huge < 0 || notFinite < 0) Die("the chain did not diverge all the way");
  // Judged on the processor time the passes took, which a busy machine does
  // not stretch, and on all but the slowest thousandth of them (a page fault,
  // a cold cache).
  if (timed && Percentile(cpu, 0.999) >= 1000.0) {
    Die("passes take a millisecond or more on a diverged chain");
  }

  // Every control still acts on the diverged chain.
  Click(c.nudgeRight);
  if (form.springs(20).Vx != 50.0) Die("Nudge Right did not set the centre's Vx to 50");
  Click(c.nudgeLeft);
  if (form.springs(20).Vx != -50.0) Die("Nudge Left did not set the centre's Vx to -50");
  Key(c.mass, Qt::Key_Home);
  if (form.springs(20).Mass != 1.0) Die("the mass bar's Home key did not set the centre mass to 1");
  Key(c.colour, Qt::Key_End);
  for (int i = 0; i <= 40; ++i) {
    if (form.springs(i).ColScale != 0.1) Die("the colour bar's End key did not set every ColScale");
  }
  for (int i = 0; i < 100; ++i) form.Pass();
  std::printf("controls ok after divergence; pressing E&xit\n");
  std::fflush(stdout);
  Click(c.exit);
  // A mnemonic or queued click may arrive with the next passes.
  for (int i = 0; i < 1000; ++i) form.Pass();
  std::fprintf(stderr, "chain_soak: E&xit did not end the process\n");
  return 3;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4 ||
      (std::strcmp(argv[1], "soak") != 0 && std::strcmp(argv[1], "diverge") != 0)) {
    std::fprintf(
        stderr, "usage: chain_soak soak PASSES [unjudged] | chain_soak diverge PASSES [untimed]\n");
    return 2;
  }
  const long passes = std::atol(argv[2]);
  if (passes < 10) Die("PASSES must be 10 or more");
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  Form1 form;
  form.StartUp();
  const Controls c = FindControls(form);
  if (std::strcmp(argv[1], "soak") == 0) {
    return Soak(form, c, passes, !(argc == 4 && std::strcmp(argv[3], "unjudged") == 0));
  }
  return Diverge(form, c, passes, !(argc == 4 && std::strcmp(argv[3], "untimed") == 0));
}
