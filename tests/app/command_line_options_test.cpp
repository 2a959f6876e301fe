#include "app/command_line_options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace lumio {
namespace {

using testing::HasSubstr;

struct CommandLineCase {
  const char* name;
  std::vector<std::string> arguments;  // after the program's own name
  bool japanese;
  CommandLineAction action;
  std::vector<std::string> paths;
  const char* textHolds;
};

class ParseCommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(ParseCommandLineTest, DecidesWhatToDo) {
  const CommandLineCase& c = GetParam();
  std::vector<std::string> arguments{"/usr/bin/lumio"};
  arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());

  const CommandLineOutcome outcome = ParseCommandLine(arguments, c.japanese);

  EXPECT_EQ(outcome.action, c.action);
  EXPECT_EQ(outcome.paths, c.paths);
  EXPECT_THAT(outcome.text, HasSubstr(c.textHolds));
}

constexpr auto kRun = CommandLineAction::Run;
constexpr auto kPrint = CommandLineAction::PrintAndExit;
constexpr auto kRefuse = CommandLineAction::RefuseAndExit;

INSTANTIATE_TEST_SUITE_P(
    Arguments, ParseCommandLineTest,
    testing::Values(
        CommandLineCase{"NoArgumentsRuns", {}, false, kRun, {}, ""},
        CommandLineCase{"PathsKeepTheirOrder",
                        {"b.wav", "songs", "a.flac"},
                        false,
                        kRun,
                        {"b.wav", "songs", "a.flac"},
                        ""},
        CommandLineCase{"LongHelp", {"--help"}, false, kPrint, {}, "Usage: lumio [OPTION]..."},
        CommandLineCase{"ShortHelp", {"-h"}, false, kPrint, {}, "  -v, --version"},
        CommandLineCase{
            "HelpFirstLine", {"--help"}, false, kPrint, {}, "]...\nEncode audio files to"},
        CommandLineCase{"HelpBatchDisplay", {"-h"}, false, kPrint, {}, "1\n(--batch needs none)"},
        CommandLineCase{"JapaneseHelpFirstLine", {"-h"}, true, kPrint, {}, "]...\n音声ファイルを"},
        CommandLineCase{"JapaneseHelp", {"--help"}, true, kPrint, {}, "使い方: lumio"},
        CommandLineCase{"HelpAmongPaths", {"a.wav", "--help"}, false, kPrint, {}, "Usage:"},
        CommandLineCase{"Version", {"--version"}, false, kPrint, {}, "Lumio 0."},
        CommandLineCase{"ShortVersionInJapanese", {"-v"}, true, kPrint, {}, "Lumio 0."},
        CommandLineCase{"OptionsEndAtDoubleDash",
                        {"--", "--help", "-x.wav"},
                        false,
                        kRun,
                        {"--help", "-x.wav"},
                        ""},
        CommandLineCase{"LoneDashIsAPath", {"-"}, false, kRun, {"-"}, ""},
        CommandLineCase{"QtOptionsAndTheirValuesAreNoPaths",
                        {"-platform", "offscreen", "a.wav", "-reverse", "-style=fusion", "b.wav"},
                        false,
                        kRun,
                        {"a.wav", "b.wav"},
                        ""},
        CommandLineCase{"PathBytesThatAreNoUtf8SurviveUnchanged",
                        {"-style", "\xff.wav", "\xfe.wav"},
                        false,
                        kRun,
                        {"\xfe.wav"},
                        ""},
        CommandLineCase{"UnknownLongOption",
                        {"--bogus", "a.wav"},
                        false,
                        kRefuse,
                        {},
                        "lumio: unknown option --bogus\nUsage: lumio"},
        CommandLineCase{"UnknownShortOption", {"-x"}, false, kRefuse, {}, "unknown option -x"},
        CommandLineCase{"BundledLettersNamedAsGiven", {"-hv"}, false, kRefuse, {}, "option -hv\n"},
        CommandLineCase{"OneLetterWithTwoDashes", {"--x=1"}, false, kRefuse, {}, "option --x\n"},
        CommandLineCase{"UnknownOptionInJapanese",
                        {"--bogus"},
                        true,
                        kRefuse,
                        {},
                        "知らないオプションです: --bogus\n使い方:"},
        CommandLineCase{
            "UnknownOptionBeatsHelp", {"--help", "--bogus"}, false, kRefuse, {}, "--bogus"},
        CommandLineCase{
            "MissingValueOfQtOption",
            {"-platform"},
            false,
            kRefuse,
            {},
            "-platform'.\nUsage: lumio [OPTION]... [FILE|FOLDER]...\nTry 'lumio --help'"},
        CommandLineCase{
            "ValueGivenToHelp", {"--help=yes"}, true, kRefuse, {}, "引数が正しくありません"}),
    [](const testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

struct LocaleCase {
  const char* name;
  const char* lcAll;
  const char* lcMessages;
  const char* lang;
  bool japanese;
};

class IsJapaneseLocaleTest : public testing::TestWithParam<LocaleCase> {};

TEST_P(IsJapaneseLocaleTest, FirstSetVariableDecides) {
  const LocaleCase& c = GetParam();
  EXPECT_EQ(IsJapaneseLocale(c.lcAll, c.lcMessages, c.lang), c.japanese);
}

INSTANTIATE_TEST_SUITE_P(
    Variables, IsJapaneseLocaleTest,
    testing::Values(LocaleCase{"NothingSet", "", "", "", false},
                    LocaleCase{"JapaneseLang", "", "", "ja_JP.UTF-8", true},
                    LocaleCase{"PlainJa", "", "", "ja", true},
                    LocaleCase{"EnglishLang", "", "", "en_US.UTF-8", false},
                    LocaleCase{"LcAllOverridesLang", "C.UTF-8", "", "ja_JP.UTF-8", false},
                    LocaleCase{"LcMessagesOverridesLang", "", "ja_JP.eucJP", "en_GB", true},
                    LocaleCase{"OtherLanguageStartingWithJa", "", "", "jam_JM", false}),
    [](const testing::TestParamInfo<LocaleCase>& info) { return info.param.name; });

}  // namespace
}  // namespace lumio
