/*
 * strutil.hpp: owners for the strutil results that need releasing, for C++
 * callers (C++11 or later).
 *
 * strutil::ParsedArray owns a token array and releases it with
 * free_parsed_array(); strutil::String owns a created string and releases
 * it with free(). The functions below call the C functions of the same
 * names and hand their results to these owners; a failure gives an empty
 * owner. Everything else is used through strutil.h directly, which this
 * header includes.
 */
#ifndef STRUTIL_HPP
#define STRUTIL_HPP

#include "strutil.h"

#include <cstddef>
#include <cstdlib>
#include <memory>

namespace strutil {

/*
 * Move-only owner of a token array from parse_string, parse_command or
 * parse_command_line. An empty owner (size() 0) holds nothing; a moved-from
 * owner is empty.
 */
class ParsedArray {
public:
    using value_type = const char *;
    using const_iterator = const char *const *;
    using iterator = const_iterator;

    ParsedArray() noexcept = default;

    /* Takes over `array` with its `count` tokens; (0, nullptr) is empty. */
    ParsedArray(int count, char **array) noexcept : count_(count), array_(array) {}

    ParsedArray(ParsedArray &&other) noexcept : count_(other.count_), array_(other.array_)
    {
        other.count_ = 0;
        other.array_ = nullptr;
    }

    ParsedArray &operator=(ParsedArray &&other) noexcept
    {
        if (this != &other) {
            reset();
            count_ = other.count_;
            array_ = other.array_;
            other.count_ = 0;
            other.array_ = nullptr;
        }
        return *this;
    }

    ParsedArray(const ParsedArray &) = delete;
    ParsedArray &operator=(const ParsedArray &) = delete;

    ~ParsedArray() { reset(); }

    std::size_t size() const noexcept { return static_cast<std::size_t>(count_); }
    bool empty() const noexcept { return count_ == 0; }

    /* Token `i`, 0 to size()-1; not checked. */
    const char *operator[](std::size_t i) const noexcept { return array_[i]; }

    const_iterator begin() const noexcept { return array_; }
    const_iterator end() const noexcept { return array_ + count_; }

    /*
     * The array itself, for C interfaces such as execvp: the command
     * tokenizers end it with a NULL element, parse_string does not.
     * Null when empty. Ownership stays here.
     */
    char **data() const noexcept { return array_; }

    /* Hands the array to the caller, who frees it with free_parsed_array(). */
    char **release() noexcept
    {
        char **array = array_;
        count_ = 0;
        array_ = nullptr;
        return array;
    }

    void reset() noexcept
    {
        int count = count_;
        free_parsed_array(count, release());
    }

private:
    int count_ = 0;
    char **array_ = nullptr;
};

struct FreeDeleter {
    void operator()(char *s) const noexcept { std::free(s); }
};

/* A created string, released with free(); null after a failure. */
using String = std::unique_ptr<char, FreeDeleter>;

inline ParsedArray parse_string(const char *text, int separator) noexcept
{
    int count = 0;
    char **array = nullptr;
    if (::parse_string(text, separator, &count, &array) != 0)
        return ParsedArray();
    return ParsedArray(count, array);
}

inline ParsedArray parse_command(const char *command) noexcept
{
    int count = 0;
    char **array = nullptr;
    if (::parse_command(command, &count, &array) != 0)
        return ParsedArray();
    return ParsedArray(count, array);
}

inline ParsedArray parse_command_line(const char *first, const char *second) noexcept
{
    int count = 0;
    char **array = nullptr;
    if (::parse_command_line(first, second, &count, &array) != 0)
        return ParsedArray();
    return ParsedArray(count, array);
}

inline String create_string(const char *text) noexcept
{
    return String(::create_string(text));
}

inline String create_strcat(const char *first, const char *second, const char *third) noexcept
{
    return String(::create_strcat(first, second, third));
}

} // namespace strutil

#endif /* STRUTIL_HPP */
