// Appends text data entries to an empty file and to a file of 1 GB, and prints the median time of
// one append to each: the size of the file must not matter.
//
//   append_bench FOLDER

#include "files/text_data_entry.h"
#include "services/local_file_system.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

double medianAppendMicroseconds(dovrante::LocalFileSystem &files, const std::string &path)
{
    const std::string entry =
        dovrante::textDataEntry("12/6/2026 10:39:31 AM", std::string(200, 'x'));
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (files.append(path, entry))
            return -1;
        times.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    namespace fs = std::filesystem;
    const fs::path folder = argc > 1 ? argv[1] : fs::temp_directory_path();
    const fs::path empty = folder / "empty Data.txt";
    const fs::path large = folder / "large Data.txt";
    fs::remove(empty);
    {
        std::ofstream file(large, std::ios::binary | std::ios::trunc);
        const std::string block(1 << 20, 'a');
        for (int i = 0; i < 1024; ++i)
            file.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    dovrante::LocalFileSystem files;
    const double toEmpty = medianAppendMicroseconds(files, empty.string());
    const double toLarge = medianAppendMicroseconds(files, large.string());
    std::printf("append to an empty file: %.1f us, to a 1 GB file: %.1f us (median of 200)\n",
                toEmpty, toLarge);
    fs::remove(empty);
    fs::remove(large);
    return 0;
}
