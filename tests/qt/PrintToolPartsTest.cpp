// The print tool's parts that need no dialog: its command line, the file check, the job's
// options, the panel's language from the locale, where the bundle is found, presets, and what a
// change of printer drops.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BundleLocation.h"
#include "CupsPrinters.h"
#include "FormEntries.h"
#include "JobSubmission.h"
#include "PanelLanguage.h"
#include "PrintToolOptions.h"

namespace {

using namespace kordavine::printtool;

struct CommandLineCase {
    const char* label;
    std::vector<std::string> arguments;
    std::string error;  // empty: parses into the rest
    std::string file{};
    std::optional<std::string> printer{};
    std::optional<std::string> title{};
    int copies = 1;
};

const CommandLineCase kCommandLines[] = {
    {"FileOnly", {"job.ps"}, "", "job.ps"},
    {"Everything",
     {"-d", "office", "-t", "Report", "-n", "3", "job.pdf"},
     "",
     "job.pdf",
     "office",
     "Report",
     3},
    {"DashDashBeforeADashedName", {"--", "-odd.ps"}, "", "-odd.ps"},
    {"NoFile", {"-d", "office"}, "no file to print"},
    {"TwoFiles", {"a.ps", "b.ps"}, "one file at a time"},
    {"ZeroCopies", {"-n", "0", "a.ps"}, "-n needs a number of copies from 1 to 9999, not \"0\""},
    {"CopiesNotANumber",
     {"-n", "2x", "a.ps"},
     "-n needs a number of copies from 1 to 9999, not \"2x\""},
    {"MissingValue", {"a.ps", "-d"}, "-d needs a value"},
    {"UnknownOption", {"-o", "x=y", "a.ps"}, "unknown option -o"},
    {"StandardInput", {"-"}, "print a file, not standard input"},
    {"EmptyPrinter", {"-d", "", "a.ps"}, "-d needs a printer name"},
    // The longest title libcups can write; a longer one is refused (test_print_through_cupsd.py).
    {"TitleAtTheLimit",
     {"-t", std::string(32767, 't'), "a.ps"},
     "",
     "a.ps",
     {},
     std::string(32767, 't')},
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << c.label;
}

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

// A FIFO and a device are refused by the tool itself in test_print_through_cupsd.py.
enum class FileKind { Regular, Missing, Directory };

struct FileCase {
    const char* label;
    FileKind kind;
    std::string bytes;
    std::string format;
    std::string problemEnd;  // empty: printable
};

const FileCase kFiles[] = {
    {"PostScript", FileKind::Regular, "%!PS-Adobe-3.0\n", "application/postscript", ""},
    {"Pdf", FileKind::Regular, "%PDF-1.7\n", "application/pdf", ""},
    {"ShortPostScript", FileKind::Regular, "%!", "application/postscript", ""},
    {"Missing", FileKind::Missing, "", "", ": no such file"},
    {"Empty", FileKind::Regular, "", "", ": is empty"},
    {"Text", FileKind::Regular, "hello\n", "", ": is neither PostScript nor PDF"},
    {"Folder", FileKind::Directory, "", "", ": is a directory"},
};

void PrintTo(const FileCase& c, std::ostream* os) {
    *os << c.label;
}

class PrintFiles : public ::testing::TestWithParam<FileCase> {};

TEST_P(PrintFiles, Check) {
    const auto& c = GetParam();
    const auto path = std::filesystem::temp_directory_path() /
                      ("joblog-print-file-" + std::to_string(::getpid()) + c.label);
    std::filesystem::remove_all(path);
    switch (c.kind) {
        case FileKind::Regular:
            std::ofstream(path, std::ios::binary) << c.bytes;
            break;
        case FileKind::Missing:
            break;
        case FileKind::Directory:
            std::filesystem::create_directory(path);
            break;
    }
    const auto check = checkPrintFile(path.string());
    EXPECT_EQ(check.documentFormat, c.format);
    EXPECT_EQ(check.problem, c.problemEnd.empty() ? "" : path.string() + c.problemEnd);
    std::filesystem::remove_all(path);
}

INSTANTIATE_TEST_SUITE_P(PrintTool, PrintFiles, ::testing::ValuesIn(kFiles),
                         [](const auto& info) { return std::string(info.param.label); });

struct JobOptionCase {
    const char* label;
    OptionMap saved;
    DialogChoices choices;
    OptionMap panel;
    OptionMap ppdDefaults;
    OptionMap expected;
};

const std::string kPrefix = "com.varlo.printsettings.";
const std::string kJobType = kPrefix + "JobType";

DialogChoices choices(int copies, bool collate, std::optional<std::string> sides = {},
                      std::optional<std::string> media = {},
                      std::optional<std::string> orientation = {},
                      std::optional<std::string> order = {}, OptionMap cups = {}) {
    DialogChoices c;
    c.copies = copies;
    c.collate = collate;
    c.sides = std::move(sides);
    c.media = std::move(media);
    c.orientation = std::move(orientation);
    c.outputOrder = std::move(order);
    c.cupsOptions = std::move(cups);
    return c;
}

// Options as an lp user writes them ("name=value ..."), read by libcups; then those of more.
OptionMap lp(const std::string& text, const OptionMap& more = {}) {
    cups_option_t* parsed = nullptr;
    const int count = cupsParseOptions(text.c_str(), 0, &parsed);
    const std::unique_ptr<cups_option_t, std::function<void(cups_option_t*)>> owner(
        parsed, [count](cups_option_t* options) { cupsFreeOptions(count, options); });
    OptionMap options = more;
    for (int i = 0; i < count; ++i) options.emplace(parsed[i].name, parsed[i].value);
    return options;
}

const std::string kFormat = "document-format=application/postscript ";

const JobOptionCase kJobOptions[] = {
    {"OneCopy",
     {},
     choices(1, true),
     {{kJobType, "Locked Print"}},
     {},
     lp(kFormat + "copies=1", {{kJobType, "Locked Print"}})},
    // Each choice of Qt's dialog, as an lp user gives it; what Qt keeps for CUPS itself (pages
    // per sheet, page set and range, the Properties' job options, PPD choices) goes as kept.
    {"EveryDialogChoice",
     {},
     choices(3, false, "two-sided-long-edge", "Letter", "4", "reverse",
             lp("number-up=2 number-up-layout=lrtb page-set=odd page-ranges=2-5 job-priority=90 "
                "job-hold-until=indefinite job-sheets=standard,none KDVStaple=TopLeft")),
     {},
     {},
     lp(kFormat +
        "copies=3 multiple-document-handling=separate-documents-uncollated-copies "
        "sides=two-sided-long-edge media=Letter orientation-requested=4 outputorder=reverse "
        "number-up=2 number-up-layout=lrtb page-set=odd page-ranges=2-5 job-priority=90 "
        "job-hold-until=indefinite job-sheets=standard,none KDVStaple=TopLeft")},
    // What the dialog shows replaces every saved option about the same thing, under any of its
    // names; the queue's description stays behind; the rest of the saved options go along.
    {"SavedOptionsGiveWayToTheDialog",
     lp("media=A4 PageSize=A4 PageRegion=A4 Duplex=None sides=one-sided orientation-requested=3 "
        "landscape=false outputorder=normal OutputOrder=Normal Collate=True job-priority=70 "
        "copies=5 printer-info=Office device-uri=ipp://x marker-change-time=0 print-quality=5"),
     choices(1, true, "two-sided-short-edge", "Letter", "4", "reverse", {{"job-priority", "90"}}),
     {},
     {},
     lp(kFormat + "copies=1 sides=two-sided-short-edge media=Letter orientation-requested=4 "
                  "outputorder=reverse job-priority=90 print-quality=5")},
    // Qt sends a PPD choice only where it differs from the PPD's default: a saved choice the
    // person set back to the default in the Advanced tab must not come back.
    {"SavedPpdChoiceSetBackToTheDefault",
     lp("KDVStaple=TopLeft InputSlot=Tray2 Custom=x"),
     choices(1, true, {}, {}, {}, {}, {{"InputSlot", "Tray2"}}),
     {},
     lp("KDVStaple=None InputSlot=Auto"),
     lp(kFormat + "copies=1 KDVStaple=None InputSlot=Tray2 Custom=x")},
    // The panel's settings come last: neither saved options nor the dialog change them.
    {"ThePanelWins",
     {{kJobType, "Normal"}, {kPrefix + "UserID", "mallory"}},
     choices(2, true, {}, {}, {}, {}, {{kJobType, "Normal"}}),
     {{kJobType, "Paused Print"}, {kPrefix + "UserID", "bob"}},
     {},
     lp(kFormat + "copies=2 multiple-document-handling=separate-documents-collated-copies",
        {{kJobType, "Paused Print"}, {kPrefix + "UserID", "bob"}})},
};

void PrintTo(const JobOptionCase& c, std::ostream* os) {
    *os << c.label;
}

class JobOptions : public ::testing::TestWithParam<JobOptionCase> {};

TEST_P(JobOptions, Merge) {
    const auto& c = GetParam();
    const JobRequest request{"office", "job.ps", "job",     "application/postscript",
                             c.saved,  c.panel,  c.choices, c.ppdDefaults};
    EXPECT_EQ(jobOptions(request), c.expected);
}

INSTANTIATE_TEST_SUITE_P(PrintTool, JobOptions, ::testing::ValuesIn(kJobOptions),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(JobOptions, PpdDefaultsLeaveTheInstallableOptionsOut) {
    const auto ppd = kordavine::platform::PpdFile::open(std::string(QT_FIXTURES) + "/finisher.ppd");
    ASSERT_TRUE(ppd);
    EXPECT_EQ(ppdOptionDefaults(ppd->get()),
              lp("PageSize=A4 PageRegion=A4 Duplex=None KDVStaple=None InputSlot=Auto"));
    EXPECT_EQ(ppdOptionDefaults(nullptr), OptionMap{});
}

TEST(JobOptions, PresetsAreThePrintSettingsKeysOnly) {
    const OptionMap saved = lp(kPrefix + "UserID=alice " + kPrefix + "=x " +
                               "com.varlo.printsettingsUserID=y UserID=z media=A4");
    EXPECT_EQ(presetSettings(saved), (OptionMap{{"com.varlo.printsettings.UserID", "alice"}}));
}

struct DroppedCase {
    const char* label;
    FormEntries carried;
    FormEntries taken;
    std::vector<FormEntry> dropped{};
};

using varlo::printsettings::JobType;

FormEntries entries(std::optional<JobType> type, std::string user, std::string password = {},
                    std::string file = {}, bool codeOn = false, std::string code = {}) {
    return {type, std::move(user), std::move(password), std::move(file), std::move(code), codeOn};
}

// A job type not offered and a long password on a short-password printer are checked as the
// notice on the tab (QtPanelTest.cpp), everything taken through the scheduler; here, the cases
// between. An entry the job type does not use is no loss.
const DroppedCase kDropped[] = {
    {"UnusedPasswordIsNoLoss", entries(JobType::Normal, "bob", "12345678"),
     entries(JobType::Normal, "bob", "")},
    {"UnusedFileNameIsNoLoss", entries(JobType::LockedPrint, "bob", "1234", "x"),
     entries(JobType::LockedPrint, "bob", "1234", "")},
    {"StoredPrintLosesTypeAndFileName",
     entries(JobType::SavedPrint, "dan", "1234", "plans"),
     entries(JobType::Normal, "dan", "1234", ""),
     {FormEntry::JobType, FormEntry::FileName}},
    {"UserCodeSwitchedOff",
     entries(JobType::Normal, "eve", "", "", true, "4711"),
     entries(JobType::Normal, "eve", "", "", false, "4711"),
     {FormEntry::UserCode}},
    {"UserCodeOffIsNoLoss", entries(JobType::Normal, "eve", "", "", false, "4711"),
     entries(JobType::Normal, "eve", "", "", false, "")},
};

void PrintTo(const DroppedCase& c, std::ostream* os) {
    *os << c.label;
}

class Dropped : public ::testing::TestWithParam<DroppedCase> {};

TEST_P(Dropped, ByPrinterSwitch) {
    const auto& c = GetParam();
    EXPECT_EQ(droppedEntries(c.carried, c.taken), c.dropped);
}

INSTANTIATE_TEST_SUITE_P(PrintTool, Dropped, ::testing::ValuesIn(kDropped),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Dropped, CarriedEntriesAreThePanelsKeys) {
    EXPECT_EQ(asPrintSettings(entries(JobType::PausedPrint, "alice", "12", "Report", true, "42")),
              (OptionMap{{kJobType, "Paused Print"},
                         {kPrefix + "UserID", "alice"},
                         {kPrefix + "Password", "12"},
                         {kPrefix + "FileName", "Report"},
                         {kPrefix + "UserCode", "42"},
                         {kPrefix + "EnableUserCode", "true"}}));
    // Nothing selected: no job type, so the panel takes its first one.
    EXPECT_FALSE(asPrintSettings(entries(std::nullopt, "")).contains(kJobType));
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

void PrintTo(const LanguageCase& c, std::ostream* os) {
    *os << c.label;
}

class Languages : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(Languages, FromTheLocale) {
    const auto& c = GetParam();
    EXPECT_EQ(kordavine::qt::panelLanguage(c.locale, {"de", "en"}), c.language);
}

INSTANTIATE_TEST_SUITE_P(Qt, Languages, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Languages, TheBuiltBundleShipsGermanAndEnglish) {
    EXPECT_EQ(kordavine::qt::bundleLanguages(JOBLOG_PLUGIN_DIR),
              (std::vector<std::string>{"de", "en"}));
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

void PrintTo(const BundleCase& c, std::ostream* os) {
    *os << c.label;
}

class BundleLocations : public ::testing::TestWithParam<BundleCase> {};

TEST_P(BundleLocations, Choose) {
    const auto& c = GetParam();
    const kordavine::platform::BundleCandidates candidates{
        "/src/build", "/src/build/panel/JobLog.plugin", "/usr/lib/kordavine/JobLog.plugin"};
    EXPECT_EQ(kordavine::platform::chooseBundle(c.program, candidates),
              c.buildTree ? candidates.buildTreeBundle : candidates.installedBundle);
}

INSTANTIATE_TEST_SUITE_P(Platform, BundleLocations, ::testing::ValuesIn(kBundles),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(BundleLocations, ThisTestRunsFromTheBuildTree) {
    EXPECT_EQ(kordavine::platform::defaultBundlePath(), std::filesystem::path(JOBLOG_PLUGIN_DIR));
}

}  // namespace
