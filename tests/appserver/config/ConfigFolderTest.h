#pragma once
// A fixture with a folder of the test's own, removed afterwards, and an appserver.conf written in
// it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace appserver::testing {

class ConfigFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("vlp-config-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Writes text to appserver.conf in the folder; its path.
    std::string write(const std::string& text) {
        const std::string path = (dir / "appserver.conf").string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::filesystem::path dir;
};

}  // namespace appserver::testing
