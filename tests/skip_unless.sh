#!/bin/sh
# SPDX-License-Identifier: MIT
# skip_unless.sh CONDITION REASON COMMAND [ARGS...]: runs the command where
# the shell condition holds; elsewhere prints "SKIP: REASON" and exits 77
# (skipped), or 1 where ZELVO_REQUIRE_ALL=1 says that every tool is
# installed.
. "$(dirname "$0")/support/skip.sh"
condition=$1
reason=$2
shift 2
sh -c "$condition" >/dev/null 2>&1 || skip "$reason"
exec "$@"
