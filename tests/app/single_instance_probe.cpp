// Starts like a second Lumaro: exits 0 when it handed over to a running
// instance, 3 when it became the primary itself.
#include <QCoreApplication>

#include "ui/single_instance.hpp"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) return 2;
  lumaro::ui::SingleInstance instance(QString::fromLocal8Bit(argv[1]));
  return instance.becomePrimary() ? 3 : 0;
}
