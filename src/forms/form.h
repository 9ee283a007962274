// The tool windows' forms, as data: what a tool asks for (its fields), how it
// checks an answer as it is typed, and what it answers (a plain verdict, the
// report, charts). The Qt window and the web page draw the same forms from
// here; neither does any arithmetic of its own.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "forms/chart.h"

namespace fortelle::forms {

// The values of a form by field key, as typed ("1,000,000", "37%", "").
using Values = std::map<std::string, std::string>;

enum class Kind {
    Choice,  // one of `options` (a game, a tier, a method)
    Decimal, // an amount or a rate: a decimal keyboard on a phone
    Count,   // a whole number: a numeric keyboard on a phone
    Text,    // one line of free text (a list of prices, a pay table)
    Lines,   // several lines of text (a wheel's tickets)
    Check,   // on ("1") or off ("")
    Picks,   // numbers from `lowest` to `highest` picked on a grid: "3 7 12 40"
};

struct Option {
    std::string value; // what the form's value holds ("us-powerball")
    std::string label; // what the picker shows ("US Powerball")
};

struct Field {
    std::string key;   // names the value in memory, links and JSON: "jackpot"
    std::string label; // "Advertised jackpot"
    Kind kind = Kind::Decimal;
    std::string unit;            // shown after the field: "USD", "%", "draws"
    std::string placeholder;     // a typical value, shown while the field is empty
    std::string help;            // one short line under the field
    std::vector<Option> options; // Choice
    std::string initial;         // the value before anything is remembered ("" leaves it empty)
    bool optional = false;       // may stay empty
    int lowest = 0, highest = 0; // Picks: the numbers on the grid
};

// A problem with the values: `key` names the field it belongs beside, or is
// empty for the form as a whole. `message` is a sentence for a person.
struct Problem {
    std::string key;
    std::string message;
};

// A file the result offers to save beside its report ("Tickets as CSV").
struct Export {
    std::string label;    // "Tickets as CSV"
    std::string fileName; // offered name: "wheel-10-6-3.csv"
    std::string bytes;
};

// The report's main table as data, for layouts that cannot show the
// report's columns (a phone's width): the same figures, cell by cell.
struct Table {
    std::string title;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

struct Result {
    std::vector<Problem> problems; // not computed: nothing else is set
    std::string title;             // "US Powerball: ticket value", also the file name of a saved report
    std::string verdict;           // the plain answer, one sentence
    std::string report;            // the whole report, CR LF line ends, as the box shows it
    std::vector<Chart> charts;
    std::vector<Export> exports;
    std::vector<Table> tables;
    bool ok() const { return problems.empty(); }
};

// What a long computation reports and how it is stopped: the window calls
// compute() off its event thread and offers Cancel.
class Progress {
public:
    virtual ~Progress() = default;
    virtual bool cancelled() const { return false; }
    virtual void advance(double /*fraction done, 0 to 1*/) {}
};

struct ToolInfo {
    std::string id;      // "value": the link's "#value?...", the memory's section
    std::string menu;    // the menu it sits in: "Games", "Value", "Prices", ...
    std::string title;   // "Ticket value"
    std::string summary; // what it answers, one sentence, for the menu's tooltip and Help
    // The menu lists each option of the memory field as an entry of its own
    // (one per game), each opening the tool with that option chosen.
    bool entryPerOption = false;
};

class Tool {
public:
    virtual ~Tool() = default;
    virtual ToolInfo info() const = 0;
    // The fields for the values so far: choosing a game may change the
    // others (its tiers, its currency, its spot counts).
    virtual std::vector<Field> fields(const Values& values) const = 0;
    // The field whose value chooses what the answers are remembered for
    // (the game), or "" when the tool remembers one set of answers.
    virtual std::string memoryField() const { return {}; }
    // Problems with the values as they stand; cheap, as it runs at each
    // keystroke. An empty list means Calculate will compute.
    virtual std::vector<Problem> check(const Values& values) const = 0;
    virtual Result compute(const Values& values, Progress& progress) const = 0;
};

} // namespace fortelle::forms
