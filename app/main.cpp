// Program start-up: the application object with its title, then the catalogue window.
#include "app/kelpo_application.h"
#include "app/start_up.h"

int main(int argc, char** argv) {
  kelpo::KelpoApplication app(argc, argv);
  return kelpo::runKelpo(app);
}
