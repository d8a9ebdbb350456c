#pragma once

#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace lodestar::test {

// Loads a built file from memory, or a file by its path, keeping the reader's messages.
class ReaderTest : public ::testing::Test {
protected:
  std::unique_ptr<TTiffFile> Load(const TTiffBuilder& builder) {
    auto file =
        std::make_unique<TTiffFile>([this](const std::string& m) { FMessages.push_back(m); });
    file->LoadFromMemory("t.tif", builder.Bytes());
    return file;
  }
  std::unique_ptr<TTiffFile> LoadPath(const std::string& path) {
    auto file =
        std::make_unique<TTiffFile>([this](const std::string& m) { FMessages.push_back(m); });
    file->SetFileName(path);
    return file;
  }

  TTempDir FDir;
  std::vector<std::string> FMessages;
};

} // namespace lodestar::test
