#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <memory>
#include <string>

#include "app/dialogs/ambient_dialog.h"
#include "app/dialogs/camera_dialog.h"
#include "app/dialogs/dialog_test_support.h"
#include "app/dialogs/frustum_dialog.h"
#include "app/dialogs/light_dialog.h"
#include "model/scene.h"

namespace kel {
namespace {

using test::editNamed;
using test::RecordingMessages;
using test::typeInto;

// The camera's up was given as (0, 1, 1); its actual up is (0, 1, 0).
class SettingsDialogTest : public ::testing::Test {
  protected:
    SettingsDialogTest() {
        camera.set({0.0, 0.0, -10.0}, {0.0, 0.0, 0.0}, {0.0, 1.0, 1.0});
        frustum.set(1.0, 100.0, 0.5);
        light.setDirection({0.0, 0.0, 2.0});
        light.setIntensity(0.8);
        light.setColor(Color(10, 20, 30));
        scene.setAmbient(0.25);
    }

    // The named dialog on its model object, already open.
    std::unique_ptr<SettingsDialog> open(const std::string& which) {
        std::unique_ptr<SettingsDialog> dialog;
        if (which == "camera") {
            dialog = std::make_unique<CameraDialog>(camera, messages);
        } else if (which == "frustum") {
            dialog = std::make_unique<FrustumDialog>(frustum, messages);
        } else if (which == "ambient") {
            dialog = std::make_unique<AmbientDialog>(scene, messages);
        } else {
            dialog = std::make_unique<LightDialog>(light, messages);
        }
        dialog->show();
        return dialog;
    }

    QStringList texts(const QWidget& dialog, const QStringList& names) {
        QStringList result;
        for (const QString& name : names) {
            result << editNamed(dialog, name.toLatin1().constData())->text();
        }
        return result;
    }

    Camera camera;
    Frustum frustum;
    Light light;
    Scene scene;
    RecordingMessages messages;
};

TEST_F(SettingsDialogTest, DialogsHaveTheirTitlesLabelsAndButtons) {
    const struct {
        const char* which;
        const char* title;
        QStringList labels;
    } expected[] = {
        {"camera", "Camera", {"X", "Y", "Z", "From Point", "To Point", "Up Vector"}},
        {"frustum", "Frustum", {"Near Plane", "Far Plane", "Plane Height"}},
        {"ambient", "Ambient Light", {"Ambient Light"}},
        {"light",
         "Lighting",
         {"X", "Y", "Z", "Direction", "0 - 1", "Intensity", "R", "G", "B", "Color"}},
    };
    for (const auto& entry : expected) {
        const auto dialog = open(entry.which);
        EXPECT_EQ(dialog->windowTitle(), entry.title);
        QStringList labels;
        for (const QLabel* label : dialog->findChildren<QLabel*>()) {
            labels << label->text();
        }
        EXPECT_EQ(labels, entry.labels) << entry.which;
        EXPECT_EQ(dialog->findChild<QGroupBox*>()->title(), "Properties");
        EXPECT_EQ(dialog->okButton()->text(), "OK");
        EXPECT_TRUE(dialog->okButton()->isDefault());
        EXPECT_EQ(dialog->cancelButton()->text(), "Cancel");
    }
}

TEST_F(SettingsDialogTest, OpeningShowsTheModelAndTheCamerasActualUp) {
    CameraDialog cameraDialog(camera, messages);
    EXPECT_FALSE(cameraDialog.isInitialised());
    cameraDialog.show();
    EXPECT_TRUE(cameraDialog.isInitialised());
    EXPECT_EQ(
        texts(cameraDialog, {"fromX", "fromY", "fromZ", "toX", "toY", "toZ", "upX", "upY", "upZ"}),
        (QStringList{"0", "0", "-10", "0", "0", "0", "0", "1", "0"}));
    EXPECT_EQ(texts(*open("frustum"), {"nearPlane", "farPlane", "planeHeight"}),
              (QStringList{"1", "100", "0.5"}));
    EXPECT_EQ(texts(*open("light"), {"directionX", "directionY", "directionZ", "intensity", "red",
                                     "green", "blue"}),
              (QStringList{"0", "0", "1", "0.8", "10", "20", "30"}));

    // Fifteen significant digits are shown, and OK stores what was shown.
    scene.setAmbient(1.0 / 3.0);
    const auto ambient = open("ambient");
    EXPECT_EQ(editNamed(*ambient, "ambient")->text(), "0.333333333333333");
    ambient->okButton()->click();
    EXPECT_EQ(scene.ambient(), 0.333333333333333);
    EXPECT_TRUE(messages.errors.empty());
}

// Each case types one text into one field of an unchanged dialog and presses OK.
TEST_F(SettingsDialogTest, FieldsAcceptTheirInclusiveRangesAndRefuseTheRest) {
    const char* const kAccepted = "";
    const char* const kNumber = "Please enter a number.";
    const char* const kInteger = "Please enter an integer.";
    const char* const kColour = "Please enter an integer between 0 and 255.";
    const struct {
        const char* which;
        const char* edit;
        const char* text;
        const char* message;
    } cases[] = {
        {"camera", "fromX", "-10000", kAccepted},
        {"camera", "fromY", "10000.5", "Please enter a number between -10000 and 10000."},
        {"camera", "upZ", "1e4", kAccepted},
        {"camera", "toZ", "1.5x", kNumber},
        {"camera", "toZ", "", kNumber},
        {"camera", "toZ", "nan", kNumber},
        {"camera", "toZ", "1e400", kNumber},
        {"frustum", "nearPlane", "0.01", kAccepted},
        {"frustum", "nearPlane", "0.001", "Please enter a number between 0.01 and 10000."},
        {"frustum", "nearPlane", "0", "Please enter a number between 0.01 and 10000."},
        {"frustum", "farPlane", "10000", kAccepted},
        {"frustum", "planeHeight", "10000.001", "Please enter a number between 0.01 and 10000."},
        {"ambient", "ambient", "1", kAccepted},
        {"ambient", "ambient", "0", kAccepted},
        {"ambient", "ambient", "1.0001", "Please enter a number between 0 and 1."},
        {"ambient", "ambient", "-0.0001", "Please enter a number between 0 and 1."},
        {"light", "directionX", "-1000", kAccepted},
        {"light", "directionY", "1000.5", "Please enter a number between -1000 and 1000."},
        {"light", "intensity", "0", kAccepted},
        {"light", "intensity", "1.01", "Please enter a number between 0 and 1."},
        {"light", "red", "255", kAccepted},
        {"light", "green", "255", kAccepted},
        {"light", "blue", "255", kAccepted},
        {"light", "red", "256", kColour},
        {"light", "green", "-1", kColour},
        {"light", "blue", "99999999999999999999", kColour},
        {"light", "red", "abc", kInteger},
        {"light", "blue", "2.5", kInteger},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(std::string(entry.which) + " " + entry.edit + " '" + entry.text + "'");
        messages.errors.clear();
        const auto dialog = open(entry.which);
        typeInto(*dialog, entry.edit, entry.text);
        dialog->okButton()->click();
        if (*entry.message == '\0') {
            EXPECT_TRUE(messages.errors.empty());
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_EQ(dialog->result(), QDialog::Accepted);
        } else {
            ASSERT_EQ(messages.errors.size(), 1u);
            EXPECT_EQ(messages.errors[0], entry.message);
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->focusWidget(), editNamed(*dialog, entry.edit));
        }
    }
}

TEST_F(SettingsDialogTest, ARefusedFieldReachesNoModelObject) {
    const auto dialog = open("light");
    typeInto(*dialog, "directionX", "1");
    typeInto(*dialog, "intensity", "0.1");
    typeInto(*dialog, "red", "300");
    dialog->okButton()->click();
    EXPECT_EQ(light.direction(), Vector(0.0, 0.0, 1.0));
    EXPECT_EQ(light.intensity(), 0.8);
    EXPECT_EQ(light.color(), Color(10, 20, 30));
}

TEST_F(SettingsDialogTest, TheFirstRefusedFieldInExchangeOrderGetsTheFocus) {
    const struct {
        const char* which;
        const char* refused[2];  // the later field in exchange order first
        const char* focused;
    } cases[] = {
        {"camera", {"upZ", "toX"}, "toX"},
        {"camera", {"toZ", "fromZ"}, "fromZ"},
        {"frustum", {"nearPlane", "planeHeight"}, "planeHeight"},
        {"frustum", {"planeHeight", "farPlane"}, "farPlane"},
        {"light", {"red", "blue"}, "blue"},
        {"light", {"green", "intensity"}, "intensity"},
        {"light", {"intensity", "directionZ"}, "directionZ"},
    };
    for (const auto& entry : cases) {
        const auto dialog = open(entry.which);
        typeInto(*dialog, entry.refused[0], "x");
        typeInto(*dialog, entry.refused[1], "x");
        dialog->okButton()->click();
        EXPECT_EQ(dialog->focusWidget(), editNamed(*dialog, entry.focused)) << entry.focused;
    }
}

TEST_F(SettingsDialogTest, AnOutOfRangeModelValueOpensQuietlyAndIsRefusedUntilCorrected) {
    frustum.set(0.001, 100.0, 0.5);
    const auto dialog = open("frustum");
    EXPECT_EQ(editNamed(*dialog, "nearPlane")->text(), "0.001");
    EXPECT_TRUE(messages.errors.empty());

    dialog->okButton()->click();
    EXPECT_EQ(messages.errors.size(), 1u);
    EXPECT_TRUE(dialog->isVisible());

    typeInto(*dialog, "nearPlane", "0.5");
    dialog->okButton()->click();
    EXPECT_EQ(messages.errors.size(), 1u);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(frustum.nearPlane(), 0.5);
}

TEST_F(SettingsDialogTest, CameraAndFrustumHandTheirValuesToSetInOrder) {
    const auto cameraDialog = open("camera");
    typeInto(*cameraDialog, "fromX", "5");
    typeInto(*cameraDialog, "toY", "-2.5");
    cameraDialog->okButton()->click();
    EXPECT_EQ(camera.from(), Vector(5.0, 0.0, -10.0));
    EXPECT_EQ(camera.to(), Vector(0.0, -2.5, 0.0));
    EXPECT_EQ(camera.approxUp(), Vector(0.0, 1.0, 0.0));  // the actual up that was shown

    const auto frustumDialog = open("frustum");
    typeInto(*frustumDialog, "nearPlane", "2");
    typeInto(*frustumDialog, "farPlane", "50");
    typeInto(*frustumDialog, "planeHeight", "1.5");
    frustumDialog->okButton()->click();
    EXPECT_EQ(frustum.nearPlane(), 2.0);
    EXPECT_EQ(frustum.farPlane(), 50.0);
    EXPECT_EQ(frustum.height(), 1.5);
}

TEST_F(SettingsDialogTest, LightTakesANormalisedOrZeroDirectionIntensityAndColour) {
    auto dialog = open("light");
    typeInto(*dialog, "directionX", "3");
    typeInto(*dialog, "directionZ", "-4");
    typeInto(*dialog, "intensity", "0");
    typeInto(*dialog, "green", "255");
    dialog->okButton()->click();
    EXPECT_EQ(light.direction(), Vector(0.6, 0.0, -0.8));
    EXPECT_EQ(light.intensity(), 0.0);
    EXPECT_EQ(light.color(), Color(10, 255, 30));

    dialog = open("light");
    typeInto(*dialog, "directionX", "0");
    typeInto(*dialog, "directionZ", "0");
    dialog->okButton()->click();
    EXPECT_EQ(light.direction(), Vector(0.0, 0.0, 0.0));
    EXPECT_TRUE(messages.errors.empty());
}

}  // namespace
}  // namespace kel
