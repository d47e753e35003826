// SPDX-License-Identifier: MIT
/*
 * strutil.hpp: owners for the strutil results that need releasing, for C++
 * callers (C++17 or later: it uses std::string_view and [[nodiscard]]).
 *
 * strutil::ParsedArray owns a token array and releases it with
 * free_parsed_array(); strutil::String owns a created string and releases
 * it with free(). The functions below call the C functions of the same
 * names and hand their results to these owners; a failure gives an empty
 * owner. Everything else is used through strutil.h directly, which this
 * header includes.
 *
 * Each function also takes std::string_view texts. A view is copied into a
 * NUL-terminated buffer for the C function, so its text ends at its first
 * NUL byte, exactly as the C function would read it; the bytes after that
 * NUL are ignored. No copy is made for a const char * text. Running out of
 * memory for a copy is a failure like any other.
 */
#ifndef STRUTIL_HPP
#define STRUTIL_HPP

#include "strutil.h"

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace strutil {

/*
 * Move-only owner of a token array from parse_string, parse_command or
 * parse_command_line. An empty owner (size() 0) holds nothing; a moved-from
 * owner is empty. It is a contiguous range of const char *const, so a
 * std::span<const char *const> can view it.
 */
class [[nodiscard]] ParsedArray {
public:
    using value_type = const char *;
    using const_iterator = const char *const *;
    using iterator = const_iterator;

    ParsedArray() noexcept = default;

    /*
     * Takes over `array` with its `count` tokens. A null array, or a count of
     * 0 or less, gives an empty owner. A non-null array that comes with such
     * a count is still taken over and released at once (its buffer at
     * element 0, then the array), which free_parsed_array does not do for a
     * count of 0.
     */
    ParsedArray(int count, char **array) noexcept
    {
        if (array != nullptr && count > 0) {
            count_ = count;
            array_ = array;
        } else if (array != nullptr) {
            std::free(array[0]);
            std::free(array);
        }
    }

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
     * The array itself; null when empty. The command tokenizers end it with
     * a NULL element, parse_string does not. Ownership stays here.
     */
    const char *const *data() const noexcept { return array_; }

    /*
     * The same array for C interfaces that take char *const[], such as
     * execvp and posix_spawn: they do not write through it, but C cannot
     * turn a char ** into a const char *const *, so they are declared that
     * way, and a const_cast would otherwise be every caller's. Only a
     * non-const owner gives it, since its pointers let the tokens be written.
     */
    char *const *argv() noexcept { return array_; }

    /* Hands the array to the caller, who frees it with free_parsed_array(). */
    [[nodiscard]] char **release() noexcept
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
    int count_ = 0; // 0 exactly when array_ is null
    char **array_ = nullptr;
};

struct FreeDeleter {
    void operator()(char *s) const noexcept { std::free(s); }
};

/*
 * A created string, released with free(); null after a failure. An alias
 * cannot carry [[nodiscard]], so the functions returning one do.
 */
using String = std::unique_ptr<char, FreeDeleter>;

namespace detail {

/*
 * A NUL-terminated copy of `text`, which lives to the end of the call it is
 * made for. It comes from malloc so that running out of memory gives null
 * rather than an exception: the C function then refuses it as a NULL text,
 * which gives an empty owner like any other failure.
 */
inline String terminated(std::string_view text) noexcept
{
    String copy(static_cast<char *>(std::malloc(text.size() + 1)));
    if (copy) {
        text.copy(copy.get(), text.size());
        copy.get()[text.size()] = '\0';
    }
    return copy;
}

} // namespace detail

[[nodiscard]] inline ParsedArray parse_string(const char *text, int separator) noexcept
{
    int count = 0;
    char **array = nullptr;
    if (::parse_string(text, separator, &count, &array) != 0)
        return ParsedArray();
    return ParsedArray(count, array);
}

[[nodiscard]] inline ParsedArray parse_string(std::string_view text, int separator) noexcept
{
    return parse_string(detail::terminated(text).get(), separator);
}

[[nodiscard]] inline ParsedArray parse_command(const char *command) noexcept
{
    int count = 0;
    char **array = nullptr;
    if (::parse_command(command, &count, &array) != 0)
        return ParsedArray();
    return ParsedArray(count, array);
}

[[nodiscard]] inline ParsedArray parse_command(std::string_view command) noexcept
{
    return parse_command(detail::terminated(command).get());
}

[[nodiscard]] inline ParsedArray parse_command_line(const char *first, const char *second) noexcept
{
    int count = 0;
    char **array = nullptr;
    if (::parse_command_line(first, second, &count, &array) != 0)
        return ParsedArray();
    return ParsedArray(count, array);
}

[[nodiscard]] inline ParsedArray parse_command_line(std::string_view first,
                                                    std::string_view second) noexcept
{
    return parse_command_line(detail::terminated(first).get(), detail::terminated(second).get());
}

[[nodiscard]] inline String create_string(const char *text) noexcept
{
    return String(::create_string(text));
}

[[nodiscard]] inline String create_string(std::string_view text) noexcept
{
    return create_string(detail::terminated(text).get());
}

[[nodiscard]] inline String create_strcat(const char *first, const char *second,
                                          const char *third) noexcept
{
    return String(::create_strcat(first, second, third));
}

[[nodiscard]] inline String create_strcat(std::string_view first, std::string_view second,
                                          std::string_view third) noexcept
{
    return create_strcat(detail::terminated(first).get(), detail::terminated(second).get(),
                         detail::terminated(third).get());
}

} // namespace strutil

#endif /* STRUTIL_HPP */
