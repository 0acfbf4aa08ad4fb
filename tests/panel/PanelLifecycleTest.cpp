// The factory, the panel's creation, name, kind, view and destruction, and calls that come in
// any order before the view exists.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "PanelHarness.h"
#include "kordavineJobLogC.h"

namespace kordavine::paneltest {
namespace {

struct PanelTypeCase {
    const char* type;
    bool suppliesPanel;
};

class FactoryPanelTypes : public ::testing::TestWithParam<PanelTypeCase> {};

TEST_P(FactoryPanelTypes, OnlyTheDriverPanelTypeGetsAPanel) {
    PanelHarness t;
    joblog::kordavineJobLogC factory;
    EXPECT_TRUE(factory.initWithBundle(t.bundle));
    const auto panels = factory.PDEPanelsForType(GetParam().type, t.callback);
    ASSERT_TRUE(panels.has_value()) << "an answer for every type, the empty list at least";
    ASSERT_EQ(panels->size(), GetParam().suppliesPanel ? 1u : 0u);
    if (GetParam().suppliesPanel) {
        EXPECT_EQ(panels->front()->panelKind(), "com.kordavine.print.pde.kordavineJobLogC");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, FactoryPanelTypes,
    ::testing::Values(PanelTypeCase{"BDB091F4-E57F-11D3-B5CC-0050E4603277", true},
                      PanelTypeCase{"bdb091f4-e57f-11d3-b5cc-0050e4603277", false},
                      PanelTypeCase{"BDB091F4-E57F-11D3-B5CC-0050E460327", false},
                      PanelTypeCase{"BDB091F4-E57F-11D3-B5CC-0050E4603277 ", false},
                      PanelTypeCase{"", false},
                      PanelTypeCase{"com.apple.print.pde.PaperHandling", false}));

TEST(Factory, AnswersNoListWhenThePanelCannotBeMade) {
    PanelHarness t;
    joblog::kordavineJobLogC factory([](auto) { return std::shared_ptr<platform::PDEPanel>(); });
    EXPECT_FALSE(
        factory.PDEPanelsForType(platform::kPrinterDriverPanelsType, t.callback).has_value());
    EXPECT_TRUE(factory.PDEPanelsForType("other", t.callback).has_value());
}

TEST(Factory, PanelGetsTheHostInformationAsItsCallback) {
    PanelHarness t;
    joblog::kordavineJobLogC factory;
    const auto panels = factory.PDEPanelsForType(platform::kPrinterDriverPanelsType, t.callback);
    ASSERT_TRUE(panels && panels->size() == 1);
    const auto panel = std::dynamic_pointer_cast<KordavineJobLogPDE>(panels->front());
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->pdePluginCallbackObject, t.callback);
}

struct UserIDCase {
    const char* label;
    bool withPrintSettings;
    std::optional<std::string> before;
    std::optional<std::string> after;
};

class CreationUserID : public ::testing::TestWithParam<UserIDCase> {};

TEST_P(CreationUserID, StoresAnEmptyUserIDOnlyWhenAbsent) {
    const auto& c = GetParam();
    PanelSetup setup;
    setup.withPrintSettings = c.withPrintSettings;
    if (c.before) setup.settings[ps::kUserID] = *c.before;
    setup.settings[ps::kJobType] = "Locked Print";
    PanelHarness t(setup);
    if (!c.withPrintSettings) {
        EXPECT_FALSE(t.settings);
        return;
    }
    EXPECT_EQ(t.setting(ps::kUserID), c.after);
    EXPECT_EQ(t.setting(ps::kJobType), "Locked Print") << "other keys stay as they are";
    EXPECT_EQ(t.settings->values().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Settings, CreationUserID,
                         ::testing::Values(UserIDCase{"Absent", true, std::nullopt, ""},
                                           UserIDCase{"Present", true, "alice7", "alice7"},
                                           UserIDCase{"PresentEmpty", true, "", ""},
                                           UserIDCase{"NoPrintSettings", false, std::nullopt,
                                                      std::nullopt}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Creation, StartsWithEverythingUnsetAndTheBundleOfItsClass) {
    PanelHarness t;
    const auto& p = *t.panel;
    EXPECT_FALSE(p.thePDEName);
    EXPECT_FALSE(p.outputBinsView);
    EXPECT_EQ(p.outputBinOption, nullptr);
    EXPECT_FALSE(p.popUpIsInited);
    EXPECT_FALSE(p.panelshown);
    EXPECT_EQ(p.ppd, t.ppd->get());
    EXPECT_EQ(p.pdeBundle, t.bundle);
    EXPECT_FALSE(p.UserIDField.isConnected());
}

TEST(Creation, NoCallbackObjectAtAll) {
    PanelHarness t;
    const auto panel = KordavineJobLogPDE::initWithCallback(nullptr);
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->ppd, nullptr);
    EXPECT_FALSE(panel->longpasswordsup);
    EXPECT_EQ(panel->panelName(), "Job Log");
    EXPECT_TRUE(panel->restoreValuesAndReturnError(nullptr));
    EXPECT_TRUE(panel->shouldPrint());
}

struct NameCase {
    PrinterPpd ppd;
    std::string language;
    std::string name;
};

class PanelNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(PanelNames, LocalizedAndComputedOnce) {
    PanelSetup setup;
    setup.ppd = GetParam().ppd;
    setup.language = GetParam().language;
    PanelHarness t(setup);
    EXPECT_EQ(t.panel->panelName(), GetParam().name);
    // Neither a different printer nor a different bundle changes a name once computed.
    PanelHarness other;
    t.panel->ppd = other.ppd->get();
    t.panel->pdeBundle = platform::Bundle::empty();
    EXPECT_EQ(t.panel->panelName(), GetParam().name);
    EXPECT_EQ(t.panel->thePDEName, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Ppds, PanelNames,
                         ::testing::Values(NameCase{"everything", "en", "Job Log"},
                                           NameCase{"no-job-type-model", "en", "Job Log2"},
                                           NameCase{"everything", "de", "Auftragsprotokoll"},
                                           NameCase{"no-job-type-model", "de",
                                                    "Auftragsprotokoll 2"},
                                           NameCase{"odd-values", "en", "Job Log"},
                                           NameCase{NoPpd{}, "de", "Auftragsprotokoll"}));

TEST(PanelKind, IsTheSameForEveryPrinter) {
    for (const PrinterPpd& ppd :
         {PrinterPpd("everything"), PrinterPpd("no-job-type-model"), PrinterPpd(NoPpd{})}) {
        PanelSetup setup;
        setup.ppd = ppd;
        EXPECT_EQ(PanelHarness(setup).panel->panelKind(),
                  "com.kordavine.print.pde.kordavineJobLogC");
    }
}

TEST(PanelView, IsLoadedOnceAndConnectsEveryOutlet) {
    PanelHarness t;
    const auto view = t.panel->panelView();
    ASSERT_TRUE(view);
    EXPECT_EQ(t.panel->panelView(), view);
    EXPECT_EQ(t.toolkit->viewsMade, 1);
    auto& p = *t.panel;
    for (bool connected :
         {p.UserIDField.isConnected(), p.DocNameField.isConnected(), p.PasswordField.isConnected(),
          p.LongPasswordField.isConnected(), p.UserCodeField.isConnected(),
          p.UserIDLABEL.isConnected(), p.UserCodeLABEL.isConnected(), p.DocNameLABEL.isConnected(),
          p.PasswordLABEL.isConnected(), p.JobTypeLABEL.isConnected(), p.UserIDnote.isConnected(),
          p.UserCodenote.isConnected(), p.DocNamenote.isConnected(), p.Passwordnote.isConnected(),
          p.JobTypeSelection.isConnected(), p.EnableUserCode.isConnected()}) {
        EXPECT_TRUE(connected);
    }
    EXPECT_STREQ(p.UserIDField->className(), "UserIDFieldS");
    EXPECT_STREQ(p.UserCodeField->className(), "UserIDFieldS");
    EXPECT_STREQ(p.DocNameField->className(), "DocNameFiledS");
    EXPECT_STREQ(p.PasswordField->className(), "PasswordFieldS");
    EXPECT_STREQ(p.LongPasswordField->className(), "LongPasswordFieldS");
    EXPECT_TRUE(t.field("PasswordField")->isSecure());
    EXPECT_TRUE(t.field("LongPasswordField")->isSecure());
    EXPECT_FALSE(t.field("UserIDField")->isSecure());
    EXPECT_TRUE(t.log.empty()) << t.log.front();
}

// Bundles whose view description is missing or broken, made from the built one.
class BrokenViewBundle : public ::testing::TestWithParam<std::optional<std::string>> {
  protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        dir_ = std::filesystem::temp_directory_path() /
               ("joblog-bundle-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(dir_);
        std::filesystem::copy(JOBLOG_PLUGIN_DIR, dir_, std::filesystem::copy_options::recursive);
        std::filesystem::remove(viewDescription());
        if (GetParam()) std::ofstream(viewDescription()) << *GetParam();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path viewDescription() const {
        return dir_ / "Contents/Resources/JobLog.view.json";
    }

    std::filesystem::path dir_;
};

TEST_P(BrokenViewBundle, NoViewAndNoOutletsThenTheNextRequestTriesAgain) {
    PanelSetup setup;
    setup.bundle = dir_;
    setup.settings[ps::kJobType] = "Saved Print";
    PanelHarness t(setup);
    EXPECT_FALSE(t.panel->panelView());
    EXPECT_FALSE(t.panel->panelView());
    EXPECT_FALSE(t.panel->UserIDField.isConnected());
    EXPECT_FALSE(t.panel->JobTypeSelection.isConnected());
    EXPECT_EQ(t.toolkit->viewsMade, 0);
    EXPECT_EQ(t.log.size(), 2u) << "each failed load says why";
    // The panel goes on working on absent controls.
    t.panel->willShow();
    EXPECT_TRUE(t.panel->restoreValuesAndReturnError(nullptr));
    EXPECT_TRUE(t.panel->JobTypeByPM(std::string("Saved Print")));

    std::filesystem::copy_file(
        std::filesystem::path(JOBLOG_PLUGIN_DIR) / "Contents/Resources/JobLog.view.json",
        viewDescription(), std::filesystem::copy_options::overwrite_existing);
    const auto view = t.panel->panelView();
    ASSERT_TRUE(view);
    EXPECT_TRUE(t.panel->UserIDField.isConnected());
    EXPECT_EQ(t.panel->panelView(), view);
    EXPECT_EQ(t.toolkit->viewsMade, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, BrokenViewBundle,
    ::testing::Values(
        std::nullopt, std::optional<std::string>("{\"class\": \"NSView\", \"controls\": ["),
        std::optional<std::string>("[]"),
        std::optional<std::string>(R"({"class": "NSView", "outlet": "outputBinsView", "controls": [
                          {"class": "NSTextField", "customClass": "UserIDFieldS", "outlet": "UserIDField"},
                          {"class": "NSTextField", "customClass": "NoSuchFieldS", "outlet": "DocNameField"}]})"),
        std::optional<std::string>(R"({"class": "NSView", "controls": [
                          {"class": "NSTextField", "customClass": "PasswordFieldS", "outlet": "PasswordField"}]})"),
        std::optional<std::string>(R"({"class": "NSView", "controls": [
                          {"class": "NSTextField", "outlet": "UserIDLABEL", "color": "red"}]})")));

TEST(PanelView, WithoutAToolkitThereIsNoViewUntilOneIsInstalled) {
    PanelHarness t;
    platform::setToolkit(nullptr);
    EXPECT_FALSE(t.panel->panelView());
    platform::setToolkit(t.toolkit);
    EXPECT_TRUE(t.panel->panelView());
}

TEST(AnyOrder, CallsBeforeTheViewExistsChangeNoControlAndKeepWorking) {
    PanelSetup setup;
    setup.settings = {{ps::kUserID, "alice"}, {ps::kJobType, "Paused Print"}};
    PanelHarness t(setup);
    const auto before = t.settings->values();
    auto& p = *t.panel;
    EXPECT_TRUE(p.restoreValuesAndReturnError(nullptr));
    EXPECT_TRUE(p.saveValuesAndReturnError(nullptr));
    EXPECT_TRUE(p.shouldPrint());
    p.summaryInfo();
    EXPECT_TRUE(p.shouldHide());
    EXPECT_TRUE(p.shouldShowHelp());
    EXPECT_EQ(t.settings->values(), before);
    p.willShow();
    EXPECT_TRUE(p.panelshown);
    EXPECT_EQ(p.UserIDField->stringValue(), "");
    EXPECT_EQ(p.EnableUserCode->state(), 0);
    EXPECT_EQ(p.JobTypeSelection->titleOfSelectedItem(), std::nullopt);
    p.UserIDField->setStringValue("ignored");
    EXPECT_EQ(p.UserIDField->stringValue(), "");

    ASSERT_TRUE(p.panelView());
    EXPECT_EQ(t.field("UserIDField")->text(), "") << "nothing was stored for the absent control";
    p.UserIDField->setStringValue("bob");
    EXPECT_EQ(t.field("UserIDField")->text(), "bob");
}

TEST(AnyOrder, ShowBeforeViewThenView) {
    PanelHarness t;
    t.panel->willShow();
    t.panel->willShow();
    EXPECT_TRUE(t.panel->panelView());
    EXPECT_TRUE(t.panel->panelshown);
}

TEST(Destruction, GivesBackCallbackBundleNameAndViewInThisOrder) {
    PanelHarness t;
    t.panel->panelName();
    std::weak_ptr<platform::View> view = t.panel->panelView();
    ASSERT_FALSE(view.expired());
    t.panel.reset();
    EXPECT_EQ(t.releases, (std::vector<std::string>{"pdePluginCallbackObject", "pdeBundle",
                                                    "thePDEName", "outputBinsView"}));
    EXPECT_TRUE(view.expired()) << "the panel held the only reference to its view";
    EXPECT_EQ(t.callback.use_count(), 1) << "the panel let go of the callback object";
}

TEST(Destruction, ControlsOutlivingTheViewAreAbsent) {
    PanelHarness t;
    ASSERT_TRUE(t.panel->panelView());
    auto field = t.panel->UserIDField.get();
    t.panel->outputBinsView.reset();
    field.reset();
    EXPECT_FALSE(t.panel->UserIDField.isConnected());
    t.panel->UserIDField->setStringValue("x");
    EXPECT_EQ(t.panel->UserIDField->stringValue(), "");
}

TEST(Actions, TheViewsControlsSendThemToThePanel) {
    PanelHarness t;
    EXPECT_TRUE(t.panel->performAction("ChangeJobType:", nullptr));
    EXPECT_TRUE(t.panel->performAction("ChangeOnOffUserCode:", nullptr));
    EXPECT_FALSE(t.panel->performAction("ChangeJobType", nullptr));
    ASSERT_TRUE(t.panel->panelView());
    t.panel->JobTypeByPM(std::string("Normal"));
    EXPECT_TRUE(t.popUp()->userPicks("Hold Print"));
    EXPECT_TRUE(t.peer<headless::HeadlessCheckBox>("EnableUserCode")->userToggles());
    EXPECT_TRUE(t.log.empty()) << "both actions reached the panel";
}

}  // namespace
}  // namespace kordavine::paneltest
