// SPDX-License-Identifier: MIT
// The table of settings words behind resolve_settings, for the checks that
// drive it word by word (the fuzz target's).
#ifndef ZELVO_SETTINGS_WORDS_H
#define ZELVO_SETTINGS_WORDS_H

#include <cstddef>

enum class Setting {
    ModePcl,
    ModeLj,
    Portrait,
    Landscape,
    Hold,
    PenWidth,
    Rotation,
    Destination,
    Paper,
    Fit
};

enum class Takes {
    Nothing,
    Value,         // the next argument; "word=value" in the list
    OptionalValue, // the next argument when it is one; "word" or "word=value" in the list
};

enum class ListForm {
    None,       // not a word of the parameter list
    Word,       // the whole token, or "word=value" for a value
    Historical, // any token beginning with the word; the value starts one
                // character after it, whatever that character is
};

// One word of the settings: "-word" on the command line, "word" in the
// parameter list. Words ignore letter case.
struct SettingsWord {
    const char *word;
    Setting setting;
    Takes takes;
    std::size_t option_prefix; // when not 0, the first that many characters of
                               // "-word" name the option ("-ou" is -out)
    ListForm list;
};

// The command-line word that `arg` names, or null. `next` is the argument
// after it, or null when `arg` is the last: a word that needs a value is
// none without one.
const SettingsWord *option_word(const char *arg, const char *next);

// Whether the argument `next` after an option `word` is its value.
bool takes_argument(const SettingsWord &word, const char *next);

#endif
