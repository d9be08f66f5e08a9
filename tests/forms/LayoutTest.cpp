// Layouts: a good one builds the controls and binds handlers by name; a bad one fails with an
// error that names the file, the object and the unknown or unfitting name.
#include "TestScreen.h"

#include "forms/Application.h"
#include "forms/Label.h"
#include "forms/Layout.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* FileName = "probe.layout.json";

class TProbeForm : public TForm {
public:
  TMethodTable MethodTable() override {
    return {
        {"FormActivate", TNotifyEvent([this](TObject* Sender) { Calls.push_back(Sender == this ? "activate" : "?"); })},
        {"FormKeyPress", TKeyPressEvent([this](TObject*, char& Key) { Calls.push_back(std::string("key ") + Key); })},
        {"LabelClick", TNotifyEvent([this](TObject*) { Calls.push_back("label click"); })},
    };
  }
  std::vector<std::string> Calls;
};

class LayoutFixture : public testing::Test {
protected:
  LayoutFixture() : App(TestScreen::NewHeadless()), Form(App.CreateForm<TProbeForm>()) {}

  TApplication App;
  TProbeForm& Form;
};

TEST_F(LayoutFixture, AGoodLayoutBuildsControlsAndBindsHandlersByName) {
  LoadLayout(Form, R"({
    "class": "TProbeForm", "name": "ProbeForm", "Caption": "Probe", "BorderStyle": "bsNone",
    "Left": 0, "Top": 0, "Width": 640, "Height": 480, "Color": "clBlack",
    "OnActivate": "FormActivate", "OnKeyPress": "FormKeyPress",
    "controls": [
      {"class": "TScrollBox", "name": "Box", "Left": 10, "Top": 20, "Width": 200, "Height": 100,
       "BorderStyle": "bsNone",
       "controls": [{"class": "TLabel", "name": "Label1", "Left": 5, "Top": 6, "Caption": "Hi",
                     "OnClick": "LabelClick"}]}
    ]})",
             FileName);
  TLabel& Label = LayoutControl<TLabel>(Form, "Label1");
  EXPECT_EQ(Form.Name(), "ProbeForm");
  EXPECT_EQ(Form.Caption(), "Probe");
  EXPECT_EQ(Label.Parent(), Form.FindControl("Box"));
  EXPECT_EQ(Label.ScreenOrigin(), (TPoint{15, 26}));
  EXPECT_FALSE(Label.Loading());
  EXPECT_FALSE(Form.Loading());

  TestScreen::Headless(App).Type("k");
  const TPoint OnLabel = TestScreen::Centre(Label.ScreenRect());
  TestScreen::Headless(App).Click(OnLabel.X, OnLabel.Y);
  App.Run();

  EXPECT_EQ(Form.Calls, (std::vector<std::string>{"activate", "key k", "label click"}));
}

struct TBadLayoutCase {
  const char* Name;
  const char* Layout;
  std::vector<std::string> Named;  // what the message must name besides the file
};

class BadLayoutTest : public LayoutFixture, public testing::WithParamInterface<TBadLayoutCase> {};

TEST_P(BadLayoutTest, FailsWithAnErrorNamingTheFileTheObjectAndTheName) {
  const TBadLayoutCase& Case = GetParam();
  try {
    LoadLayout(Form, Case.Layout, FileName);
    FAIL() << "the layout was accepted";
  } catch (const ELayoutError& E) {
    const std::string Message = E.what();
    EXPECT_NE(Message.find(FileName), std::string::npos) << Message;
    for (const std::string& Name : Case.Named) EXPECT_NE(Message.find(Name), std::string::npos) << Message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, BadLayoutTest,
    testing::Values(
        TBadLayoutCase{"UnknownClass",
                       R"({"name": "ProbeForm", "controls": [{"class": "TGadget", "name": "Gadget1"}]})",
                       {"Gadget1", "TGadget"}},
        TBadLayoutCase{"UnknownClassDeeper",
                       R"({"name": "ProbeForm", "controls": [{"class": "TScrollBox", "name": "Box",
                           "controls": [{"class": "TMatContainer", "name": "Menu"}]}]})",
                       {"Menu", "TMatContainer"}},
        TBadLayoutCase{"UnknownFormProperty", R"({"name": "ProbeForm", "Colour": "clRed"})", {"ProbeForm", "Colour"}},
        TBadLayoutCase{"UnknownControlProperty",
                       R"({"name": "ProbeForm", "controls": [{"class": "TLabel", "name": "Label1",
                           "Alignment": "taCenter"}]})",
                       {"Label1", "Alignment"}},
        TBadLayoutCase{"PropertyOfTheWrongType",
                       R"({"name": "ProbeForm", "controls": [{"class": "TLabel", "name": "Label1",
                           "Left": "ten"}]})",
                       {"Label1", "Left"}},
        TBadLayoutCase{"UnknownHandler", R"({"name": "ProbeForm", "OnActivate": "FormActivated"})",
                       {"ProbeForm", "FormActivated"}},
        TBadLayoutCase{"UnknownHandlerOfAControl",
                       R"({"name": "ProbeForm", "controls": [{"class": "TLabel", "name": "Label1",
                           "OnClick": "Label1Click"}]})",
                       {"Label1", "Label1Click"}},
        TBadLayoutCase{"UnknownEvent", R"({"name": "ProbeForm", "OnWobble": "FormActivate"})",
                       {"ProbeForm", "OnWobble"}},
        TBadLayoutCase{"KeyPressHandlerForANotifyEvent", R"({"name": "ProbeForm", "OnActivate": "FormKeyPress"})",
                       {"ProbeForm", "OnActivate"}},
        TBadLayoutCase{"NotifyHandlerForAKeyPressEvent", R"({"name": "ProbeForm", "OnKeyPress": "FormActivate"})",
                       {"ProbeForm", "OnKeyPress"}},
        TBadLayoutCase{"NotifyHandlerOfTheWrongKindOnAControl",
                       R"({"name": "ProbeForm", "controls": [{"class": "TLabel", "name": "Label1",
                           "OnClick": "FormKeyPress"}]})",
                       {"Label1", "OnClick"}},
        TBadLayoutCase{"NotJson", R"({"name": "ProbeForm",)", {}}),
    [](const testing::TestParamInfo<TBadLayoutCase>& Info) { return std::string(Info.param.Name); });

TEST_F(LayoutFixture, AHandlerOfTheWrongKindIsNotBound) {
  EXPECT_THROW(LoadLayout(Form, R"({"name": "ProbeForm", "OnKeyPress": "FormActivate"})", FileName), ELayoutError);
  EXPECT_FALSE(Form.OnKeyPress);
  EXPECT_THROW(LoadLayout(Form, R"({"name": "ProbeForm", "OnActivate": "FormKeyPress"})", FileName), ELayoutError);
  EXPECT_FALSE(Form.OnActivate);
}

}  // namespace
