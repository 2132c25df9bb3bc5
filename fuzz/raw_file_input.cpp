// Raw output files, processed as kelpira-process processes them.
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "fuzz_inputs.hpp"
#include "processing/batch_runner.hpp"

namespace kelpira::fuzz {

namespace {

// One file per process, rewritten for every input: the processing reads files by name.
class ScratchFile {
  public:
    ScratchFile() {
        path_ = (std::filesystem::temp_directory_path() / "kelpira-fuzz-raw.XXXXXX").string();
        const int fd = ::mkstemp(path_.data());
        if (fd >= 0) {
            ::close(fd);
        }
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& write(const std::uint8_t* data, std::size_t size) {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (f != nullptr) {
            std::fwrite(data, 1, size, f);
            std::fclose(f);
        }
        return path_;
    }

  private:
    std::string path_;
};

constexpr std::array kChoices{
    processing::ChemistryChoice::automatic, processing::ChemistryChoice::nutrient,
    processing::ChemistryChoice::ph,        processing::ChemistryChoice::ta,
    processing::ChemistryChoice::dic,
};

}  // namespace

int raw_file_input(const std::uint8_t* data, std::size_t size) {
    static ScratchFile scratch;
    const std::string& path = scratch.write(data, size);
    for (const auto chemistry : kChoices) {
        processing::BatchOptions options;
        options.chemistry = chemistry;
        options.log = "-";  // the engines' log lines too
        options.jobs = 1;
        options.files = {path};
        std::istringstream in;
        std::ostringstream out;
        std::ostringstream err;
        processing::run_batch(options, in, out, err);
    }
    return 0;
}

}  // namespace kelpira::fuzz
