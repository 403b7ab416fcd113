#include <QApplication>
#include <QIcon>
#include <optional>

#include "ui/Form1.h"
#include "ui/MessageCapture.h"
#include "ui/PlatformDefaults.h"
#include "ui/StartChecks.h"

int main(int argc, char* argv[]) {
  chain::SetPlatformDefaults(argc, argv);
  std::optional<QApplication> app;
  {
    // No display, a display that refuses, no compositor: plain words, status 1.
    const chain::MessageCapture capture(&chain::ExitWhenNoWindowSystem);
    app.emplace(argc, argv);
  }
  chain::ExitUnlessScreenDrawable();
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/hanging-chain.png")));
  // Ties the window to its installed desktop entry (CHAIN_APP_ID.desktop).
  QGuiApplication::setDesktopFileName(QStringLiteral(CHAIN_APP_ID));
  chain::Form1 form;
  form.Form_Load();
}
