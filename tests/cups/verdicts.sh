# SPDX-License-Identifier: MIT
# The verdicts of the CUPS test scripts, sourced by each: skip for a missing
# tool, fail for a fault.
source "$(dirname "${BASH_SOURCE[0]}")/../support/skip.sh"
fail() { echo "FAIL: $*"; exit 1; }
