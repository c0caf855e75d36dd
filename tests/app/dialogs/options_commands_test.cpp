#include "app/dialogs/options_commands.h"

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/dialogs/dialog_test_support.h"
#include "app/dialogs/property_sheet.h"
#include "app/dialogs/qt_color_chooser.h"
#include "app/dialogs/settings_dialog.h"
#include "files/kel_doc.h"
#include "model/scene.h"

namespace kel {
namespace {

using test::clickTab;
using test::ModalDriver;
using test::RecordingMessages;
using test::ScriptedColorChooser;
using test::typeInto;

class CountingView : public View {
  public:
    void onUpdate(View* sender, int hint) override {
        ++updates;
        lastSender = sender;
        lastHint = hint;
    }
    int updates = 0;
    View* lastSender = this;
    int lastHint = -1;
};

// One triangle object whose shininess lies beyond the field's range.
constexpr const char* kSceneText =
    "0 0 -10\n0 0 0\n0 1 1\n1 100 0.5\n0.8\n10 20 30\n0 0 2\n0.25\n1\n"
    "triangle.obj\n10 20 30\n1 2 3\n-1 -2 -3\n1 2 3\n0.5\n0.25\n500\n";
constexpr const char* kObjectText = "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1 2\n";

void writeFile(const QString& path, const char* text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

using Command = bool (*)(QWidget*, CKelDoc&, UserMessages&);
constexpr Command kCommands[] = {editCamera, editFrustum, editAmbient, editLight};

void pressOk(QWidget& modal) {
    if (auto* dialog = qobject_cast<SettingsDialog*>(&modal)) {
        dialog->okButton()->click();
    } else {
        qobject_cast<PropertySheet*>(&modal)->okButton()->click();
    }
}

class OptionsCommandsTest : public ::testing::Test {
  protected:
    OptionsCommandsTest() : workingDirectory(QDir::currentPath()), doc(messages) {
        writeFile(folder.filePath("scene.kel"), kSceneText);
        writeFile(folder.filePath("triangle.obj"), kObjectText);
        doc.addView(&view);
    }
    ~OptionsCommandsTest() override { QDir::setCurrent(workingDirectory); }

    void SetUp() override {
        ASSERT_TRUE(doc.onOpenDocument(folder.filePath("scene.kel").toStdString()));
        ASSERT_TRUE(messages.errors.empty());
        scene = doc.scene();
        ASSERT_EQ(scene->objectCount(), 1u);
        scene->setResetVisibility(false);
    }

    void expectUntouched() const {
        EXPECT_FALSE(doc.isModified());
        EXPECT_FALSE(scene->resetVisibility());
        EXPECT_EQ(view.updates, 0);
    }
    // One update of every view, no sender and hint 0, and the document marked modified.
    void expectEdited() const {
        EXPECT_TRUE(doc.isModified());
        EXPECT_TRUE(scene->resetVisibility());
        EXPECT_EQ(view.updates, 1);
        EXPECT_EQ(view.lastSender, nullptr);
        EXPECT_EQ(view.lastHint, 0);
    }

    QString workingDirectory;
    QTemporaryDir folder;
    RecordingMessages messages;
    ScriptedColorChooser chooser;
    CountingView view;
    CKelDoc doc;
    Scene* scene = nullptr;
};

TEST(OptionsCommandsWithoutScene, OpenNothingAndChangeNothing) {
    RecordingMessages messages;
    CountingView view;
    CKelDoc doc(messages);
    doc.addView(&view);
    const ModalDriver driver([](QWidget& modal) { modal.close(); });
    for (const Command command : kCommands) {
        EXPECT_FALSE(command(nullptr, doc, messages));
    }
    EXPECT_FALSE(driver.ran());
    EXPECT_EQ(view.updates, 0);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(OptionsCommandsTest, OkWithoutEditsStillUpdatesEveryViewAndMarksModified) {
    int expectedUpdates = 0;
    for (const Command command : kCommands) {
        const ModalDriver driver(pressOk);
        EXPECT_TRUE(command(nullptr, doc, messages));
        EXPECT_TRUE(driver.ran());
        EXPECT_EQ(view.updates, ++expectedUpdates);
        EXPECT_EQ(view.lastSender, nullptr);
        EXPECT_EQ(view.lastHint, 0);
        EXPECT_TRUE(doc.isModified());
        EXPECT_TRUE(scene->resetVisibility());
        doc.setModified(false);
    }
    // The up row showed the actual up, which is now the camera's approximate up.
    EXPECT_EQ(scene->camera()->approxUp(), Vector(0.0, 1.0, 0.0));
    EXPECT_EQ(scene->frustum()->nearPlane(), 1.0);
    EXPECT_EQ(scene->light()->color(), Color(10, 20, 30));
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(OptionsCommandsTest, IdenticalCameraPointsKeepTheCameraYetMarkModified) {
    const ModalDriver driver([](QWidget& modal) {
        typeInto(modal, "toZ", "-10");
        typeInto(modal, "upX", "1");
        pressOk(modal);
    });
    EXPECT_TRUE(editCamera(nullptr, doc, messages));
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0], "Camera to and from points can not be identical.");
    EXPECT_EQ(scene->camera()->to(), Vector(0.0, 0.0, 0.0));
    EXPECT_EQ(scene->camera()->approxUp(), Vector(0.0, 1.0, 1.0));
    expectEdited();
}

TEST_F(OptionsCommandsTest, FrustumStaysOpenOnARefusedFieldThenRefusesNearNotBeforeFar) {
    bool stayedOpen = false;
    const ModalDriver driver([&stayedOpen](QWidget& modal) {
        typeInto(modal, "nearPlane", "0.001");
        pressOk(modal);
        stayedOpen = modal.isVisible();
        typeInto(modal, "nearPlane", "5");
        typeInto(modal, "farPlane", "5");
        pressOk(modal);
    });
    EXPECT_TRUE(editFrustum(nullptr, doc, messages));
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(messages.errors.size(), 2u);
    EXPECT_EQ(messages.errors[0], "Please enter a number between 0.01 and 10000.");
    EXPECT_EQ(messages.errors[1], "Frustum near plane must be less than far plane.");
    EXPECT_EQ(scene->frustum()->nearPlane(), 1.0);
    EXPECT_EQ(scene->frustum()->farPlane(), 100.0);
    expectEdited();
}

TEST_F(OptionsCommandsTest, CancelChangesNothingAtAll) {
    const char* const edits[] = {"fromX", "nearPlane", "ambient", "red"};
    for (int i = 0; i < 4; ++i) {
        const ModalDriver driver([edit = edits[i]](QWidget& modal) {
            typeInto(modal, edit, "0.02");
            qobject_cast<SettingsDialog*>(&modal)->cancelButton()->click();
        });
        EXPECT_FALSE(kCommands[i](nullptr, doc, messages)) << edits[i];
        EXPECT_TRUE(driver.ran());
    }
    SceneObject& object = *scene->object(0);
    const ModalDriver driver([](QWidget& modal) {
        typeInto(modal, "rotateX", "45");
        qobject_cast<PropertySheet*>(&modal)->cancelButton()->click();
    });
    EXPECT_FALSE(editObjectProperties(nullptr, doc, object, messages, chooser));

    EXPECT_EQ(scene->camera()->from(), Vector(0.0, 0.0, -10.0));
    EXPECT_EQ(scene->frustum()->nearPlane(), 1.0);
    EXPECT_EQ(scene->ambient(), 0.25);
    EXPECT_EQ(scene->light()->color(), Color(10, 20, 30));
    EXPECT_EQ(object.rotation(), Vector(10.0, 20.0, 30.0));
    EXPECT_TRUE(messages.errors.empty());
    expectUntouched();
}

TEST_F(OptionsCommandsTest, PropertySheetOkWithoutEditsWritesBackAndRecomposesTheTransform) {
    SceneObject& object = *scene->object(0);
    object.setScaling({2.0, 2.0, 2.0});  // behind the transform's back
    QString caption;
    const ModalDriver driver([&caption](QWidget& modal) {
        caption = modal.windowTitle();
        pressOk(modal);
    });
    EXPECT_TRUE(editObjectProperties(nullptr, doc, object, messages, chooser));
    EXPECT_EQ(caption, "triangle.obj");

    SceneObject expected(1);
    expected.setRotation({10.0, 20.0, 30.0});
    expected.setScaling({2.0, 2.0, 2.0});
    expected.setTranslation({-1.0, -2.0, -3.0});
    expected.computeModelingTransform();
    for (std::size_t r = 0; r < 4; ++r) {
        EXPECT_EQ(object.modelingTransform().row(r), expected.modelingTransform().row(r)) << r;
    }
    // Pages never shown give back the object's own values, out of range or not.
    EXPECT_EQ(object.diffuse(), 0.5);
    EXPECT_EQ(object.specular(), 0.25);
    EXPECT_EQ(object.shininess(), 500);
    EXPECT_EQ(object.color(), Color(1, 2, 3));
    expectEdited();
}

TEST_F(OptionsCommandsTest, PropertySheetWritesTheEditsOfEveryPage) {
    SceneObject& object = *scene->object(0);
    chooser.answer = {7, 8, 9};
    const ModalDriver driver([](QWidget& modal) {
        QTabWidget& tabs = *qobject_cast<PropertySheet*>(&modal)->tabs();
        typeInto(modal, "translateX", "5");
        typeInto(modal, "scaleY", "0");
        clickTab(tabs, 1);
        typeInto(modal, "diffuse", "0.9");
        typeInto(modal, "specular", "0");
        typeInto(modal, "shininess", "7");
        clickTab(tabs, 2);
        modal.findChild<QPushButton*>("chooseColors")->click();
        typeInto(modal, "blue", "200");
        pressOk(modal);
    });
    EXPECT_TRUE(editObjectProperties(nullptr, doc, object, messages, chooser));
    EXPECT_TRUE(messages.errors.empty());
    EXPECT_EQ(object.translation(), Vector(5.0, -2.0, -3.0));
    EXPECT_EQ(object.scaling(), Vector(1.0, 0.0, 3.0));
    EXPECT_EQ(object.diffuse(), 0.9);
    EXPECT_EQ(object.specular(), 0.0);
    EXPECT_EQ(object.shininess(), 7);
    EXPECT_EQ(object.color(), Color(7, 8, 200));
    expectEdited();
}

TEST(QtColorChooserTest, ReturnsTheConfirmedColourAndKeepsTheOldOneOnCancel) {
    QtColorChooser chooser;
    std::uint8_t red = 10;
    std::uint8_t green = 20;
    std::uint8_t blue = 30;
    QColor offered;
    const auto answer = [&offered](bool confirm) {
        return [&offered, confirm](QWidget& modal) {
            auto* dialog = qobject_cast<QColorDialog*>(&modal);
            ASSERT_NE(dialog, nullptr);
            offered = dialog->currentColor();
            dialog->setCurrentColor(QColor(200, 100, 50));
            confirm ? dialog->accept() : dialog->reject();
        };
    };
    {
        const ModalDriver driver(answer(true));
        EXPECT_TRUE(chooser.chooseColor(red, green, blue));
    }
    EXPECT_EQ(offered, QColor(10, 20, 30));
    EXPECT_EQ((std::array<std::uint8_t, 3>{red, green, blue}),
              (std::array<std::uint8_t, 3>{200, 100, 50}));
    red = 1;
    const ModalDriver driver(answer(false));
    EXPECT_FALSE(chooser.chooseColor(red, green, blue));
    EXPECT_EQ(red, 1);
    EXPECT_EQ(offered, QColor(1, 100, 50));
}

}  // namespace
}  // namespace kel
