#include <QPushButton>
#include <memory>
#include <string>

#include "app/dialogs/dialog_test_support.h"

namespace kel {
namespace {

using test::editNamed;
using test::SettingsDialogTest;
using test::typeInto;

// Each case types one text into one field of an unchanged dialog and presses OK.
TEST_F(SettingsDialogTest, FieldsAcceptTheirInclusiveRangesAndRefuseTheRest) {
    const char* const kAccepted = "";
    const char* const kNumber = "Please enter a number.";
    const char* const kCameraRange = "Please enter a number between -10000 and 10000.";
    const char* const kPlane = "Please enter a number between 0.01 and 10000.";
    const char* const kUnit = "Please enter a number between 0 and 1.";
    const char* const kColour = "Please enter an integer between 0 and 255.";
    const struct {
        const char* which;
        const char* edit;
        std::string text;
        const char* message;
    } cases[] = {
        {"camera", "fromX", "-10000", kAccepted},
        {"camera", "fromY", "10000.5", "Please enter a number between -10000 and 10000."},
        {"camera", "toZ", "1.5x", kNumber},
        {"camera", "toZ", "", kNumber},
        // A number beyond a double's range is still a number: the range is what it breaks.
        {"camera", "toZ", "1e400", kCameraRange},
        {"camera", "toZ", "-1e999", kCameraRange},
        {"camera", "toZ", "1e-999", kAccepted},  // too small: zero
        {"camera", "toZ", "inf", kNumber},
        {"frustum", "farPlane", "1e999", kPlane},
        {"frustum", "farPlane", "0.000000000000000000000000000000000001e-300", kPlane},
        // Hundreds of digits: the value, not the length, decides.
        {"ambient", "ambient", "1" + std::string(359, '0'), kUnit},
        {"ambient", "ambient", "0." + std::string(358, '0') + "1", kAccepted},
        {"camera", "toY", "nan", kNumber},
        {"camera", "toY", "0,25", kNumber},  // '.' is the decimal point in every locale
        {"camera", "toX", "0x10", kNumber},
        {"frustum", "nearPlane", "0.01", kAccepted},
        {"frustum", "nearPlane", "0.001", kPlane},
        {"frustum", "farPlane", "10000", kAccepted},
        {"frustum", "planeHeight", "10000.001", kPlane},
        {"ambient", "ambient", "1", kAccepted},
        {"ambient", "ambient", "1.0001", kUnit},
        {"ambient", "ambient", "-0.0001", kUnit},
        {"light", "directionY", "1000.5", "Please enter a number between -1000 and 1000."},
        {"light", "intensity", "1.01", kUnit},
        {"light", "red", "255", kAccepted},
        {"light", "red", "256", kColour},
        {"light", "blue", "99999999999999999999", kColour},
        {"light", "red", "text", "Please enter an integer."},
        {"light", "blue", "2.5", "Please enter an integer."},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(std::string(entry.which) + " " + entry.edit + " '" + entry.text + "'");
        messages.errors.clear();
        const auto dialog = open(entry.which);
        typeInto(*dialog, entry.edit, QString::fromStdString(entry.text));
        dialog->okButton()->click();
        if (*entry.message == '\0') {
            EXPECT_TRUE(messages.errors.empty());
            EXPECT_EQ(dialog->result(), QDialog::Accepted);
        } else {
            ASSERT_EQ(messages.errors.size(), 1u);
            EXPECT_EQ(messages.errors[0], entry.message);
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->focusWidget(), editNamed(*dialog, entry.edit));
        }
    }
}

TEST_F(SettingsDialogTest, FieldsShowTheModelAndARefusedFieldLetsNoneReachIt) {
    // Fifteen significant digits are shown, and OK stores what was shown.
    const auto ambient = open("ambient");
    EXPECT_EQ(editNamed(*ambient, "ambient")->text(), "0.333333333333333");
    ambient->okButton()->click();
    EXPECT_EQ(scene.ambient(), 0.333333333333333);
    const auto dialog = open("light");
    EXPECT_EQ(editNamed(*dialog, "directionZ")->text(), "1");
    typeInto(*dialog, "directionX", "3");
    typeInto(*dialog, "directionZ", "-4");
    typeInto(*dialog, "intensity", "0.1");
    typeInto(*dialog, "red", "300");
    dialog->okButton()->click();
    EXPECT_EQ(light.direction(), Vector(0.0, 0.0, 1.0));
    EXPECT_EQ(light.intensity(), 0.8);
    typeInto(*dialog, "red", "0");
    dialog->okButton()->click();
    EXPECT_EQ(light.direction(), Vector(0.6, 0.0, -0.8));  // stored normalised
    EXPECT_EQ(light.color(), Color(0, 20, 30));
}

}  // namespace
}  // namespace kel
