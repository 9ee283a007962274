// A form being filled in: the values as they stand, the answers remembered
// between runs, and Calculate. The window, the web page and the tests drive
// a tool through this one class, so that they open, remember and refuse
// alike.
#pragma once

#include <optional>
#include <string>

#include "forms/form.h"

namespace fortelle {
class FileSystem;
}

namespace fortelle::forms {

// The answers of every tool, remembered per tool and, for a tool with a
// memory field, per value of it (the US tax settings stay with US Powerball
// and do not follow the user to EuroMillions). Kept as JSON in one file of
// the working directory, written whole and only when a form computes.
class Memory {
public:
    static constexpr const char* kFileName = "Tools.json";
    explicit Memory(FileSystem& files, std::string fileName = kFileName);

    // The memory field's value last computed with, or "".
    std::string lastKey(const std::string& tool) const;
    std::optional<Values> recall(const std::string& tool, const std::string& key) const;
    // Remembers `values` as the answers for `key`, which becomes the last.
    void keep(const std::string& tool, const std::string& key, const Values& values);

private:
    FileSystem& files_;
    std::string fileName_;
};

class Session {
public:
    // Opens the form with the answers last computed with (for the memory
    // field's last value), or the fields' initial values.
    Session(const Tool& tool, Memory& memory);

    const Tool& tool() const { return tool_; }
    const Values& values() const { return values_; }
    std::vector<Field> fields() const { return tool_.fields(values_); }

    // A value typed or chosen. Choosing another value of the memory field
    // (another game) brings the answers remembered for it, or the initial
    // values where there are none.
    void set(const std::string& key, const std::string& value);
    // Every value at once (a shared link): the memory field's first, then
    // the rest over what it brought.
    void setAll(const Values& values);

    // The problems of the values as they stand, each beside its field.
    std::vector<Problem> problems() const { return tool_.check(values_); }

    // Computes; when it succeeds, its values are remembered. Nothing is
    // written when it fails or when the form is closed without it.
    Result calculate(Progress& progress);
    Result calculate();
    // The second half of calculate, for a front end that computes off its
    // event thread (tool().compute with a copy of values()) and comes back
    // with the result: remembers `values` when `result` succeeded.
    void remember(const Values& values, const Result& result);

private:
    void load(const std::string& memoryKey);
    void settle();

    const Tool& tool_;
    Memory& memory_;
    Values values_;
    Values wanted_; // what was chosen, also where the form no longer offers it
};

} // namespace fortelle::forms
