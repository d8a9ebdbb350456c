#pragma once

#include "CodePage.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <gtest/gtest.h>
#include <memory>

namespace lodestar::test {

// Loads built bytes from memory, keeping the reader's messages.
class ReaderTest : public ::testing::Test {
protected:
  std::unique_ptr<TTiffFile> Load(const TTiffBuilder& builder) {
    auto file =
        std::make_unique<TTiffFile>([this](const std::string& m) { FMessages.push_back(m); });
    file->LoadFromMemory("t.tif", builder.Bytes());
    return file;
  }

  TTempDir FDir;
  std::vector<std::string> FMessages;
};

// "number type count entry-position value-position [value]" of a tag.
inline std::string Fields(const TTag& t) {
  return t.TagNumber() + " " + std::to_string(t.FieldType()) + " " + std::to_string(t.Count()) +
         " " + std::to_string(t.EntryPos()) + " " + std::to_string(t.ValuePos()) + " [" +
         ToUtf8(t.Value()) + "]";
}

} // namespace lodestar::test
