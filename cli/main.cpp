#include <mimalloc.h>

#include "cli/companion.h"

int main(int argc, char** argv) {
  // Keeps mimalloc among the program's libraries under --as-needed, so that its malloc (and
  // the wiping free in front of it) serves the whole process.
  (void)mi_version();
  return Cli::RunCompanion(argc, argv);
}
