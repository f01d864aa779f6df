#!/bin/sh
# Fails, naming each file, when a C++ source differs from .clang-format.
#   scripts/check-format.sh     checks every .cpp and .h file that git tracks or would track
set -eu
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format is not installed" >&2; exit 2; }
differ=$(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' | while read -r file; do
    clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || echo "$file"
done)
if [ -n "$differ" ]; then
    echo "These files differ from .clang-format (clang-format -i FILE mends them):" >&2
    echo "$differ" >&2
    exit 1
fi
