#include "TProgressLine.h"

#include "EscapeControls.h"

#include <cstdio>
#include <unistd.h>

namespace lodestar::cli {

TProgressLine::TProgressLine() : FEnabled(isatty(STDERR_FILENO) == 1) {}

void TProgressLine::Tick(long long files, long long pages, const std::string& status) {
  if (!FEnabled)
    return;
  const auto now = std::chrono::steady_clock::now();
  if (now - FLastShown >= std::chrono::milliseconds(100)) {
    FLastShown = now;
    Show(false, files, pages, status);
  }
}

void TProgressLine::Show(bool final, long long files, long long pages, const std::string& status) {
  if (!FEnabled)
    return;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - FStarted).count();
  const double rate = seconds > 0 ? static_cast<double>(files) / seconds : 0;
  if (final) {
    std::fprintf(stderr, "\r\033[K%lld files, %lld pages in %.1f s (%.0f files/s)\n", files, pages,
                 seconds, rate);
    return;
  }
  // The directory is cut from the left so the line stays one line on an ordinary terminal.
  const std::string shown = CutFromLeft(EscapeControls(status), 70);
  std::fprintf(stderr, "\r\033[K%lld files, %lld pages, %.0f files/s, %s", files, pages, rate,
               shown.c_str());
  std::fflush(stderr);
  FDrawn = true;
}

void TProgressLine::Clear() {
  if (FDrawn)
    std::fputs("\r\033[K", stderr);
  FDrawn = false;
}

} // namespace lodestar::cli
