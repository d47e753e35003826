// SPDX-License-Identifier: MIT
// Making outside text safe to echo in a message line.
#include "message_text.h"

std::string printable(std::string_view text)
{
    std::string line(text);
    for (char &c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return line;
}
