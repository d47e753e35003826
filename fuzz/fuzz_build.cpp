// SPDX-License-Identifier: MIT
// set_num, strntcpy, strmcat, create_string and create_strcat. Bytes 0 to 3
// are the value's bits, bytes 4 to 6 the counts; the rest, cut at NUL bytes,
// gives the "W.S.M" text and three texts.
#include "fuzz_support.h"
#include "strutil.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELVO_FUZZ_ASAN 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define ZELVO_FUZZ_ASAN 1
#endif
#ifdef ZELVO_FUZZ_ASAN
// The sanitizer's own record of a block's requested size (declared here, as
// not every compiler ships the header that declares it).
extern "C" std::size_t __sanitizer_get_allocated_size(const volatile void *block);
#endif

namespace {

// The largest text set_num can print: a 39-digit float, a sign, a point and
// 999 decimals.
constexpr std::size_t kNumberRoom = 1100;

// Heap strings are made at exactly the size they need.
void check_heap_string(char *made, const std::string &expected)
{
    FUZZ_CHECK(made != nullptr);
    FUZZ_CHECK(std::strlen(made) == expected.size() && expected == made);
#ifdef ZELVO_FUZZ_ASAN
    FUZZ_CHECK(__sanitizer_get_allocated_size(made) == expected.size() + 1);
#endif
    std::free(made);
}

void check_set_num(float value, const std::string &spec)
{
    std::vector<char> out(kNumberRoom, '\x5a');
    FUZZ_CHECK(set_num(out.data(), spec.c_str(), value) == out.data());
    const char *end = static_cast<const char *>(std::memchr(out.data(), '\0', out.size()));
    FUZZ_CHECK(end != nullptr);
    const char *text = out.data();
    while (*text == ' ')
        ++text;
    if (!std::isfinite(value)) {
        FUZZ_CHECK(std::strstr(text, std::isnan(value) ? "nan" : "inf") != nullptr);
        return;
    }
    // Right-aligned digits with P decimals, exactly as printf rounds them; a
    // magnitude below 1e-05 is a zero without a sign.
    const char *point = std::strchr(text, '.');
    const int decimals = point == nullptr ? 0 : static_cast<int>(end - point - 1);
    FUZZ_CHECK(decimals >= 0 && decimals <= 999);
    const double printed = std::fabs(static_cast<double>(value)) < 1e-05 ? 0.0 : value;
    std::vector<char> expected(kNumberRoom);
    std::snprintf(expected.data(), expected.size(), "%.*f", decimals, printed);
    FUZZ_CHECK(std::strcmp(text, expected.data()) == 0);
    FUZZ_CHECK(end - out.data() >= decimals); // the width is never below the precision
}

void check_strntcpy(const std::uint8_t *raw, std::size_t size, int n, std::size_t offset)
{
    const std::size_t copied = n > 0 ? static_cast<std::size_t>(n) : 0;
    if (copied + offset > size)
        return;
    // Separate exact-size buffers: n bytes read, n + 1 written, NULs and all.
    std::vector<char> src(raw, raw + copied);
    std::vector<char> dest(copied + 1, '\x5a');
    FUZZ_CHECK(strntcpy(dest.data(), n > 0 ? src.data() : nullptr, n) == 1);
    FUZZ_CHECK(std::equal(src.begin(), src.end(), dest.begin()) && dest[copied] == '\0');

    // The source further on in the destination's own buffer.
    std::vector<char> shared(raw, raw + copied + offset);
    shared.push_back('\x5a');
    const std::vector<char> before = shared;
    FUZZ_CHECK(strntcpy(shared.data(), shared.data() + offset, n) == 1);
    FUZZ_CHECK(std::equal(shared.begin(), shared.begin() + static_cast<std::ptrdiff_t>(copied),
                          before.begin() + static_cast<std::ptrdiff_t>(offset)));
    FUZZ_CHECK(shared[copied] == '\0');
    FUZZ_CHECK(std::equal(shared.begin() + static_cast<std::ptrdiff_t>(copied) + 1, shared.end(),
                          before.begin() + static_cast<std::ptrdiff_t>(copied) + 1));
}

void check_strmcat(const std::string &dest_text, const std::string &src, int max)
{
    const std::size_t used = dest_text.size();
    const std::size_t room =
        (max > 0 && static_cast<std::size_t>(max) > used ? static_cast<std::size_t>(max) : used)
        + 1;
    std::vector<char> dest(room, '\0');
    std::memcpy(dest.data(), dest_text.c_str(), used + 1);
    const std::vector<char> before = dest;
    const std::vector<char> source(src.c_str(), src.c_str() + src.size() + 1);

    const int result = strmcat(dest.data(), source.data(), max);
    if (max <= 0 || used >= static_cast<std::size_t>(max)) {
        FUZZ_CHECK(result == 0 && dest == before);
        return;
    }
    FUZZ_CHECK(result == 1);
    const std::size_t limit = static_cast<std::size_t>(max);
    const std::string expected = (dest_text + src).substr(0, limit);
    FUZZ_CHECK(std::strlen(dest.data()) <= limit && expected == dest.data());
    FUZZ_CHECK(strmcat(nullptr, source.data(), max) == 0
               && strmcat(dest.data(), nullptr, max) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 7 || size > kMaxInput)
        return 0;
    float value;
    std::memcpy(&value, data, sizeof value);
    const int n = static_cast<signed char>(data[4]);
    const int max = static_cast<signed char>(data[5]);
    const std::size_t offset = data[6] % 8;
    std::vector<std::string> texts = texts_of(data + 7, size - 7, 4);
    texts.resize(4);

    check_set_num(value, texts[0]);
    check_strntcpy(data + 7, size - 7, n, offset);
    check_strmcat(texts[1], texts[2], max);

    check_heap_string(create_string(texts[1].c_str()), texts[1]);
    check_heap_string(create_strcat(texts[1].c_str(), texts[2].c_str(), texts[3].c_str()),
                      texts[1] + texts[2] + texts[3]);
    FUZZ_CHECK(create_string(nullptr) == nullptr);
    FUZZ_CHECK(create_strcat(nullptr, texts[2].c_str(), texts[3].c_str()) == nullptr);
    FUZZ_CHECK(create_strcat(texts[1].c_str(), nullptr, texts[3].c_str()) == nullptr);
    FUZZ_CHECK(create_strcat(texts[1].c_str(), texts[2].c_str(), nullptr) == nullptr);
    return 0;
}
