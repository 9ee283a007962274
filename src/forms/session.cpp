#include "forms/session.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "platform/file_system.h"

namespace fortelle::forms {
namespace {

using Json = nlohmann::json;

// The memory is small; a file far larger than any it writes is not its own.
constexpr std::size_t kMostMemoryBytes = 1024 * 1024;

Json ReadMemory(const FileSystem& files, const std::string& name)
{
    const auto bytes = files.readAll(name, kMostMemoryBytes);
    if (!bytes) return Json::object();
    // A file that is not the memory's JSON (damaged, or edited by hand) holds
    // no answers, and is replaced at the next computation.
    Json j = Json::parse(*bytes, nullptr, false);
    return j.is_object() ? j : Json::object();
}

} // namespace

Memory::Memory(FileSystem& files, std::string fileName) : files_(files), fileName_(std::move(fileName)) {}

std::string Memory::lastKey(const std::string& tool) const
{
    const Json j = ReadMemory(files_, fileName_);
    // find() answers end() on a value that is not an object, so a section or
    // answers edited into a number or a list reads as absent.
    const auto it = j.find(tool);
    if (it == j.end()) return {};
    const auto last = it->find("last");
    return last != it->end() && last->is_string() ? last->get<std::string>() : std::string();
}

std::optional<Values> Memory::recall(const std::string& tool, const std::string& key) const
{
    const Json j = ReadMemory(files_, fileName_);
    const auto it = j.find(tool);
    if (it == j.end()) return std::nullopt;
    const auto answers = it->find("answers");
    if (answers == it->end()) return std::nullopt;
    const auto entry = answers->find(key);
    if (entry == answers->end() || !entry->is_object()) return std::nullopt;
    Values values;
    for (const auto& [field, value] : entry->items()) {
        if (value.is_string()) values[field] = value.get<std::string>();
    }
    return values;
}

void Memory::keep(const std::string& tool, const std::string& key, const Values& values)
{
    Json j = ReadMemory(files_, fileName_);
    Json& section = j[tool];
    if (!section.is_object()) section = Json::object();
    section["last"] = key;
    if (!section["answers"].is_object()) section["answers"] = Json::object();
    section["answers"][key] = values;
    // Not remembered is not a failure of the computation: the answer stands.
    files_.replaceWith(fileName_, j.dump(1) + "\n");
}

Session::Session(const Tool& tool, Memory& memory) : tool_(tool), memory_(memory)
{
    load(tool_.memoryField().empty() ? std::string() : memory_.lastKey(tool_.info().id));
}

void Session::load(const std::string& memoryKey)
{
    const std::string field = tool_.memoryField();
    Values start;
    if (!field.empty()) start[field] = memoryKey;
    for (const Field& f : tool_.fields(start)) {
        if (field.empty() || f.key != field) continue;
        const auto offered = [&](const std::string& v) {
            return std::any_of(f.options.begin(), f.options.end(), [&](const Option& o) { return o.value == v; });
        };
        // No key yet, or one no longer offered (a game file removed): the
        // field's initial value, or its first option.
        if (memoryKey.empty() || (!f.options.empty() && !offered(memoryKey))) {
            start[field] = f.options.empty() || offered(f.initial) ? f.initial : f.options.front().value;
        }
        break;
    }
    // Every remembered answer, also of fields that show only with another
    // choice (a pay table of one's own), then the initial values of the rest.
    values_ = memory_.recall(tool_.info().id, field.empty() ? std::string() : start[field]).value_or(Values());
    if (!field.empty()) values_[field] = start[field];
    wanted_.clear();
    settle();
    wanted_ = values_; // what the form opens with counts as chosen
}

void Session::settle()
{
    // A value may change what the form asks (a game's tiers, a field shown
    // for one choice only): each field asked gets its initial value when it
    // has none, and a choice no longer offered becomes the field's initial
    // one, or its first. A few rounds reach the fields of every choice made.
    for (int round = 0; round < 4; ++round) {
        const Values before = values_;
        for (const Field& f : tool_.fields(values_)) {
            // Only a choice has options; every other field takes what it holds.
            const auto offered = [&](const std::string& v) {
                return std::any_of(f.options.begin(), f.options.end(), [&](const Option& o) { return o.value == v; });
            };
            const auto it = values_.find(f.key);
            std::string value = it == values_.end() ? f.initial : it->second;
            // The choice the user made comes back once it is offered again
            // (a pay table while the spot count is typed digit by digit).
            if (wanted_.count(f.key) && offered(wanted_.at(f.key))) value = wanted_.at(f.key);
            if (!f.options.empty() && !offered(value)) value = offered(f.initial) ? f.initial : f.options.front().value;
            values_[f.key] = value;
        }
        if (values_ == before) return;
    }
}

void Session::set(const std::string& key, const std::string& value)
{
    if (!tool_.memoryField().empty() && key == tool_.memoryField() && values_[key] != value) {
        load(value);
        return;
    }
    values_[key] = value;
    wanted_[key] = value;
    settle();
}

void Session::setAll(const Values& values)
{
    const std::string field = tool_.memoryField();
    if (!field.empty()) {
        const auto it = values.find(field);
        if (it != values.end()) set(field, it->second);
    }
    for (const auto& [key, value] : values) {
        if (key != field) values_[key] = wanted_[key] = value;
    }
    settle();
}

Result Session::calculate(Progress& progress)
{
    Result result = tool_.compute(values_, progress);
    remember(values_, result);
    return result;
}

void Session::remember(const Values& values, const Result& result)
{
    if (!result.ok()) return;
    const std::string field = tool_.memoryField();
    const auto it = field.empty() ? values.end() : values.find(field);
    memory_.keep(tool_.info().id, it == values.end() ? std::string() : it->second, values);
}

Result Session::calculate()
{
    Progress none;
    return calculate(none);
}

} // namespace fortelle::forms
