#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/paths.h"

// A temporary workspace for a benchmark, with the flash folders and the staged microphone
// pictures; removed at the end.
class BenchWorkspace {
public:
    BenchWorkspace() {
        std::string root =
            (std::filesystem::temp_directory_path() / "parlomat-bench-XXXXXX").string();
        if (!::mkdtemp(root.data())) std::abort();
        root_ = root + "/";
        for (const char* folder : {"flash/bots", "flash/chars", "flash/backs", "flash/music"})
            std::filesystem::create_directories(root_ + folder);
        const std::string staged = folderOf(executablePath()) + "../workspace/res";
        if (std::filesystem::exists(staged))
            std::filesystem::copy(staged, root_ + "res", std::filesystem::copy_options::recursive);
    }
    ~BenchWorkspace() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    const std::string& path() const { return root_; }

private:
    std::string root_;
};
