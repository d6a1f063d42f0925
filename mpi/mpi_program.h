// The main routine of tamsel-mpi: the program of tamsel on rank 0, with the
// parallel engine spanning every rank of the launch.
#pragma once

namespace tamsel {

class TMpiJob;
class TSearchJob;

// Started without a launcher, the program runs as tamsel does, without
// MPI. jobFor, when given, names on every rank the job the searches run in
// in place of the MPI job it is given (a test's way to make a rank fail).
int RunMpiProgram(int argc, char** argv, TSearchJob* (*jobFor)(TMpiJob& job) = nullptr);

}  // namespace tamsel
