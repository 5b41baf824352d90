// The sprite sheet and its JSON: the grid, the scale, each frame's rectangle and
// duration; the export menu test writes them.
#include "app/sheet_export.h"
#include "support/package_folder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using namespace sample;

QJsonObject jsonOf(const std::string& text)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

class SheetExportTest : public PackageTest {
protected:
    AnimeClip play(const std::vector<std::string>& animeLines, int32_t anime)
    {
        chr.load(writeSampleDefinition(animeLines));
        return playClip(chr, display, anime);
    }

    OffscreenDisplay display;
    Tqpchr chr{&display.dddd()};
};

TEST_F(SheetExportTest, GridOfScaledFramesAndTheirRectangles)
{
    const AnimeClip clip = play({"#ANIME 70", "#PATERN 01 02030402"}, 1);
    ASSERT_EQ(clip.frames.size(), 4u);
    // x, y: each frame's place in frame sizes. Nine columns asked for four frames make no empty columns.
    const struct {
        int32_t scale, columns;
        int width, height;
        std::array<int, 4> x, y;
    } cases[] = {{1, 4, 32, 271, {0, 1, 2, 3}, {0, 0, 0, 0}},
                 {2, 3, 48, 1084, {0, 1, 2, 0}, {0, 0, 0, 1}},
                 {1, 9, 32, 271, {0, 1, 2, 3}, {0, 0, 0, 0}}};
    const uint32_t cells[] = {red, green, yellow, red};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << c.scale << ", " << c.columns << " columns");
        const Sheet sheet = makeSheet(clip, c.scale, c.columns, "walk.png");
        EXPECT_EQ(sheet.picture.size(), QSize(c.width, c.height));
        const QJsonObject json = jsonOf(sheet.json);
        const QJsonArray frames = json["frames"].toArray();
        ASSERT_EQ(frames.size(), 4);
        const int w = viewWidth * c.scale, h = viewHeight * c.scale;
        for (size_t i = 0; i < 4; ++i) {
            const QJsonObject frame = frames[static_cast<int>(i)].toObject();
            const int x0 = c.x[i] * w, y0 = c.y[i] * h;
            EXPECT_EQ(frame["frame"].toObject(), (QJsonObject{{"x", x0}, {"y", y0}, {"w", w}, {"h", h}})) << i;
            EXPECT_EQ(frame["duration"].toInt(), 70);
            EXPECT_EQ(frame["filename"].toString(), QString::asprintf("frame%04zu.png", i + 1));
            // Every pixel of the frame's rectangle is the frame's pixel scaled.
            const auto expected = view(cells[i]);
            int wrong = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    wrong += (sheet.picture.pixel(x0 + x, y0 + y) & 0xFFFFFFu) !=
                             expected[static_cast<size_t>(y / c.scale * viewWidth + x / c.scale)];
            EXPECT_EQ(wrong, 0) << i;
        }
        const QJsonObject meta = json["meta"].toObject();
        EXPECT_EQ(meta["size"].toObject(), (QJsonObject{{"w", c.width}, {"h", c.height}}));
        EXPECT_EQ(meta["scale"].toString(), QString::number(c.scale));
    }
    // The cells of a partly filled last row stay black.
    EXPECT_EQ(makeSheet(clip, 2, 3, "walk.png").picture.pixel(47, 1083) & 0xFFFFFFu, 0u);
}

}  // namespace
