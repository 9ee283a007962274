// Stand-ins for the platform that record what the program did to them.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/banner.h"
#include "platform/platform.h"

namespace fortelle::testing {

// An output box that keeps its text as the exact bytes it was given and
// logs each operation by name.
class FakeBox final : public OutputBox {
public:
    std::string content;
    std::string selectionFont;
    double selectionSize = 0;
    bool bold = false;
    bool visible = false;
    bool focused = false;
    std::int64_t selection = 0;
    std::vector<std::string> log;
    std::vector<FontChoice> selectionFonts, boxFonts;
    int printed = 0;

    void setText(std::string_view utf8) override
    {
        content = utf8;
        log.push_back("setText");
    }
    std::string text() const override { return content; }
    void setSelectionFontName(std::string_view name) override
    {
        selectionFont = name;
        log.push_back("fontName:" + selectionFont);
    }
    void setSelectionFontSize(double points) override
    {
        selectionSize = points;
        log.push_back("fontSize");
    }
    void setBoxBold(bool b) override
    {
        bold = b;
        log.push_back("bold");
    }
    void insertAtCaret(std::string_view utf8) override
    {
        content += utf8;
        log.push_back("insert");
    }
    void makeVisible() override
    {
        visible = true;
        log.push_back("visible");
    }
    void giveFocus() override
    {
        focused = true;
        log.push_back("focus");
    }
    std::int64_t selectionLength() const override { return selection; }
    void applySelectionFont(const FontChoice& f) override { selectionFonts.push_back(f); }
    void applyBoxFont(const FontChoice& f) override { boxFonts.push_back(f); }
    void printOn(Printer&) override { ++printed; }
};

// Answers prompts from a script; an exhausted script answers Cancel.
class FakePrompt final : public Prompt {
public:
    struct Asked {
        std::string title, message, offered;
    };
    std::deque<std::optional<std::string>> answers;
    std::vector<Asked> asked;

    std::optional<std::string> ask(std::string_view title, std::string_view message,
                                   std::string_view defaultText) override
    {
        asked.push_back({std::string(title), std::string(message), std::string(defaultText)});
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A file system in memory. Names in `readOnly` (or every name, when the
// whole folder is read-only) cannot be written; names in `unreadable` exist
// but cannot be read; names in `folders` are folders.
class FakeFiles final : public FileSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders, unreadable;
    bool readOnlyFolder = false;
    bool diskFull = false;
    bool failReads = false;
    std::vector<std::string> log;
    std::string cwd = "/start";
    std::set<std::string> writableFolders;
    // When set, writes and removals are also recorded here, so that a test
    // can see their order against the box's operations.
    std::vector<std::string>* journal = nullptr;

    bool exists(std::string_view name) const override
    {
        const std::string n(name);
        return files.count(n) || folders.count(n) || unreadable.count(n);
    }
    mutable std::vector<std::string> reads;
    std::optional<std::string> readAll(std::string_view name, std::size_t limit) const override
    {
        const std::string n(name);
        reads.push_back(n);
        auto it = files.find(n);
        if (failReads || unreadable.count(n) || it == files.end() || it->second.size() > limit) return std::nullopt;
        return it->second;
    }
    bool replaceWith(std::string_view name, std::string_view bytes) override
    {
        const std::string n(name);
        log.push_back("write:" + n);
        if (journal) journal->push_back("write:" + n);
        if (readOnlyFolder || diskFull || folders.count(n)) return false;
        files[n] = std::string(bytes);
        unreadable.erase(n);
        return true;
    }
    bool removeFile(std::string_view name) override
    {
        const std::string n(name);
        log.push_back("remove:" + n);
        if (journal) journal->push_back("remove:" + n);
        if (readOnlyFolder || folders.count(n)) return false;
        return files.erase(n) > 0;
    }
    bool changeDirectory(std::string_view path) override
    {
        cwd = path;
        return true;
    }
    bool isWritableFolder(std::string_view path) const override
    {
        return writableFolders.count(std::string(path)) > 0;
    }
};

class FakeDialogs final : public Dialogs {
public:
    std::vector<FileDialogSetup> opened, saved;
    std::vector<FontDialogSetup> fonts;
    std::vector<unsigned> printFlags;
    std::optional<std::string> openAnswer, saveAnswer;
    std::optional<FontChoice> fontAnswer;
    bool printerConfirmed = false;
    int documentsEnded = 0;

    class FakePrinter final : public Printer {
    public:
        explicit FakePrinter(int& ended) : ended_(ended) {}
        void endDocument() override { ++ended_; }

    private:
        int& ended_;
    };

    std::optional<std::string> openFile(const FileDialogSetup& s) override
    {
        opened.push_back(s);
        return openAnswer;
    }
    std::optional<std::string> saveFile(const FileDialogSetup& s) override
    {
        saved.push_back(s);
        return saveAnswer;
    }
    std::optional<FontChoice> chooseFont(const FontDialogSetup& s) override
    {
        fonts.push_back(s);
        return fontAnswer;
    }
    std::vector<std::string> errors; // "title: text"
    void showError(std::string_view title, std::string_view text) override
    {
        errors.push_back(std::string(title) + ": " + std::string(text));
    }
    std::unique_ptr<Printer> choosePrinter(unsigned flags) override
    {
        printFlags.push_back(flags);
        if (!printerConfirmed) return nullptr;
        return std::make_unique<FakePrinter>(documentsEnded);
    }
};

class FakeBanner final : public Banner {
public:
    std::string text;
    void setText(std::string_view t) override { text = t; }
};

// Everything a handler needs, faked.
struct FakePlatform {
    FakeBox box;
    FakePrompt prompt;
    FakeFiles files;
    FakeDialogs dialogs;
    Platform platform{box, prompt, files, dialogs};
    FakePlatform() { files.journal = &box.log; }
};

// The lines of report bytes, without their CR LF.
inline std::vector<std::string> Lines(const std::string& report)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < report.size()) {
        const std::size_t end = report.find("\r\n", start);
        lines.push_back(report.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Report bytes with CR LF written as LF, as the command line prints them.
inline std::string Lf(std::string s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') continue;
        out += s[i];
    }
    return out;
}

} // namespace fortelle::testing
