// The print tool's parts that need no dialog: its command line, the file check, the job's
// options, the panel's language from the locale, where the bundle is found, presets.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "BundleLocation.h"
#include "CupsPrinters.h"
#include "JobSubmission.h"
#include "PanelLanguage.h"
#include "PrintToolOptions.h"

namespace {

using namespace kordavine::printtool;

struct CommandLineCase {
    const char* label;
    std::vector<std::string> arguments;
    std::string error;  // empty: parses
    std::optional<std::string> printer;
    std::optional<std::string> title;
    int copies;
    std::string file;
};

const CommandLineCase kCommandLines[] = {
    {"FileOnly", {"job.ps"}, "", std::nullopt, std::nullopt, 1, "job.ps"},
    {"Everything", {"-d", "office", "-t", "Report", "-n", "3", "job.pdf"}, "", "office", "Report", 3, "job.pdf"},
    {"DashDashBeforeADashedName", {"--", "-odd.ps"}, "", std::nullopt, std::nullopt, 1, "-odd.ps"},
    {"NoFile", {"-d", "office"}, "no file to print", {}, {}, 1, ""},
    {"TwoFiles", {"a.ps", "b.ps"}, "one file at a time", {}, {}, 1, ""},
    {"ZeroCopies", {"-n", "0", "a.ps"}, "-n needs a number of copies from 1 to 9999, not \"0\"", {}, {}, 1, ""},
    {"CopiesNotANumber", {"-n", "2x", "a.ps"}, "-n needs a number of copies from 1 to 9999, not \"2x\"", {}, {}, 1, ""},
    {"MissingValue", {"a.ps", "-d"}, "-d needs a value", {}, {}, 1, ""},
    {"UnknownOption", {"-o", "x=y", "a.ps"}, "unknown option -o", {}, {}, 1, ""},
    {"StandardInput", {"-"}, "print a file, not standard input", {}, {}, 1, ""},
    {"EmptyPrinter", {"-d", "", "a.ps"}, "-d needs a printer name", {}, {}, 1, ""},
};

void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.label; }

class CommandLines : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLines, Parse) {
    const auto& c = GetParam();
    try {
        const auto options = parsePrintToolOptions(c.arguments);
        EXPECT_EQ(c.error, "") << "parsed, but should fail";
        EXPECT_EQ(options.printer, c.printer);
        EXPECT_EQ(options.title, c.title);
        EXPECT_EQ(options.copies, c.copies);
        EXPECT_EQ(options.file, c.file);
    } catch (const UsageError& error) {
        EXPECT_EQ(error.what(), c.error);
    }
}

INSTANTIATE_TEST_SUITE_P(PrintTool, CommandLines, ::testing::ValuesIn(kCommandLines),
                         [](const auto& info) { return std::string(info.param.label); });

struct FileCase {
    const char* label;
    std::optional<std::string> bytes;  // none: no such file
    std::string format;
    std::string problemEnd;
};

const FileCase kFiles[] = {
    {"PostScript", "%!PS-Adobe-3.0\n", "application/postscript", ""},
    {"Pdf", "%PDF-1.7\n", "application/pdf", ""},
    {"Missing", std::nullopt, "", ": no such file"},
    {"Empty", "", "", ": is empty"},
    {"Text", "hello\n", "", ": is neither PostScript nor PDF"},
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.label; }

class PrintFiles : public ::testing::TestWithParam<FileCase> {};

TEST_P(PrintFiles, Check) {
    const auto& c = GetParam();
    const auto path = std::filesystem::temp_directory_path() / ("joblog-print-file-" + std::string(c.label));
    std::filesystem::remove(path);
    if (c.bytes) std::ofstream(path, std::ios::binary) << *c.bytes;
    const auto check = checkPrintFile(path.string());
    EXPECT_EQ(check.documentFormat, c.format);
    if (c.problemEnd.empty()) {
        EXPECT_EQ(check.problem, "");
    } else {
        EXPECT_EQ(check.problem, path.string() + c.problemEnd);
    }
    std::filesystem::remove(path);
}

INSTANTIATE_TEST_SUITE_P(PrintTool, PrintFiles, ::testing::ValuesIn(kFiles),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(PrintFiles, AFolderIsNoFile) {
    const auto dir = std::filesystem::temp_directory_path();
    EXPECT_EQ(checkPrintFile(dir.string()).problem, dir.string() + ": is a directory");
}

struct JobOptionCase {
    const char* label;
    OptionMap saved;
    DialogChoices choices;
    OptionMap panel;
    OptionMap expected;
};

const std::string kJobType = "com.varlo.printsettings.JobType";

const JobOptionCase kJobOptions[] = {
    {"OneCopy", {}, {1, true, std::nullopt, std::nullopt}, {{kJobType, "Locked Print"}},
     {{"copies", "1"}, {"document-format", "application/postscript"}, {kJobType, "Locked Print"}}},
    {"CopiesCollatedTwoSided", {}, {3, true, "two-sided-long-edge", std::nullopt}, {},
     {{"copies", "3"}, {"document-format", "application/postscript"},
      {"multiple-document-handling", "separate-documents-collated-copies"}, {"sides", "two-sided-long-edge"}}},
    {"UncollatedWithPages", {}, {2, false, std::nullopt, "2-5"}, {},
     {{"copies", "2"}, {"document-format", "application/postscript"},
      {"multiple-document-handling", "separate-documents-uncollated-copies"}, {"page-ranges", "2-5"}}},
    // The user's saved options go along, the queue's description does not; the dialog's
    // choices and then the panel win over saved values.
    {"SavedOptionsUnderTheDialogAndThePanel",
     {{"media", "A4"}, {"copies", "5"}, {"printer-info", "Office"}, {"device-uri", "ipp://x"}, {kJobType, "Normal"}},
     {1, true, "one-sided", std::nullopt}, {{kJobType, "Paused Print"}},
     {{"copies", "1"}, {"document-format", "application/postscript"}, {"media", "A4"}, {"sides", "one-sided"},
      {kJobType, "Paused Print"}}},
};

void PrintTo(const JobOptionCase& c, std::ostream* os) { *os << c.label; }

class JobOptions : public ::testing::TestWithParam<JobOptionCase> {};

TEST_P(JobOptions, Merge) {
    const auto& c = GetParam();
    const JobRequest request{"office", "job.ps", "job", "application/postscript", c.saved, c.panel, c.choices};
    EXPECT_EQ(jobOptions(request), c.expected);
}

INSTANTIATE_TEST_SUITE_P(PrintTool, JobOptions, ::testing::ValuesIn(kJobOptions),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(JobOptions, PresetsAreThePrintSettingsKeysOnly) {
    const OptionMap saved{{"com.varlo.printsettings.UserID", "alice"}, {"com.varlo.printsettings.", "x"},
                          {"com.varlo.printsettingsUserID", "y"}, {"UserID", "z"}, {"media", "A4"}};
    EXPECT_EQ(presetSettings(saved), (OptionMap{{"com.varlo.printsettings.UserID", "alice"}}));
}

struct LanguageCase {
    const char* label;
    kordavine::qt::LocaleVariables locale;
    std::string language;
};

const LanguageCase kLanguages[] = {
    {"GermanLang", {"", "", "de_DE.UTF-8"}, "de"},
    {"MessagesOverLang", {"", "de_AT", "en_GB.UTF-8"}, "de"},
    {"AllOverMessages", {"en_US.UTF-8", "de_DE", "de_DE"}, "en"},
    {"CLocale", {"", "", "C.UTF-8"}, "en"},
    {"Posix", {"", "POSIX", "de_DE"}, "en"},
    {"Unset", {"", "", ""}, "en"},
    {"NotShipped", {"", "", "fr_FR.UTF-8"}, "en"},
    {"ModifierAndCase", {"", "", "DE@euro"}, "de"},
};

void PrintTo(const LanguageCase& c, std::ostream* os) { *os << c.label; }

class Languages : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(Languages, FromTheLocale) {
    const auto& c = GetParam();
    EXPECT_EQ(kordavine::qt::panelLanguage(c.locale, {"de", "en"}), c.language);
}

INSTANTIATE_TEST_SUITE_P(Qt, Languages, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Languages, TheBuiltBundleShipsGermanAndEnglish) {
    EXPECT_EQ(kordavine::qt::bundleLanguages(JOBLOG_PLUGIN_DIR), (std::vector<std::string>{"de", "en"}));
    EXPECT_EQ(kordavine::qt::bundleLanguages("/no/such/bundle"), std::vector<std::string>{});
}

struct BundleCase {
    const char* label;
    std::string program;
    bool buildTree;
};

const BundleCase kBundles[] = {
    {"InTheBuildTree", "/src/build/panel/printtool/joblog-print", true},
    {"Installed", "/usr/bin/joblog-print", false},
    {"ASiblingFolderIsNotInside", "/src/build-old/joblog-print", false},
    {"DotDotOutOfTheTree", "/src/build/../bin/joblog-print", false},
    {"TheFolderItself", "/src/build", false},
    {"Unknown", "", false},
};

void PrintTo(const BundleCase& c, std::ostream* os) { *os << c.label; }

class BundleLocations : public ::testing::TestWithParam<BundleCase> {};

TEST_P(BundleLocations, Choose) {
    const auto& c = GetParam();
    const kordavine::platform::BundleCandidates candidates{"/src/build", "/src/build/panel/JobLog.plugin",
                                                           "/usr/lib/kordavine/JobLog.plugin"};
    EXPECT_EQ(kordavine::platform::chooseBundle(c.program, candidates),
              c.buildTree ? candidates.buildTreeBundle : candidates.installedBundle);
}

INSTANTIATE_TEST_SUITE_P(Platform, BundleLocations, ::testing::ValuesIn(kBundles),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(BundleLocations, ThisTestRunsFromTheBuildTree) {
    EXPECT_EQ(kordavine::platform::defaultBundlePath(), std::filesystem::path(JOBLOG_PLUGIN_DIR));
}

}  // namespace
