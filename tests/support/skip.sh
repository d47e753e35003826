# SPDX-License-Identifier: MIT
# Skipping a test script whose tool is missing, sourced by the scripts (as
# support/skip.h does for the test programs): skip REASON prints "SKIP:
# REASON" and exits 77, or fails (1) where ZELVO_REQUIRE_ALL=1 says that
# every tool is installed, as it is in CI.
skip() {
  echo "SKIP: $*"
  [ "${ZELVO_REQUIRE_ALL:-}" != 1 ] || { echo "FAIL: ZELVO_REQUIRE_ALL=1 turns this skip into a failure" >&2; exit 1; }
  exit 77
}
