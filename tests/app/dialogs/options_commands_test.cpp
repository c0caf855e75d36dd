#include "app/dialogs/options_commands.h"

#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <fstream>
#include <functional>

#include "app/dialogs/dialog_test_support.h"
#include "app/dialogs/property_sheet.h"
#include "files/kel_doc.h"
#include "model/scene.h"

namespace kel {
namespace {

using test::ModalDriver;
using test::press;
using test::typeInto;

class CountingView : public View {
public:
    void onUpdate(View* sender, int hint) override {
        ++updates;
        senderAndHintOk = sender == nullptr && hint == 0;
    }
    int updates = 0;
    bool senderAndHintOk = false;
};

auto* const pressOk = +[](QWidget& modal) { press(modal, "OK"); };

// One triangle object whose shininess lies beyond the field's range.
class OptionsCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(folder.filePath("scene.kel").toStdString())
            << "0 0 -10\n0 0 0\n0 1 1\n1 100 0.5\n0.8\n10 20 30\n0 0 2\n0.25\n1\n"
               "triangle.obj\n10 20 30\n1 2 3\n-1 -2 -3\n1 2 3\n0.5\n0.25\n500\n";
        std::ofstream(folder.filePath("triangle.obj").toStdString())
            << "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1 2\n";
        doc.addView(&view);
        ASSERT_TRUE(doc.onOpenDocument(folder.filePath("scene.kel").toStdString()));
        scene = doc.scene();
        ASSERT_EQ(scene->objectCount(), 1u);
        scene->setResetVisibility(false);
    }
    void TearDown() override { QDir::setCurrent(workingDirectory); }

    // Every view updated once with no sender and hint 0, and the document modified.
    void expectEdited(int updates = 1) const {
        EXPECT_TRUE(doc.isModified());
        EXPECT_TRUE(scene->resetVisibility());
        EXPECT_EQ(view.updates, updates);
        EXPECT_TRUE(view.senderAndHintOk);
    }

    // Each command with a field its dialog shows first.
    std::vector<std::pair<const char*, std::function<bool()>>> commands() {
        return {{"fromX", [this] { return editCamera(nullptr, doc, messages); }},
                {"nearPlane", [this] { return editFrustum(nullptr, doc, messages); }},
                {"ambient", [this] { return editAmbient(nullptr, doc, messages); }},
                {"red", [this] { return editLight(nullptr, doc, messages); }},
                {"rotateX", [this] {
                     return editObjectProperties(nullptr, doc, *scene->object(0), messages,
                                                 chooser);
                 }}};
    }

    QString workingDirectory = QDir::currentPath();
    QTemporaryDir folder;
    test::FakeMessages messages;
    test::ScriptedColorChooser chooser;
    CountingView view;
    CKelDoc doc{messages};
    Scene* scene = nullptr;
};

// Each command is cancelled with a field changed, then confirmed without edits.
TEST_F(OptionsCommandsTest, CancelChangesNothingAndOkWithoutEditsKeepsValuesYetMarksModified) {
    int updates = 0;
    for (const auto& [edit, command] : commands()) {
        SCOPED_TRACE(edit);
        {
            const ModalDriver driver([edit = edit](QWidget& modal) {
                typeInto(modal, edit, "0.02");
                press(modal, "Cancel");
            });
            EXPECT_FALSE(command());
            EXPECT_TRUE(driver.ran());
            EXPECT_FALSE(doc.isModified());
            EXPECT_FALSE(scene->resetVisibility());
            EXPECT_EQ(view.updates, updates);
        }
        const ModalDriver driver(pressOk);
        EXPECT_TRUE(command());
        EXPECT_TRUE(driver.ran());
        expectEdited(++updates);
        doc.setModified(false);
        scene->setResetVisibility(false);
    }
    EXPECT_EQ(scene->camera()->from(), Vector(0.0, 0.0, -10.0));
    EXPECT_EQ(scene->frustum()->nearPlane(), 1.0);
    EXPECT_EQ(scene->ambient(), 0.25);
    EXPECT_EQ(scene->light()->color(), Color(10, 20, 30));
    EXPECT_EQ(scene->object(0)->rotation(), Vector(10.0, 20.0, 30.0));
    // The up row showed the actual up, which is now the camera's approximate up.
    EXPECT_EQ(scene->camera()->approxUp(), Vector(0.0, 1.0, 0.0));
    // Pages never shown give back the object's own values, out of range or not.
    EXPECT_EQ(scene->object(0)->shininess(), 500);
    EXPECT_TRUE(messages.errors.empty());
}

TEST_F(OptionsCommandsTest, CrossFieldRefusalsKeepTheModelYetMarkModified) {
    {
        const ModalDriver driver([](QWidget& modal) {
            typeInto(modal, "toZ", "-10");
            typeInto(modal, "upX", "1");
            pressOk(modal);
        });
        EXPECT_TRUE(editCamera(nullptr, doc, messages));
    }
    const ModalDriver driver([](QWidget& modal) {
        typeInto(modal, "nearPlane", "0.001");
        pressOk(modal);
        EXPECT_TRUE(modal.isVisible());  // a refused field keeps the dialog open
        typeInto(modal, "nearPlane", "5");
        typeInto(modal, "farPlane", "5");
        pressOk(modal);
    });
    EXPECT_TRUE(editFrustum(nullptr, doc, messages));
    EXPECT_EQ(messages.errors,
              (std::vector<std::string>{"Camera to and from points can not be identical.",
                                        "Please enter a number between 0.01 and 10000.",
                                        "Frustum near plane must be less than far plane."}));
    EXPECT_EQ(scene->camera()->to(), Vector(0.0, 0.0, 0.0));
    EXPECT_EQ(scene->camera()->approxUp(), Vector(0.0, 1.0, 1.0));
    EXPECT_EQ(scene->frustum()->nearPlane(), 1.0);
    EXPECT_EQ(scene->frustum()->farPlane(), 100.0);
    expectEdited(2);
}

TEST_F(OptionsCommandsTest, PropertySheetWritesShownPagesAndRecomposesTheTransform) {
    SceneObject& object = *scene->object(0);
    object.setScaling({2.0, 2.0, 2.0});  // behind the transform's back
    const ModalDriver driver([](QWidget& modal) {
        EXPECT_EQ(modal.windowTitle(), "triangle.obj");
        typeInto(modal, "translateX", "5");
        qobject_cast<PropertySheet*>(&modal)->tabs()->setCurrentIndex(1);
        typeInto(modal, "diffuse", "0.9");
        typeInto(modal, "shininess", "7");
        pressOk(modal);
    });
    EXPECT_TRUE(editObjectProperties(nullptr, doc, object, messages, chooser));
    EXPECT_TRUE(messages.errors.empty());
    SceneObject expected(1);
    expected.setRotation({10.0, 20.0, 30.0});
    expected.setScaling({2.0, 2.0, 2.0});
    expected.setTranslation({5.0, -2.0, -3.0});
    expected.computeModelingTransform();
    for (std::size_t r = 0; r < 4; ++r) {
        EXPECT_EQ(object.modelingTransform().row(r), expected.modelingTransform().row(r)) << r;
    }
    EXPECT_EQ(object.diffuse(), 0.9);
    EXPECT_EQ(object.specular(), 0.25);
    EXPECT_EQ(object.shininess(), 7);
    EXPECT_EQ(object.color(), Color(1, 2, 3));  // a page never shown gives back the object's
    expectEdited();
}

}  // namespace
}  // namespace kel
