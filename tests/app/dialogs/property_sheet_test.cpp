#include <QTabWidget>
#include <string>

#include "app/dialogs/dialog_test_support.h"

namespace kel {
namespace {

using test::editNamed;
using test::typeInto;

using test::PropertySheetTest;

// Each case types one text on a page and tries to leave it for another tab.
TEST_F(PropertySheetTest, ARefusedFieldKeepsItsTabAndFocus) {
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

}  // namespace
}  // namespace kel
