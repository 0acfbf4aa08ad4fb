// Every PPD of the family, opened with libcups: the attributes the panel reads, and the "Job Log"
// options print dialogs show, which must offer what the panel offers for those attributes, with
// the panel's titles in English and German.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "JobTypeModel.h"
#include "PpdFile.h"
#include "PrintSettingsKeys.h"
#include "PrinterAttributes.h"
#include "StringsFile.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

namespace {

namespace fs = std::filesystem;
namespace ps = varlo::printsettings;
using kordavine::joblog::PrinterAttributes;
using kordavine::platform::ppdAttributeValue;
using kordavine::platform::PpdFile;

struct Model {
    const char* label;
    const char* file;
    bool storedPrint;
    bool storeAndPrint;
    bool documentServer;
    bool longPassword;
};

const Model kModels[] = {
    {"Office", "kordavine-office.ppd", true, true, true, true},
    {"OfficeMP3000", "kordavine-office-mp3000.ppd", true, true, false, true},
    {"OfficeMP2000", "kordavine-office-mp2000.ppd", false, false, false, false},
};

std::string flag(bool value) {
    return value ? "true" : "false";
}

PpdFile openPpd(const fs::path& path) {
    auto ppd = PpdFile::open(path);
    if (!ppd) throw std::runtime_error("libcups does not read " + path.string());
    return std::move(*ppd);
}

PrinterAttributes attributesOf(const PpdFile& ppd) {
    return {ppdAttributeValue(ppd.get(), "NoJobTypeModel"),
            ppdAttributeValue(ppd.get(), "StoredPrintSupport"),
            ppdAttributeValue(ppd.get(), "StoreAndPrintSupport"),
            ppdAttributeValue(ppd.get(), "DocumentServerSupport"),
            ppdAttributeValue(ppd.get(), "LongPasswardSupport")};
}

ppd_group_t* findGroup(ppd_file_t* ppd, const std::string& name) {
    for (int i = 0; i < ppd->num_groups; ++i)
        if (name == ppd->groups[i].name) return &ppd->groups[i];
    return nullptr;
}

std::vector<std::string> optionKeywords(const ppd_group_t& group) {
    std::vector<std::string> keywords;
    for (int i = 0; i < group.num_options; ++i) keywords.emplace_back(group.options[i].keyword);
    return keywords;
}

std::vector<std::pair<std::string, std::string>> choices(const ppd_option_t& option) {
    std::vector<std::pair<std::string, std::string>> list;
    for (int i = 0; i < option.num_choices; ++i)
        list.emplace_back(option.choices[i].choice, option.choices[i].text);
    return list;
}

// The typed entries: a default "None" and one custom parameter of this type and length range.
struct Entry {
    const char* keyword;
    const char* englishText;
    ppd_cptype_t type;
    int minimum;
    int maximum;  // 0: the model's password length
};

const Entry kEntries[] = {
    {"UserID", "User ID", PPD_CUSTOM_STRING, 1, 8},
    {"Password", "Password", PPD_CUSTOM_PASSCODE, 4, 0},
    {"FileName", "File Name", PPD_CUSTOM_STRING, 0, 16},
    {"UserCode", "User Code", PPD_CUSTOM_PASSCODE, 1, 8},
};

int passwordDigits(const Model& model) {
    return model.longPassword ? 8 : 4;
}

// The panel shows the file-name row only where some job type takes a file name.
bool hasFileName(const Model& model) {
    return model.storedPrint || model.documentServer;
}

class PpdFamily : public testing::TestWithParam<Model> {
  protected:
    fs::path path() const { return fs::path(JOBLOG_PPD_DIR) / GetParam().file; }
};

TEST(PpdFamilyFolder, EveryKeptPpdIsAModelOfTheTableAndTheSampleIsTheOfficeModel) {
    std::set<std::string> kept, listed;
    for (const auto& entry : fs::directory_iterator(JOBLOG_PPD_DIR))
        if (entry.path().extension() == ".ppd") kept.insert(entry.path().filename().string());
    for (const Model& model : kModels) listed.insert(model.file);
    EXPECT_EQ(kept, listed);
    EXPECT_TRUE(fs::equivalent(fs::path(JOBLOG_SAMPLES) / "kordavine-office.ppd",
                               fs::path(JOBLOG_PPD_DIR) / "kordavine-office.ppd"));
}

TEST_P(PpdFamily, DeclaresTheModelsAttributesAndRunsTheFilter) {
    const Model& model = GetParam();
    const PpdFile ppd = openPpd(path());
    const PrinterAttributes attributes = attributesOf(ppd);
    EXPECT_EQ(attributes.noJobTypeModel, "false");
    EXPECT_EQ(attributes.storedPrintSupport, flag(model.storedPrint));
    EXPECT_EQ(attributes.storeAndPrintSupport, flag(model.storeAndPrint));
    EXPECT_EQ(attributes.documentServerSupport, flag(model.documentServer));
    EXPECT_EQ(attributes.longPasswordSupport, flag(model.longPassword));
    EXPECT_EQ(ppdAttributeValue(ppd.get(), "cupsFilter2"),
              "application/vnd.cups-postscript application/vnd.kordavine-joblog-postscript 0 "
              "jobtypefilter");
    // IPP clients that offer a PIN take its length from here: as many digits as the password.
    EXPECT_EQ(ppdAttributeValue(ppd.get(), "cupsJobPassword"),
              std::string(passwordDigits(model), '1'));
}

TEST_P(PpdFamily, JobTypeOffersWhatThePanelOffersInItsOrderWithItsTitles) {
    const PpdFile ppd = openPpd(path());
    ppd_group_t* group = findGroup(ppd.get(), "JobLog");
    ASSERT_NE(group, nullptr);
    EXPECT_STREQ(group->text, "Job Log");
    ppd_option_t* jobType = ppdFindOption(ppd.get(), "JobType");
    ASSERT_NE(jobType, nullptr);
    EXPECT_STREQ(jobType->text, "Job Type");
    EXPECT_EQ(jobType->ui, PPD_UI_PICKONE);
    EXPECT_STREQ(jobType->defchoice, "Normal");

    std::vector<std::pair<std::string, std::string>> expected;
    for (ps::JobType type : kordavine::joblog::offeredJobTypes(attributesOf(ppd)))
        expected.emplace_back(ps::dialogKeyword(type), ps::displayTitle(type));
    EXPECT_EQ(choices(*jobType), expected);
    for (int i = 0; i < jobType->num_choices; ++i) EXPECT_STREQ(jobType->choices[i].code, "");
}

TEST_P(PpdFamily, TypedEntriesAreCustomOptionsWithTheirRangesAndNoneByDefault) {
    const Model& model = GetParam();
    const PpdFile ppd = openPpd(path());
    ppd_group_t* group = findGroup(ppd.get(), "JobLog");
    ASSERT_NE(group, nullptr);
    std::vector<std::string> expectedKeywords{"JobType"};
    for (const Entry& entry : kEntries) {
        const bool present = std::string(entry.keyword) != "FileName" || hasFileName(model);
        SCOPED_TRACE(entry.keyword);
        ppd_option_t* option = ppdFindOption(ppd.get(), entry.keyword);
        if (!present) {
            EXPECT_EQ(option, nullptr);
            continue;
        }
        expectedKeywords.emplace_back(entry.keyword);
        ASSERT_NE(option, nullptr);
        EXPECT_STREQ(option->text, entry.englishText);
        EXPECT_EQ(option->ui, PPD_UI_PICKONE);
        EXPECT_STREQ(option->defchoice, "None");
        const std::vector<std::pair<std::string, std::string>> expectedChoices{
            {"None", "Not Set"}, {"Custom", "Custom"}};
        EXPECT_EQ(choices(*option), expectedChoices);
        EXPECT_STREQ(option->choices[0].code, "");

        ppd_coption_t* custom = ppdFindCustomOption(ppd.get(), entry.keyword);
        ASSERT_NE(custom, nullptr);
        ASSERT_EQ(cupsArrayCount(custom->params), 1);
        ppd_cparam_t* param = ppdFirstCustomParam(custom);
        EXPECT_EQ(param->type, entry.type);
        const int maximum = entry.maximum ? entry.maximum : passwordDigits(model);
        // string and passcode limits are lengths, held in the same int member of the union
        EXPECT_EQ(param->minimum.custom_string, entry.minimum);
        EXPECT_EQ(param->maximum.custom_string, maximum);
    }
    EXPECT_EQ(optionKeywords(*group), expectedKeywords);
}

// The German texts of the panel's strings table, for its English keys.
std::string germanPanelText(const std::string& english) {
    std::ifstream in(JOBLOG_GERMAN_STRINGS, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const auto parsed = kordavine::platform::parseStringsFile(bytes.str());
    if (parsed.error) throw std::runtime_error(*parsed.error);
    const auto found = parsed.table.find(english);
    if (found == parsed.table.end()) throw std::runtime_error("no German text for " + english);
    return found->second;
}

struct LocalizedTexts {
    std::string group;
    std::vector<std::pair<std::string, std::string>> options;  // keyword, text
    std::vector<std::string> jobTypeChoices;
};

// What a print dialog running in German shows: ppdLocalize picks the language from the
// environment once per thread, so a fresh thread reads the PPD with LANG set to German.
LocalizedTexts readInGerman(const fs::path& path) {
    LocalizedTexts texts;
    std::string failure;
    setenv("LANG", "de_DE.UTF-8", 1);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    std::thread([&] {
        auto ppd = PpdFile::open(path);
        if (!ppd || ppdLocalize(ppd->get()) != 0) {
            failure = "cannot localize " + path.string();
            return;
        }
        ppd_group_t* group = findGroup(ppd->get(), "JobLog");
        if (!group) return;
        texts.group = group->text;
        for (int i = 0; i < group->num_options; ++i) {
            const ppd_option_t& option = group->options[i];
            texts.options.emplace_back(option.keyword, option.text);
            if (std::string(option.keyword) == "JobType")
                for (int c = 0; c < option.num_choices; ++c)
                    texts.jobTypeChoices.emplace_back(option.choices[c].text);
        }
    }).join();
    unsetenv("LANG");
    if (!failure.empty()) throw std::runtime_error(failure);
    return texts;
}

TEST_P(PpdFamily, GermanDialogsShowThePanelsGermanTexts) {
    const PpdFile ppd = openPpd(path());
    const auto languages = ppdAttributeValue(ppd.get(), "cupsLanguages");
    ASSERT_TRUE(languages);
    EXPECT_NE((" " + *languages + " ").find(" de "), std::string::npos);

    const LocalizedTexts german = readInGerman(path());
    EXPECT_EQ(german.group, germanPanelText("Job Log"));
    std::vector<std::string> expectedChoices;
    for (ps::JobType type : kordavine::joblog::offeredJobTypes(attributesOf(ppd)))
        expectedChoices.push_back(germanPanelText(ps::displayTitle(type)));
    EXPECT_EQ(german.jobTypeChoices, expectedChoices);
    // The option texts are the panel's labels (the summary's, or the form's without its colon).
    for (const auto& [keyword, text] : german.options) {
        SCOPED_TRACE(keyword);
        const std::string english = ppdFindOption(ppd.get(), keyword.c_str())->text;
        std::string expected =
            english == "Password" ? germanPanelText("Password:") : germanPanelText(english);
        if (expected.back() == ':') expected.pop_back();
        EXPECT_EQ(text, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Models, PpdFamily, testing::ValuesIn(kModels),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
