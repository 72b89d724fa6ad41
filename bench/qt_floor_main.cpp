// The least a Qt Widgets program showing text costs to start: an application
// object and one label in a top-level window, nothing else. The start-up
// benchmark measures it beside Lumaro to show how much is Qt's own.
// `--empty` shows a bare widget instead, which never loads a font.

#include <QApplication>
#include <QLabel>
#include <cstring>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const bool empty = argc > 1 && std::strcmp(argv[1], "--empty") == 0;
  QLabel window(empty ? QString() : QStringLiteral("No Apple Cinema Displays found."));
  window.resize(320, 100);
  window.show();
  return QApplication::exec();
}
