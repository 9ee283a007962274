// The words of a command-line command: its options, its plain words, and a
// refusal that ends it with one line on standard error (status 2).
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fortelle {

// Thrown by Refuse; the command's runner turns it into
// "fortelle-cli: COMMAND: TEXT" on standard error and status 2.
struct Refusal {
    std::string text;
};

[[noreturn]] void Refuse(std::string text);

struct Parsed {
    std::vector<std::string> words;
    std::map<std::string, std::vector<std::string>> options; // "--jackpot" -> values
    bool has(const std::string& name) const { return options.count(name) > 0; }
    // The option's one value; refused when it is given twice.
    std::optional<std::string> one(const std::string& name) const;
};

// Options of a command: those that take a value ("--jackpot X" or
// "--jackpot=X"), those that do not. An unknown option is refused; after
// "--" every word is a plain word.
Parsed ParseWords(std::span<const std::string> args, std::initializer_list<std::string_view> withValue,
                  std::initializer_list<std::string_view> flags);

// Refuses the first plain word beyond `most`.
void NoMoreWords(const Parsed& p, std::size_t most);

} // namespace fortelle
