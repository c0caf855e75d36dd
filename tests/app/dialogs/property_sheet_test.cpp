#include "app/dialogs/property_sheet.h"

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

using test::editNamed;
using test::typeInto;

enum Tab { kTransformsTab, kSurfaceTab, kColorTab, kVerticesTab };

// The sheet the tree opens, shown without blocking. A shininess of 500 is what a scene
// file may hold beyond the field's range.
class PropertySheetTest : public ::testing::Test {
protected:
    PropertySheetTest() : object(1), sheet(QStringLiteral("cube.obj"), messages) {
        object.setColor(Color(1, 2, 3));
        object.setShininess(500);
        surface = new ObjSurfacePage(object);
        color = new ObjColorPage(object, chooser);
        sheet.addPage(new ObjTransformsPage(object));
        sheet.addPage(surface);
        sheet.addPage(color);
        sheet.addPage(new ObjVerticesPage(object));
        sheet.show();
    }
    int tab() const { return sheet.tabs()->currentIndex(); }
    void chooseColors() { color->findChild<QPushButton*>("chooseColors")->click(); }

    SceneObject object;
    test::FakeMessages messages;
    test::ScriptedColorChooser chooser;
    PropertySheet sheet;
    ObjSurfacePage* surface = nullptr;
    ObjColorPage* color = nullptr;
};

// Each case types one text on a page and tries to leave it for another tab.
TEST_F(PropertySheetTest, ARefusedFieldKeepsItsTabAndFocus) {
    sheet.tabs()->setCurrentIndex(kSurfaceTab);
    typeInto(*surface, "shininess", "10");
    const struct {
        Tab page;
        const char* edit;
        const char* text;
        const char* message;  // empty when accepted
    } cases[] = {
        {kTransformsTab, "rotateY", "left", "Please enter a number."},
        {kTransformsTab, "scaleZ", "-123456.75", ""},
        {kTransformsTab, "translateX", "-1e999",
         "The number is too large; please enter a smaller one."},
        {kTransformsTab, "translateX", "1e308", ""},
        {kSurfaceTab, "diffuse", "-0.1", "Please enter a number between 0 and 1."},
        {kSurfaceTab, "diffuse", "1", ""},
        {kSurfaceTab, "specular", "1.01", "Please enter a number between 0 and 1."},
        {kSurfaceTab, "shininess", "300", ""},
        {kSurfaceTab, "shininess", "301", "Please enter an integer between 0 and 300."},
        {kSurfaceTab, "shininess", "2.5", "Please enter an integer."},
        {kColorTab, "red", "255", ""},
        {kColorTab, "red", "256", "Please enter an integer between 0 and 255."},
        {kColorTab, "green", "text", "Please enter an integer."},
        {kColorTab, "blue", "0", ""},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(std::string(entry.edit) + " '" + entry.text + "'");
        messages.errors.clear();
        sheet.tabs()->setCurrentIndex(entry.page);
        ASSERT_EQ(tab(), entry.page);
        QWidget& page = *sheet.page(entry.page);
        typeInto(page, entry.edit, entry.text);
        sheet.tabs()->setCurrentIndex(kVerticesTab);
        if (*entry.message == '\0') {
            EXPECT_TRUE(messages.errors.empty());
            EXPECT_EQ(tab(), kVerticesTab);
        } else {
            ASSERT_EQ(messages.errors.size(), 1u);
            EXPECT_EQ(messages.errors[0], entry.message);
            EXPECT_EQ(tab(), entry.page);
            EXPECT_EQ(sheet.focusWidget(), editNamed(page, entry.edit));
            typeInto(page, entry.edit, "0");  // corrected for the next case
        }
    }
    EXPECT_EQ(surface->shininess(), 0);
    EXPECT_EQ(color->color(), Color(0, 0, 0));
}

TEST_F(PropertySheetTest, ChooseColorsStartsFromTheLastExchangeNotFromTypedText) {
    sheet.tabs()->setCurrentIndex(kColorTab);
    typeInto(*color, "red", "10");
    chooser.answer = {200, 100, 50};
    chooseColors();
    ASSERT_EQ(chooser.offered.size(), 1u);
    EXPECT_EQ(chooser.offered[0], (std::array<std::uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(editNamed(*color, "red")->text(), "200");
    EXPECT_EQ(editNamed(*color, "blue")->text(), "50");
    // Leaving the page is an exchange: the chooser then starts from what was typed. A
    // cancelled chooser leaves the edits as they were.
    typeInto(*color, "red", "10");
    sheet.tabs()->setCurrentIndex(kVerticesTab);
    sheet.tabs()->setCurrentIndex(kColorTab);
    typeInto(*color, "green", "99");
    chooser.confirm = false;
    chooseColors();
    EXPECT_EQ(chooser.offered[1], (std::array<std::uint8_t, 3>{10, 100, 50}));
    EXPECT_EQ(editNamed(*color, "green")->text(), "99");
    EXPECT_EQ(color->color(), Color(10, 100, 50));
}

}  // namespace
}  // namespace kel
