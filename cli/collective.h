#pragma once
// The processes of one MPI run as `simulate --mpi` needs them. The implementation lives with
// the executable (only it links MPI); a build without MPI has none.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cli {

class Collective {
  public:
    virtual ~Collective() = default;  // ends the MPI session
    virtual uint32_t rank() const = 0;
    virtual uint32_t size() const = 0;
    // Every rank calls it with its text; rank 0 receives all texts in rank order, the other
    // ranks an empty list.
    virtual std::vector<std::string> gatherToFirst(const std::string& text) = 0;
    // Every rank calls it; all receive rank 0's value.
    virtual int shareFromFirst(int value) = 0;
};

// Starts the MPI session of this process (once); null when this build has no MPI.
using MpiStarter = std::unique_ptr<Collective> (*)();

}  // namespace cli
