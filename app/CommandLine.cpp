// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/CommandLine.h"

#include "app/BootMediaApp.h"
#include "platform/fw/CommandLine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <vector>

namespace {

enum class Option { Cd, Floppy, Help, List, Version, Yes };

struct LongOption {
    std::string_view name;
    Option option;
    bool takesValue;
};

constexpr std::array<LongOption, 6> kLongOptions{{
    {"cd", Option::Cd, true},
    {"floppy", Option::Floppy, true},
    {"help", Option::Help, false},
    {"list", Option::List, false},
    {"version", Option::Version, false},
    {"yes", Option::Yes, false},
}};

constexpr std::string_view kOptionMark = "--";
constexpr char kValueMark = '=';
constexpr char kDriveColon = ':';
constexpr std::size_t kDriveNameLength = 2;

// what, then subject in quotes: "unrecognized option '--x'".
std::string Naming(std::string_view what, std::string_view subject) {
    std::string text(what);
    text += '\'';
    text += subject;
    text += '\'';
    return text;
}

// The option whose name is name or begins with it, when just one does.
const LongOption* FindOption(std::string_view name, std::string& problem) {
    std::vector<const LongOption*> matches;
    for (const LongOption& option : kLongOptions) {
        if (option.name == name)
            return &option;
        if (option.name.starts_with(name))
            matches.push_back(&option);
    }
    if (matches.size() == 1)
        return matches.front();
    problem = Naming(matches.empty() ? "unrecognized option " : "option is ambiguous: ",
                     std::string(kOptionMark) + std::string(name));
    return nullptr;
}

DriveChoice ChoiceOf(std::string_view value) {
    if (value.size() == kDriveNameLength && value[1] == kDriveColon &&
        std::isalpha(static_cast<unsigned char>(value[0])) != 0)
        return {static_cast<char>(std::toupper(static_cast<unsigned char>(value[0]))), {}};
    return {0, std::string(value)};
}

class Parser {
public:
    explicit Parser(std::span<const char* const> parameters) : parameters_(parameters) {}

    ProgramCommandLine parse() {
        for (next_ = 0; next_ < parameters_.size() && !done();) {
            const char* parameter = parameters_[next_++];
            if (parameter != nullptr)
                take(parameter);
        }
        if (!done())
            finish();
        return line_;
    }

private:
    bool done() const {
        return line_.request == ProgramCommandLine::Request::Help ||
               line_.request == ProgramCommandLine::Request::Version || wrong();
    }
    bool wrong() const { return line_.request == ProgramCommandLine::Request::Wrong; }
    void fail(std::string problem) {
        line_.request = ProgramCommandLine::Request::Wrong;
        line_.problem = std::move(problem);
    }

    void take(const char* parameter) {
        const std::string_view text(parameter);
        if (!optionsEnded_ && text == kOptionMark)
            optionsEnded_ = true;
        else if (!optionsEnded_ && text.starts_with(kOptionMark))
            takeOption(text.substr(kOptionMark.size()));
        else
            words_.push_back(parameter);
    }

    void takeOption(std::string_view text) {
        const std::size_t mark = text.find(kValueMark);
        const std::string_view name = text.substr(0, mark);
        std::string problem;
        const LongOption* option = FindOption(name, problem);
        if (option == nullptr)
            return fail(problem);
        const std::string shown = Naming("", std::string(kOptionMark) + std::string(option->name));
        std::optional<std::string_view> value;
        if (mark != std::string_view::npos)
            value = text.substr(mark + 1);
        if (!option->takesValue && value)
            return fail("option " + shown + " doesn't allow an argument");
        if (option->takesValue && !value) {
            if (next_ >= parameters_.size() || parameters_[next_] == nullptr)
                return fail("option " + shown + " requires an argument");
            value = parameters_[next_++];
        }
        switch (option->option) {
        case Option::Help:
            line_.request = ProgramCommandLine::Request::Help;
            return;
        case Option::Version:
            line_.request = ProgramCommandLine::Request::Version;
            return;
        case Option::List:
            line_.list = true;
            return;
        case Option::Yes:
            line_.yes = true;
            return;
        case Option::Floppy:
            return choose(line_.floppy, shown, *value);
        case Option::Cd:
            return choose(line_.cd, shown, *value);
        }
    }

    void choose(std::optional<DriveChoice>& choice, const std::string& shown,
                std::string_view value) {
        if (choice)
            return fail("option " + shown + " given twice");
        if (value.empty())
            return fail("option " + shown + " needs a drive or a file");
        choice = ChoiceOf(value);
    }

    void finish() {
        // The dialog's word is the framework's file-name parameter, as for any dialog program.
        line_.noCd = fw::ParseCommandLine(words_).fileName == kNoCdWord;
        const bool batch = line_.list || line_.floppy || line_.cd;
        if (line_.yes && !line_.floppy && !line_.cd)
            return fail("--yes answers the questions of --floppy and --cd; neither was given");
        if (!batch)
            return;
        // A batch run takes the one nocd, and no other word.
        bool noCdTaken = false;
        for (const std::string_view word : words_) {
            if (line_.noCd && !noCdTaken && word == kNoCdWord)
                noCdTaken = true;
            else
                return fail(Naming("unexpected argument ", word));
        }
        if (line_.cd && line_.noCd)
            return fail(std::string(kNoCdWord) + " switches CD recording off, which --cd needs");
        line_.request = ProgramCommandLine::Request::Batch;
    }

    std::span<const char* const> parameters_;
    std::size_t next_ = 0;
    ProgramCommandLine line_;
    bool optionsEnded_ = false;
    /// Every parameter that is not a long option, nor "--" before them.
    std::vector<const char*> words_;
};

} // namespace

ProgramCommandLine ParseProgramCommandLine(std::span<const char* const> parameters) {
    return Parser(parameters).parse();
}
