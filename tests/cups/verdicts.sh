# SPDX-License-Identifier: MIT
# The verdicts of the CUPS test scripts, sourced by each. A missing tool
# skips (77) with its reason, or fails where ZELVO_REQUIRE_ALL=1 says that
# every tool is installed.
skip() {
  echo "SKIP: $*"
  [ "${ZELVO_REQUIRE_ALL:-}" != 1 ] || { echo "FAIL: ZELVO_REQUIRE_ALL=1 turns this skip into a failure" >&2; exit 1; }
  exit 77
}
fail() { echo "FAIL: $*"; exit 1; }
