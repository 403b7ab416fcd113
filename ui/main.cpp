#include <QApplication>
#include <QIcon>

#include "ui/Form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/hanging-chain.png")));
  QGuiApplication::setDesktopFileName(QStringLiteral("hanging-chain"));
  chain::Form1 form;
  form.Form_Load();
}
