// The built bundle loaded as the print dialog loads it: descriptor, module, factory by name.
// This program does not link the panel; everything it reaches comes from the module.
#include <gtest/gtest.h>

#include <fstream>

#include "ClassRegistry.h"
#include "DialogServices.h"
#include "HeadlessControls.h"
#include "PlugInLoader.h"
#include "PrintSettingsKeys.h"

namespace kordavine::paneltest {
namespace {

namespace ps = varlo::printsettings;

class LoadedBundle : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::setToolkit(std::make_shared<headless::HeadlessToolkit>());
        platform::setLogSink([this](std::string_view line) { log.emplace_back(line); });
    }
    void TearDown() override {
        platform::setToolkit(nullptr);
        platform::setLogSink(nullptr);
    }
    std::vector<std::string> log;
};

TEST_F(LoadedBundle, FactoryByNameSuppliesOnePanelWithItsView) {
    auto loaded = platform::loadPrintDialogExtension(JOBLOG_PLUGIN_DIR, "de");
    ASSERT_TRUE(std::holds_alternative<platform::LoadedPlugIn>(loaded))
        << std::get<std::string>(loaded);
    auto& plugIn = std::get<platform::LoadedPlugIn>(loaded);
    auto settings = std::make_shared<platform::PrintSettingsStore>();
    auto callback = std::make_shared<platform::DialogCallback>(settings, nullptr);

    const auto none =
        plugIn.factory->PDEPanelsForType("com.apple.print.pde.PrinterModule", callback);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
    EXPECT_TRUE(settings->values().empty()) << "no panel, no user-ID default";

    const auto panels =
        plugIn.factory->PDEPanelsForType(platform::kPrinterDriverPanelsType, callback);
    ASSERT_TRUE(panels && panels->size() == 1);
    auto& panel = *panels->front();
    EXPECT_EQ(panel.panelName(), "Auftragsprotokoll") << "the panel finds the bundle it came from";
    std::string userID = "unset";
    EXPECT_EQ(platform::PMPrintSettingsGetValue(settings, ps::kUserID, userID), platform::noErr);
    EXPECT_EQ(userID, "");

    const auto view = panel.panelView();
    ASSERT_TRUE(view);
    const auto field = view->subviewWithIdentifier("UserIDField");
    ASSERT_TRUE(field);
    EXPECT_STREQ(field->className(), "UserIDFieldS") << "the view's classes come from the module";
    auto peer = std::dynamic_pointer_cast<headless::HeadlessTextField>(field->peer());
    ASSERT_TRUE(peer);
    EXPECT_TRUE(peer->userTypes("abcdefghijk"));
    EXPECT_EQ(peer->text(), "abcdefgh");
    EXPECT_TRUE(log.empty()) << log.front();
}

// Copies of the built bundle with one thing wrong.
struct BadBundleCase {
    const char* label;
    std::function<void(const std::filesystem::path&)> spoil;
    const char* failure;  // part of the loader's answer
};

void rewriteInfo(const std::filesystem::path& bundle, const std::string& from,
                 const std::string& to) {
    const auto path = bundle / "Contents/Info.plist";
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, from.size(), to);
    std::ofstream(path) << text;
}

const BadBundleCase kBadBundles[] = {
    {"NoDescriptor", [](const auto& b) { std::filesystem::remove(b / "Contents/Info.plist"); },
     "descriptor"},
    {"BrokenDescriptor",
     [](const auto& b) { std::ofstream(b / "Contents/Info.plist") << "<plist><dict>"; },
     "descriptor"},
    {"NoModule",
     [](const auto& b) { std::filesystem::remove(b / "Contents/MacOS/jobtypepanel.so"); },
     "cannot load"},
    {"UnknownPrincipalClass",
     [](const auto& b) {
         rewriteInfo(b, "<string>kordavineJobLogC</string>", "<string>NoSuchFactory</string>");
     },
     "no class NoSuchFactory"},
    {"NoPrincipalClass",
     [](const auto& b) {
         rewriteInfo(b, "<key>NSPrincipalClass</key>", "<key>SomethingElse</key>");
     },
     "no principal class"},
};

class BadBundles : public ::testing::TestWithParam<BadBundleCase> {};

TEST_P(BadBundles, AreRefusedWithAReason) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("joblog-bad-bundle-" + std::to_string(::getpid()) + "-" + GetParam().label);
    std::filesystem::remove_all(dir);
    std::filesystem::copy(JOBLOG_PLUGIN_DIR, dir, std::filesystem::copy_options::recursive);
    GetParam().spoil(dir);
    auto loaded = platform::loadPrintDialogExtension(dir, "en");
    std::filesystem::remove_all(dir);
    ASSERT_TRUE(std::holds_alternative<std::string>(loaded));
    EXPECT_NE(std::get<std::string>(loaded).find(GetParam().failure), std::string::npos)
        << std::get<std::string>(loaded);
}

INSTANTIATE_TEST_SUITE_P(Spoiled, BadBundles, ::testing::ValuesIn(kBadBundles),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace kordavine::paneltest
