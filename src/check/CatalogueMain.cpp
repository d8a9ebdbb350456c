#include "TRule.h"

#include <cstdio>

// Prints docs/checks.md: the build and scripts/checks-doc.sh write it from here.
int main() {
  const std::string text = lodestar::check::RuleCatalogueMarkdown();
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
