# SPDX-License-Identifier: MIT
# The MIME type that CUPS gives a file, asked through cupsfilter; sourced by
# the CUPS scripts that check typing.
#
#   add_type_probe SERVER_ROOT   adds a type that nothing converts into:
#                                asked for it, cupsfilter names the type
#                                that it gave the file
#   type_of CUPS_FILES_CONF FILE the type of FILE, or "none", with the
#                                cups-files.conf whose ServerRoot has the probe
add_type_probe() {
  echo application/x-zelvo-probe > "$1/probe.types"
}

type_of() {
  local err
  err=$(cupsfilter -c "$1" --list-filters -m application/x-zelvo-probe "$2" 2>&1 >/dev/null || true)
  case $err in
  *"Unable to determine MIME type"*) echo none ;;
  *"No filter to convert from "*) err=${err#*No filter to convert from }; echo "${err%% to application/x-zelvo-probe*}" ;;
  *) echo "unexpected: $err" ;;
  esac
}
