#include "mpi/mpi_program.h"

#include <cstdlib>

#include <mpi.h>

#include "driver/main_flow.h"
#include "mpi/mpi_job.h"

namespace tamsel {

namespace {

// The variables the common launchers give their processes: Open MPI's
// mpirun, MPICH's Hydra and Slurm's srun (PMI or PMIx).
bool StartedByLauncher() {
  for (const char* name : {"OMPI_COMM_WORLD_SIZE", "PMI_SIZE", "PMIX_RANK", "PMI_RANK"}) {
    if (std::getenv(name) != nullptr) return true;
  }
  return false;
}

}  // namespace

int RunMpiProgram(int argc, char** argv, TSearchJob* (*jobFor)(TMpiJob& job)) {
  if (!StartedByLauncher()) return RunProgramMain(argc, argv);
  int provided = MPI_THREAD_SINGLE;
  if (MPI_Init_thread(&argc, &argv, MPI_THREAD_SERIALIZED, &provided) != MPI_SUCCESS) {
    return RunProgramMain(argc, argv);
  }
  int code = 0;
  {
    TMpiJob job(MPI_COMM_WORLD);
    // The workers draw their runs themselves, one call at a time; a library
    // that lets only the main thread call it leaves rank 0 to search alone.
    if (provided < MPI_THREAD_SERIALIZED) {
      const int rank = job.Rank();
      MPI_Finalize();
      return rank == 0 ? RunProgramMain(argc, argv) : 0;
    }
    SetSearchJob(jobFor != nullptr ? jobFor(job) : &job);
    if (job.Rank() == 0) {
      code = RunProgramMain(argc, argv);
      job.EndSearches();
    } else {
      job.ServeSearches();
    }
    SetSearchJob(nullptr);
  }
  MPI_Finalize();
  return code;
}

}  // namespace tamsel
