// Times a program from its start to the first frame it presents on the X server.
//
//   first_frame [--colour RRGGBB] [--tolerance N] [--timeout SECONDS] -- program [args...]
//
// Starts the program, waits for its first top-level window to be mapped, then
// reads the window's pixels back from the server until one of them matches the
// colour (each channel within the tolerance; without --colour: any pixel that is
// not black). Prints the milliseconds from just before the program was started
// to that moment, then kills the program. Meant for a bare server with a black
// root window (bench/with-xvfb.sh): without a window manager, a mapped window
// is a direct child of the root and shows black until its owner paints it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>  // NOLINT(modernize-deprecated-headers): kill() is POSIX
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  bool anyColour = true;
  std::uint32_t colour = 0;  // 0xRRGGBB
  int tolerance = 0;
  double timeoutSeconds = 30;
  std::vector<char*> command;
};

[[noreturn]] void Usage() {
  std::fprintf(stderr,
               "usage: first_frame [--colour RRGGBB] [--tolerance N] [--timeout SECONDS] -- "
               "program [args...]\n");
  std::exit(2);
}

Options Parse(int argc, char** argv) {
  Options o;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--") {
      ++i;
      break;
    }
    if (i + 1 >= argc) Usage();
    if (a == "--colour") {
      o.anyColour = false;
      o.colour = static_cast<std::uint32_t>(std::stoul(argv[++i], nullptr, 16));
    } else if (a == "--tolerance") {
      o.tolerance = std::stoi(argv[++i]);
    } else if (a == "--timeout") {
      o.timeoutSeconds = std::stod(argv[++i]);
    } else {
      Usage();
    }
  }
  for (; i < argc; ++i) o.command.push_back(argv[i]);
  if (o.command.empty()) Usage();
  o.command.push_back(nullptr);
  return o;
}

bool Near(unsigned a, unsigned b, int tolerance) {
  const int d = static_cast<int>(a) - static_cast<int>(b);
  return d <= tolerance && -d <= tolerance;
}

// Tells whether a pixel value of an image is the wanted colour; the channels
// come through the visual's masks, so any 24-bit layout works.
class Matcher {
 public:
  Matcher(const Options& o, const XImage& image)
      : o_(o),
        red_(image.red_mask),
        green_(image.green_mask),
        blue_(image.blue_mask),
        redShift_(Shift(image.red_mask)),
        greenShift_(Shift(image.green_mask)),
        blueShift_(Shift(image.blue_mask)) {}

  [[nodiscard]] bool operator()(unsigned long pixel) const {
    const auto r = static_cast<unsigned>((pixel & red_) >> redShift_);
    const auto g = static_cast<unsigned>((pixel & green_) >> greenShift_);
    const auto b = static_cast<unsigned>((pixel & blue_) >> blueShift_);
    if (o_.anyColour) return r != 0 || g != 0 || b != 0;
    return Near(r, (o_.colour >> 16) & 0xFFU, o_.tolerance) &&
           Near(g, (o_.colour >> 8) & 0xFFU, o_.tolerance) &&
           Near(b, o_.colour & 0xFFU, o_.tolerance);
  }

 private:
  static unsigned Shift(unsigned long mask) {
    unsigned n = 0;
    while (mask != 0 && (mask & 1UL) == 0) {
      mask >>= 1;
      ++n;
    }
    return n;
  }
  const Options& o_;
  unsigned long red_, green_, blue_;
  unsigned redShift_, greenShift_, blueShift_;
};

// Reads the window back once; true when a matching pixel is on it.
bool Shows(Display* dpy, Window w, const Options& o) {
  XWindowAttributes at;
  if (XGetWindowAttributes(dpy, w, &at) == 0 || at.map_state != IsViewable) return false;
  XImage* image = XGetImage(dpy, w, 0, 0, static_cast<unsigned>(at.width),
                            static_cast<unsigned>(at.height), AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  const Matcher matches(o, *image);
  bool found = false;
  for (int y = 0; y < image->height && !found; ++y) {
    const char* row = image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line;
    for (int x = 0; x < image->width && !found; ++x) {
      unsigned long pixel = 0;
      if (image->bits_per_pixel == 32 && image->byte_order == LSBFirst) {
        std::uint32_t v = 0;  // the common case, read directly: XGetPixel is slow
        std::memcpy(&v, row + 4 * static_cast<std::ptrdiff_t>(x), sizeof v);
        pixel = v;
      } else {
        pixel = XGetPixel(image, x, y);
      }
      found = matches(pixel);
    }
  }
  XDestroyImage(image);
  return found;
}

// A window may vanish between an event and a request about it; that is no error here.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  // A busy server may turn a connection away for a moment: try for two seconds.
  Display* dpy = XOpenDisplay(nullptr);
  for (int tries = 0; dpy == nullptr && tries < 20; ++tries) {
    usleep(100 * 1000);
    dpy = XOpenDisplay(nullptr);
  }
  if (dpy == nullptr) {
    const char* name = std::getenv("DISPLAY");
    std::fprintf(stderr, "first_frame: cannot open the display %s\n", name ? name : "(unset)");
    return 1;
  }
  XSetErrorHandler(IgnoreErrors);
  const Window root = XDefaultRootWindow(dpy);
  XSelectInput(dpy, root, SubstructureNotifyMask);
  XSync(dpy, False);

  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("fork");
    return 1;
  }
  if (child == 0) {
    execvp(o.command[0], o.command.data());
    std::perror("execvp");
    _exit(127);
  }

  const Clock::time_point deadline = start + std::chrono::duration_cast<Clock::duration>(
                                                 std::chrono::duration<double>(o.timeoutSeconds));
  Window target = 0;
  bool presented = false;
  Clock::time_point when{};
  while (!presented && Clock::now() < deadline) {
    while (XPending(dpy) > 0) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      if (target == 0 && ev.type == MapNotify && ev.xmap.event == root) {
        XWindowAttributes at;
        // Skip small helper windows; the program's window is its first big one.
        if (XGetWindowAttributes(dpy, ev.xmap.window, &at) != 0 && at.width >= 64 &&
            at.height >= 64) {
          target = ev.xmap.window;
        }
      }
    }
    if (target != 0) {
      if (Shows(dpy, target, o)) {
        when = Clock::now();
        presented = true;
        break;
      }
      usleep(500);
    } else {
      pollfd p{XConnectionNumber(dpy), POLLIN, 0};
      poll(&p, 1, 5);
    }
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
      std::fprintf(stderr, "first_frame: the program ended before presenting a frame\n");
      return 1;
    }
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  XCloseDisplay(dpy);
  if (!presented) {
    std::fprintf(stderr, "first_frame: no matching frame within %.0f s\n", o.timeoutSeconds);
    return 1;
  }
  std::printf("%.2f\n", std::chrono::duration<double, std::milli>(when - start).count());
  return 0;
}
