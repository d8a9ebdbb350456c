# Sourced by every benchmark script with the script's own arguments: checks for the one argument,
# the build folder, leaves it in $build and works from the top of the checkout.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$1
