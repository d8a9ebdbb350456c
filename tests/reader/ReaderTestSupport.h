#pragma once

#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace lodestar::test {

// Saves a built file into a fresh directory and loads it, keeping the reader's messages.
class ReaderTest : public ::testing::Test {
protected:
  std::unique_ptr<TTiffFile> Load(const TTiffBuilder& builder) {
    return LoadPath(builder.Save(FDir.File("t.tif")));
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
