// SPDX-License-Identifier: MIT
// Results of strutil.hpp dropped on purpose, for strutil_hpp_nodiscard.sh:
// each line marked "dropped" must draw a discarded-result warning, and
// nothing else any warning. Only compiled, never linked.
#include "strutil.hpp"

#include <string_view>

// Returns an owner without [[nodiscard]] of its own: the class must carry it.
strutil::ParsedArray tokens_from_elsewhere();

void drop_every_result(strutil::ParsedArray &owner, std::string_view view)
{
    strutil::parse_string("a,b", ',');         // dropped
    strutil::parse_string(view, ',');          // dropped
    strutil::parse_command("lp");              // dropped
    strutil::parse_command(view);              // dropped
    strutil::parse_command_line("lp", "-d q"); // dropped
    strutil::parse_command_line(view, view);   // dropped
    strutil::create_string("a");               // dropped
    strutil::create_string(view);              // dropped
    strutil::create_strcat("a", "b", "c");     // dropped
    strutil::create_strcat(view, view, view);  // dropped
    owner.release();                           // dropped
    tokens_from_elsewhere();                   // dropped
}
