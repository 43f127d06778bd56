#include <mimalloc.h>

#include "program/startup.h"

int main(int argc, char** argv) {
  // Referencing mimalloc keeps it among the program's libraries even under --as-needed,
  // so that its malloc serves the whole process.
  (void)mi_version();
  return Program::RunProgram(argc, argv);
}
