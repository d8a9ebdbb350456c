#pragma once

#include "RunProgram.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

namespace lodestar::test {

inline TProgramRun RunCli(const std::vector<std::string>& args) {
  return RunProgram(LODESTAR_CLI, args);
}

// What a user sees of a run: its standard output, its standard error and its status.
inline std::string Outcome(const TProgramRun& run) {
  return run.Out + run.Err + "=" + std::to_string(run.Status);
}

// A diagnostic about one file, as the tool prints it.
inline std::string Said(const std::string& file, const std::string& text,
                        const std::string& kind = "error") {
  return "lodestar-cli: " + kind + ": '" + file + "': " + text + "\n";
}

inline std::string Usage(const std::string& text) {
  return "lodestar-cli: error: " + text + "\nRun with --help for more information.\n";
}

// A page (at 8) pointing at two SubIFDs (300, 400), an Exif directory (500) that points at an
// Interoperability directory (600), and a GPS directory (800).
inline std::string SubDirectoryFile(const std::string& path) {
  const std::string nul(1, '\0');
  TTiffBuilder b;
  b.Header();
  b.Directory(8, {b.ShortEntry(256, 640), b.RawEntry(330, Long, 2, 200), b.LongEntry(34665, 500),
                  b.LongEntry(34853, 800)});
  b.U32(200, 300).U32(204, 400);
  b.Directory(300, {b.ShortEntry(256, 320)});
  b.Directory(400, {b.ShortEntry(256, 160)});
  b.Directory(500,
              {b.AsciiEntry(36867, "2005:08:03 18:59:18" + nul, 700), b.LongEntry(40965, 600)});
  b.Directory(600, {b.AsciiEntry(1, "R98" + nul)});
  b.Directory(800, {b.AsciiEntry(1, "N" + nul)});
  return b.Save(path);
}

} // namespace lodestar::test
