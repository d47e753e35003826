// SPDX-License-Identifier: MIT
// A C++ caller of strutil: the owners of strutil.hpp and C functions of
// every group. Exits 1 on the first wrong result.
#include <strutil.hpp>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

int failures = 0;

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "main.cpp: wrong result: %s\n", what);
        ++failures;
    }
}

void check_str(const char *got, const char *want, const char *what)
{
    check(got != nullptr && std::strcmp(got, want) == 0, what);
}

std::vector<std::string> words(const strutil::ParsedArray &array)
{
    return std::vector<std::string>(array.begin(), array.end());
}

void owners()
{
    strutil::ParsedArray list = strutil::parse_string("pcl,port,lwidth=0.3", ',');
    check(words(list) == std::vector<std::string>{"pcl", "port", "lwidth=0.3"}, "parse_string");

    strutil::ParsedArray moved = std::move(list);
    check(list.empty() && moved.size() == 3, "ParsedArray move");

    strutil::ParsedArray command = strutil::parse_command_line("lp", "-d \"a queue\"");
    check(words(command) == std::vector<std::string>{"lp", "-d", "a queue"}, "parse_command_line");
    check(command.data()[command.size()] == nullptr, "parse_command_line NULL element");
    check(strutil::parse_command("").empty(), "parse_command of an empty text");

    strutil::String joined = strutil::create_strcat("a", "b", "c");
    check_str(joined.get(), "abc", "create_strcat");
    check(!strutil::create_string(nullptr), "create_string of NULL");
}

void c_functions()
{
    char line[] = "\tone  two\r\n";
    check(wstrim_string(line) == 1, "wstrim_string result");
    check_str(line, "\tone  two", "wstrim_string");
    strip_spaces(line);
    low_string(line);
    fill_string(line, '\t', '_');
    check_str(line, "_one two", "strip_spaces, low_string, fill_string");

    static const char *const keys[] = {"pcl", "lj"};
    check(string_is_alpha("abc") == 1 && string_is_alpha("ab1") == 0, "string_is_alpha");
    check(string_is_num_len("12x", 2) == 1 && string_is_num_len("1", 2) == 0, "string_is_num_len");
    check(chk_arg("LJ", keys, 2) == 1 && chk_arg("lp", keys, 2) == -9999, "chk_arg");
    const char *text = "abcabc";
    check(strlstr(text, "bc") == text + 4 && strlstr(text, "x") == nullptr, "strlstr");

    char out[32];
    check_str(set_num(out, "0.4.2", 2.5f), "2.500", "set_num");
    char buffer[8] = "";
    check(strmcat(buffer, "abcdefghij", 7) == 1, "strmcat result");
    check_str(buffer, "abcdefg", "strmcat");
}

} // namespace

int main()
{
    owners();
    c_functions();
    if (failures == 0)
        std::printf("main.cpp: all results as expected\n");
    return failures == 0 ? 0 : 1;
}
