#include <QApplication>
#include <QIcon>

#include "ui/Form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/hanging-chain.png")));
  // Ties the window to its installed desktop entry (CHAIN_APP_ID.desktop).
  QGuiApplication::setDesktopFileName(QStringLiteral(CHAIN_APP_ID));
  chain::Form1 form;
  form.Form_Load();
}
