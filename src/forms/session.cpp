#include "forms/session.h"

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
    const auto it = j.find(tool);
    if (it == j.end() || !it->is_object()) return {};
    const auto last = it->find("last");
    return last != it->end() && last->is_string() ? last->get<std::string>() : std::string();
}

std::optional<Values> Memory::recall(const std::string& tool, const std::string& key) const
{
    const Json j = ReadMemory(files_, fileName_);
    const auto it = j.find(tool);
    if (it == j.end() || !it->is_object()) return std::nullopt;
    const auto answers = it->find("answers");
    if (answers == it->end() || !answers->is_object()) return std::nullopt;
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
    // The fields as they are for that key (a game's own tiers and currency).
    std::vector<Field> fields = tool_.fields(start);
    if (!field.empty() && memoryKey.empty()) {
        for (const Field& f : fields) {
            if (f.key == field) start[field] = f.initial.empty() && !f.options.empty() ? f.options[0].value : f.initial;
        }
        fields = tool_.fields(start);
    }
    const auto recalled = memory_.recall(tool_.info().id, field.empty() ? std::string() : start[field]);
    values_.clear();
    for (const Field& f : fields) {
        values_[f.key] = f.initial;
        if (!recalled) continue;
        if (const auto it = recalled->find(f.key); it != recalled->end()) values_[f.key] = it->second;
    }
    if (!field.empty()) values_[field] = start[field];
}

void Session::set(const std::string& key, const std::string& value)
{
    if (!tool_.memoryField().empty() && key == tool_.memoryField() && values_[key] != value) {
        load(value);
        return;
    }
    values_[key] = value;
}

void Session::setAll(const Values& values)
{
    const std::string field = tool_.memoryField();
    if (!field.empty()) {
        const auto it = values.find(field);
        if (it != values.end()) set(field, it->second);
    }
    for (const auto& [key, value] : values) {
        if (key != field) values_[key] = value;
    }
}

Result Session::calculate(Progress& progress)
{
    Result result = tool_.compute(values_, progress);
    if (result.ok()) {
        const std::string field = tool_.memoryField();
        memory_.keep(tool_.info().id, field.empty() ? std::string() : values_[field], values_);
    }
    return result;
}

Result Session::calculate()
{
    Progress none;
    return calculate(none);
}

} // namespace fortelle::forms
