// SPDX-License-Identifier: MIT
// Text from outside the filter, made fit for a message line.
//
// cupsd reads every line that a filter writes to standard error as a
// command: "PAGE:", "STATE:", "ATTR:" and the like. An option value, a file
// name or a PPD string that holds a line end would add a line of its own,
// so every piece of such text goes into a message through printable().
#ifndef ZELVO_MESSAGE_TEXT_H
#define ZELVO_MESSAGE_TEXT_H

#include <string>
#include <string_view>

// `text` with each control character (below 0x20, and DEL) replaced by "?".
std::string printable(std::string_view text);

#endif
