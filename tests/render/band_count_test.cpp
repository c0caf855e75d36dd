#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/kel_doc.h"
#include "platform/user_messages.h"
#include "render/image_surface.h"
#include "render/render_mode.h"
#include "render/scanline_renderer.h"

namespace kel {
namespace {

class NoMessages : public UserMessages {
public:
    void showError(const std::string& text) override { ADD_FAILURE() << text; }
    bool askYesNo(const std::string& text) override {
        ADD_FAILURE() << text;
        return false;
    }
};

// The viewport's rows are shared out to bands drawn at the same time; however many there
// are, and however often the scene is painted, every pixel comes out the same.
TEST(BandCountTest, EveryBandCountAndRepeatedPaintGiveTheSameImage) {
    for (const std::string name : {"cube", "clipping", "room"}) {
        for (const RenderMode mode : {RenderMode::Gouraud, RenderMode::Phong}) {
            const std::filesystem::path cwd = std::filesystem::current_path();
            NoMessages messages;
            CKelDoc document(messages);
            ASSERT_TRUE(
                document.onOpenDocument(std::string(KEL_EXAMPLES_DIR) + "/" + name + ".kel"));
            std::filesystem::current_path(cwd);
            applyViewState(*document.scene(), mode, false);
            auto pipeline = makePipeline(mode);
            auto* scanline = dynamic_cast<ScanlineRenderer*>(pipeline->renderer());
            ASSERT_NE(scanline, nullptr);
            scanline->setBandCount(1);
            // Tall enough for eight bands of two row blocks each.
            ImageSurface serial(560, 560);
            pipeline->run(serial, *document.scene());
            for (const int bands : {2, 3, 8, 1}) {
                scanline->setBandCount(bands);
                ImageSurface banded(560, 560);
                pipeline->run(banded, *document.scene());
                EXPECT_TRUE(banded.pixels() == serial.pixels())
                    << name << " " << renderModeName(mode) << " " << bands << " bands";
            }
        }
    }
}

}  // namespace
}  // namespace kel
