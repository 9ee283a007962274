#include "cli/options.h"

#include <algorithm>

namespace fortelle {

void Refuse(std::string text) { throw Refusal{std::move(text)}; }

std::optional<std::string> Parsed::one(const std::string& name) const
{
    const auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    if (it->second.size() > 1) Refuse(name + " is given more than once");
    return it->second.front();
}

Parsed ParseWords(std::span<const std::string> args, std::initializer_list<std::string_view> withValue,
                  std::initializer_list<std::string_view> flags)
{
    Parsed p;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!options || arg.rfind("--", 0) != 0) {
            p.words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options = false;
            continue;
        }
        const auto eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const bool takes = std::find(withValue.begin(), withValue.end(), name) != withValue.end();
        const bool flag = std::find(flags.begin(), flags.end(), name) != flags.end();
        if (!takes && !flag) Refuse("unknown option '" + name + "'");
        if (flag) {
            if (eq != std::string::npos) Refuse(name + " takes no value");
            p.options[name].push_back("");
        } else if (eq != std::string::npos) {
            p.options[name].push_back(arg.substr(eq + 1));
        } else {
            if (i + 1 >= args.size()) Refuse(name + " needs a value");
            p.options[name].push_back(args[++i]);
        }
    }
    return p;
}

void NoMoreWords(const Parsed& p, std::size_t most)
{
    if (p.words.size() > most) Refuse("unexpected '" + p.words[most] + "'");
}

} // namespace fortelle
