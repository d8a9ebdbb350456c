#!/bin/sh
# Lines of code under src/ and of tests under tests/, counted the way the project's rule on test
# weight means them: C++ sources and headers, CMake files and scripts, wherever they lie; test data
# (tests/data/) and golden outputs (which have none of these endings) are left out.
#
#   scripts/count-lines.sh [COMMIT]
#
# With COMMIT, the tests are also counted a second time, limited to the files that existed at that
# commit (the suites as they were then, without the test files added since).
set -eu
cd "$(dirname "$0")/.."

counted() {
  find "$1" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name 'CMakeLists.txt' \
    -o -name '*.cmake' -o -name '*.sh' -o -name '*.py' \) \
    -not -path '*/data/*' | sort
}

src=$(counted src | xargs cat | wc -l)
tests=$(counted tests | xargs cat | wc -l)
echo "src:   $src"
echo "tests: $tests ($((100 * tests / src)) % of src; a third is $((src / 3)))"
if [ $# -gt 0 ]; then
  existing=$(counted tests | while read -r file; do
    if git cat-file -e "$1:$file" 2>/dev/null; then echo "$file"; fi
  done | xargs cat | wc -l)
  echo "tests that existed at $1: $existing"
fi
