// Program start-up: the application title, the catalogue window and the message loop.
#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return 0;
}
