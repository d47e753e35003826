#!/bin/sh
# SPDX-License-Identifier: MIT
# skip_unless.sh CONDITION REASON COMMAND [ARGS...]: runs the command where
# the shell condition holds; elsewhere prints "SKIP: REASON" and exits 77
# (skipped), or 1 where ZELVO_REQUIRE_ALL=1 says that every tool is
# installed.
condition=$1
reason=$2
shift 2
if ! sh -c "$condition" >/dev/null 2>&1; then
  echo "SKIP: $reason"
  if [ "${ZELVO_REQUIRE_ALL:-}" = 1 ]; then
    echo "FAIL: ZELVO_REQUIRE_ALL=1 turns this skip into a failure" >&2
    exit 1
  fi
  exit 77
fi
exec "$@"
