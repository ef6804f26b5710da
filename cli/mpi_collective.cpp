// MPI for `simulate --mpi`, linked into ardentix-cli only. Only the main thread calls MPI.

#include "mpi_collective.h"

#ifdef ARDENTIX_HAVE_MPI

#include <mpi.h>

#include <stdexcept>

namespace cli {

namespace {

class MpiWorld : public Collective {
  public:
    MpiWorld() {
        int provided = 0;
        if (MPI_Init_thread(nullptr, nullptr, MPI_THREAD_FUNNELED, &provided) != MPI_SUCCESS)
            throw std::runtime_error("--mpi: MPI could not be started");
        int rank = 0, size = 1;
        MPI_Comm_rank(MPI_COMM_WORLD, &rank);
        MPI_Comm_size(MPI_COMM_WORLD, &size);
        rank_ = uint32_t(rank);
        size_ = uint32_t(size);
    }
    ~MpiWorld() override { MPI_Finalize(); }

    uint32_t rank() const override { return rank_; }
    uint32_t size() const override { return size_; }

    std::vector<std::string> gatherToFirst(const std::string& text) override {
        if (text.size() > size_t(INT32_MAX))
            throw std::runtime_error("--mpi: a partial result is too large to send");
        int length = int(text.size());
        std::vector<int> lengths(rank_ == 0 ? size_ : 0);
        MPI_Gather(&length, 1, MPI_INT, lengths.data(), 1, MPI_INT, 0, MPI_COMM_WORLD);
        std::vector<int> offsets(lengths.size());
        int64_t total = 0;
        for (size_t r = 0; r < lengths.size(); ++r) {
            if (total > INT32_MAX)
                throw std::runtime_error("--mpi: the partial results are too large to gather");
            offsets[r] = int(total);
            total += lengths[r];
        }
        std::string all(size_t(total), '\0');
        MPI_Gatherv(text.data(), length, MPI_CHAR, all.data(), lengths.data(), offsets.data(),
                    MPI_CHAR, 0, MPI_COMM_WORLD);
        std::vector<std::string> texts;
        for (size_t r = 0; r < lengths.size(); ++r)
            texts.push_back(all.substr(size_t(offsets[r]), size_t(lengths[r])));
        return texts;
    }

    int shareFromFirst(int value) override {
        MPI_Bcast(&value, 1, MPI_INT, 0, MPI_COMM_WORLD);
        return value;
    }

  private:
    uint32_t rank_ = 0, size_ = 1;
};

std::unique_ptr<Collective> startMpiWorld() {
    return std::make_unique<MpiWorld>();
}

}  // namespace

MpiStarter mpiStarter() {
    return &startMpiWorld;
}

}  // namespace cli

#else

namespace cli {

MpiStarter mpiStarter() {
    return nullptr;
}

}  // namespace cli

#endif
