#include "mpi/mpi_program.h"

int main(int argc, char** argv) { return tamsel::RunMpiProgram(argc, argv); }
