#include <QGuiApplication>
#include <QSettings>
#include <filesystem>

#include "app/app_fixture.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

const fs::path kPackaging = fs::path(KEL_EXAMPLES_DIR) / ".." / "packaging";

// Windows carry the application id, and the desktop entry, metainfo and thumbnailer
// shipped with the program are named by the same id, so the desktop can match them.
class DesktopIdentityTest : public test::AppTest {};

TEST_F(DesktopIdentityTest, TheDesktopFileNameNamesTheShippedEntry) {
    const std::string id = QGuiApplication::desktopFileName().toStdString();
    ASSERT_NE(id.find('.'), std::string::npos) << id;  // reverse-DNS, not a bare name
    EXPECT_EQ(id.substr(0, id.rfind('.')).find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ-"),
              std::string::npos);
    for (const char* suffix : {".desktop", ".metainfo.xml", ".thumbnailer"}) {
        EXPECT_TRUE(fs::exists(kPackaging / (id + suffix))) << id << suffix;
    }
    QSettings entry(QString::fromStdString((kPackaging / (id + ".desktop")).string()),
                    QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    EXPECT_EQ(entry.value(QStringLiteral("Icon")).toString().toStdString(), id);
    EXPECT_EQ(entry.value(QStringLiteral("Exec")).toString(),
              QStringLiteral("kel --open-request %F"));
    // X11 window managers match windows by their class, which Qt takes from the name.
    EXPECT_EQ(entry.value(QStringLiteral("StartupWMClass")).toString(),
              QCoreApplication::applicationName());
}

}  // namespace
}  // namespace kel
