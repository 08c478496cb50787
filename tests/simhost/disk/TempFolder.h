#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace tavisk::testing {

// A folder of its own under the system's temporary folder, removed with everything
// in it at the end of the test.
class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        _path = std::filesystem::temp_directory_path() / ("tavisk-disk-" + std::to_string(random()));
        std::filesystem::create_directories(_path);
        _path = std::filesystem::canonical(_path);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const noexcept { return _path; }

    // Writes `bytes` to the file at `relative` ("a/b.htm"), making its folders.
    std::filesystem::path write(const std::string& relative, const std::string& bytes) const {
        const auto file = _path / std::filesystem::u8path(relative);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }
    std::string read(const std::string& relative) const {
        std::ifstream in(_path / std::filesystem::u8path(relative), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The names in `relative`'s folder, sorted.
    std::vector<std::string> names(const std::string& relative = {}) const {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(_path / std::filesystem::u8path(relative)))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    std::filesystem::path _path;
};

}  // namespace tavisk::testing
