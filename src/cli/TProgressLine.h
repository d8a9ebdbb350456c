#pragma once

#include <chrono>
#include <string>

namespace lodestar::cli {

// The one line on standard error that shows how far a batch run is, kept only when a person is
// watching standard error (a terminal); otherwise every call does nothing.
class TProgressLine {
public:
  TProgressLine();

  bool Shown() const { return FEnabled; }
  // Redraws the line at most every 100 ms.
  void Tick(long long files, long long pages, const std::string& status);
  // The line now; final leaves the totals on a line of their own.
  void Show(bool final, long long files, long long pages, const std::string& status);
  // Wipes the line so a message can take its place.
  void Clear();

private:
  bool FEnabled;
  bool FDrawn = false;
  std::chrono::steady_clock::time_point FStarted = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point FLastShown;
};

} // namespace lodestar::cli
