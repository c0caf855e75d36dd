#include "app/dialogs/property_sheet.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <string>

#include "app/dialogs/dialog_test_support.h"
#include "app/dialogs/obj_color_page.h"
#include "app/dialogs/obj_surface_page.h"
#include "app/dialogs/obj_transforms_page.h"
#include "app/dialogs/obj_vertices_page.h"
#include "model/scene_object.h"

namespace kel {
namespace {

using test::clickTab;
using test::editNamed;
using test::RecordingMessages;
using test::ScriptedColorChooser;
using test::typeInto;

constexpr int kTransformsTab = 0;
constexpr int kSurfaceTab = 1;
constexpr int kColorTab = 2;
constexpr int kVerticesTab = 3;

// The sheet the tree opens, shown without blocking. A shininess of 500 is what a scene
// file may hold beyond the field's range.
class PropertySheetTest : public ::testing::Test {
  protected:
    PropertySheetTest() : object(1), sheet(QStringLiteral("cube.obj"), messages) {
        object.setRotation({10.0, 20.0, 30.0});
        object.setScaling({1.0, 2.0, 3.0});
        object.setTranslation({-1.0, -2.0, -3.0});
        object.setColor(Color(1, 2, 3));
        object.setDiffuse(0.5);
        object.setSpecular(0.25);
        object.setShininess(500);
        transforms = new ObjTransformsPage(object);
        surface = new ObjSurfacePage(object);
        color = new ObjColorPage(object, chooser);
        sheet.addPage(transforms);
        sheet.addPage(surface);
        sheet.addPage(color);
        sheet.addPage(new ObjVerticesPage(object));
        sheet.show();
    }

    int tab() const { return sheet.tabs()->currentIndex(); }
    void chooseColors() { color->findChild<QPushButton*>("chooseColors")->click(); }

    SceneObject object;
    RecordingMessages messages;
    ScriptedColorChooser chooser;
    PropertySheet sheet;
    ObjTransformsPage* transforms = nullptr;
    ObjSurfacePage* surface = nullptr;
    ObjColorPage* color = nullptr;
};

TEST_F(PropertySheetTest, OpensOnTransformsAndFillsAPageOnlyWhenItIsFirstShown) {
    EXPECT_EQ(sheet.windowTitle(), "cube.obj");
    ASSERT_EQ(sheet.pageCount(), 4);
    const char* const titles[] = {"Transforms", "Surface", "Color", "Vertices"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sheet.tabs()->tabText(i), titles[i]);
    }
    EXPECT_EQ(tab(), kTransformsTab);
    EXPECT_EQ(editNamed(*transforms, "rotateZ")->text(), "30");
    EXPECT_EQ(editNamed(*transforms, "scaleY")->text(), "2");
    EXPECT_EQ(editNamed(*transforms, "translateX")->text(), "-1");
    EXPECT_TRUE(editNamed(*surface, "diffuse")->text().isEmpty());

    clickTab(*sheet.tabs(), kVerticesTab);
    EXPECT_EQ(tab(), kVerticesTab);
    EXPECT_EQ(sheet.page(kVerticesTab)->findChild<QLabel*>()->text(), "Not yet implemented");

    // Built without an object, as where pages are made by class name, every field is 0.
    ScriptedColorChooser unused;
    EXPECT_EQ(ObjTransformsPage().scaling(), Vector(0.0, 0.0, 0.0));
    EXPECT_EQ(ObjSurfacePage().shininess(), 0);
    EXPECT_EQ(ObjColorPage(unused).color(), Color(0, 0, 0));
}

TEST_F(PropertySheetTest, TransformsTakeAnyRealButNoText) {
    typeInto(*transforms, "scaleX", "0");
    typeInto(*transforms, "scaleZ", "-2");
    typeInto(*transforms, "translateX", "-123456.75");
    typeInto(*transforms, "rotateY", "left");
    sheet.okButton()->click();
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0], "Please enter a number.");
    EXPECT_EQ(sheet.focusWidget(), editNamed(*transforms, "rotateY"));

    typeInto(*transforms, "rotateY", "720");
    sheet.okButton()->click();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(transforms->scaling(), Vector(0.0, 2.0, -2.0));
    EXPECT_EQ(transforms->translation(), Vector(-123456.75, -2.0, -3.0));
    EXPECT_EQ(transforms->rotation(), Vector(10.0, 720.0, 30.0));
}

// Each case types one text on the page and tries to leave it for another tab.
TEST_F(PropertySheetTest, SurfaceAndColourFieldsHoldTheTabWhileRefused) {
    clickTab(*sheet.tabs(), kSurfaceTab);
    typeInto(*surface, "shininess", "10");
    const struct {
        int page;
        const char* edit;
        const char* text;
        const char* message;  // empty when accepted
    } cases[] = {
        {kSurfaceTab, "diffuse", "-0.1", "Please enter a number between 0 and 1."},
        {kSurfaceTab, "diffuse", "0", ""},
        {kSurfaceTab, "diffuse", "1", ""},
        {kSurfaceTab, "specular", "1.01", "Please enter a number between 0 and 1."},
        {kSurfaceTab, "specular", "0", ""},
        {kSurfaceTab, "shininess", "300", ""},
        {kSurfaceTab, "shininess", "301", "Please enter an integer between 0 and 300."},
        {kSurfaceTab, "shininess", "-1", "Please enter an integer between 0 and 300."},
        {kSurfaceTab, "shininess", "2.5", "Please enter an integer."},
        {kColorTab, "red", "255", ""},
        {kColorTab, "red", "256", "Please enter an integer between 0 and 255."},
        {kColorTab, "green", "text", "Please enter an integer."},
        {kColorTab, "blue", "0", ""},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(std::string(entry.edit) + " '" + entry.text + "'");
        messages.errors.clear();
        clickTab(*sheet.tabs(), entry.page);
        ASSERT_EQ(tab(), entry.page);
        QWidget* const page = sheet.page(entry.page);
        typeInto(*page, entry.edit, entry.text);
        clickTab(*sheet.tabs(), kVerticesTab);
        if (*entry.message == '\0') {
            EXPECT_TRUE(messages.errors.empty());
            EXPECT_EQ(tab(), kVerticesTab);
        } else {
            ASSERT_EQ(messages.errors.size(), 1u);
            EXPECT_EQ(messages.errors[0], entry.message);
            EXPECT_EQ(tab(), entry.page);
            EXPECT_EQ(sheet.focusWidget(), editNamed(*page, entry.edit));
            typeInto(*page, entry.edit, "0");  // corrected for the next case
        }
    }
    EXPECT_EQ(surface->shininess(), 0);
    EXPECT_EQ(color->color(), Color(0, 0, 0));
}

TEST_F(PropertySheetTest, AnOutOfRangeShininessOpensQuietlyAndBlocksLeavingAndOk) {
    clickTab(*sheet.tabs(), kSurfaceTab);
    EXPECT_EQ(editNamed(*surface, "shininess")->text(), "500");
    EXPECT_TRUE(messages.errors.empty());

    clickTab(*sheet.tabs(), kColorTab);
    EXPECT_EQ(tab(), kSurfaceTab);
    EXPECT_FALSE(color->hasBeenShown());
    sheet.okButton()->click();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(messages.errors.size(), 2u);

    // The fields are read in the order diffuse, shininess, specular.
    typeInto(*surface, "specular", "2");
    typeInto(*surface, "diffuse", "2");
    sheet.okButton()->click();
    EXPECT_EQ(sheet.focusWidget(), editNamed(*surface, "diffuse"));
    typeInto(*surface, "diffuse", "1");
    sheet.okButton()->click();
    EXPECT_EQ(sheet.focusWidget(), editNamed(*surface, "shininess"));
    typeInto(*surface, "shininess", "300");
    sheet.okButton()->click();
    EXPECT_EQ(sheet.focusWidget(), editNamed(*surface, "specular"));

    // Cancel closes whatever the fields hold.
    sheet.cancelButton()->click();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
}

TEST_F(PropertySheetTest, ChooseColorsStartsFromTheLastExchangeNotFromTypedText) {
    clickTab(*sheet.tabs(), kColorTab);
    typeInto(*color, "red", "10");
    chooser.answer = {200, 100, 50};
    chooseColors();
    ASSERT_EQ(chooser.offered.size(), 1u);
    EXPECT_EQ(chooser.offered[0], (std::array<std::uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(editNamed(*color, "red")->text(), "200");
    EXPECT_EQ(editNamed(*color, "green")->text(), "100");
    EXPECT_EQ(editNamed(*color, "blue")->text(), "50");

    // Leaving the page is an exchange: the chooser then starts from what was typed. A
    // cancelled chooser leaves the edits as they were.
    typeInto(*color, "red", "10");
    clickTab(*sheet.tabs(), kVerticesTab);
    clickTab(*sheet.tabs(), kColorTab);
    typeInto(*color, "green", "99");
    chooser.confirm = false;
    chooseColors();
    EXPECT_EQ(chooser.offered[1], (std::array<std::uint8_t, 3>{10, 100, 50}));
    EXPECT_EQ(editNamed(*color, "green")->text(), "99");
    EXPECT_EQ(color->color(), Color(10, 100, 50));
}

}  // namespace
}  // namespace kel
