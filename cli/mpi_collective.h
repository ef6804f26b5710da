#pragma once
// How this build starts MPI: a starter, or null when it was built without MPI.

#include "collective.h"

namespace cli {

MpiStarter mpiStarter();

}  // namespace cli
