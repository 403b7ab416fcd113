#include <QApplication>

#include "ui/Form1.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  chain::Form1 form;
  form.Form_Load();
}
