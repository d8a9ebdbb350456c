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
  std::unique_ptr<TTiffFile> Load(const TTiffBuilder& builder, const std::string& name = "t.tif") {
    return LoadPath(builder.Save(FDir.File(name)));
  }

  std::unique_ptr<TTiffFile> LoadPath(const std::string& path) {
    auto file =
        std::make_unique<TTiffFile>([this](const std::string& text) { FMessages.push_back(text); });
    file->SetFileName(path);
    return file;
  }

  // The only tag of the only page; fails the test when the file has another shape.
  static const TTag& OnlyTag(const TTiffFile& file) {
    static const TTag none(nullptr);
    const TTiffPage* page = file.Pages().GetPage(0);
    if (file.PageCount() != 1 || page == nullptr || page->Tags().Count() != 1) {
      ADD_FAILURE() << "expected one page with one tag, got " << file.PageCount() << " pages";
      return none;
    }
    return *page->Tags().GetTag(0);
  }

  TTempDir FDir;
  std::vector<std::string> FMessages;
};

} // namespace lodestar::test
