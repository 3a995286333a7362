#include <string>
#include <vector>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include "MainWindowFixture.h"

namespace mainwindowtest {
namespace {

struct Row {
    const char* name;
    const char* parent;
    char kind; // 'P' picture, 'L' label
    float left, top, width, height;
    QRect pixels;
};

// Children of each container, front to back, as the window is built.
const std::vector<Row> kLayout = {
    {"MainSkin", "frmMain", 'P', 0, 0, 7845, 7500, {0, 0, 523, 500}},
    {"btnPrev", "MainSkin", 'P', 3690, 6795, 510, 285, {246, 453, 34, 19}},
    {"btnPlay", "MainSkin", 'P', 4350, 6795, 495, 285, {290, 453, 33, 19}},
    {"btnNext", "MainSkin", 'P', 4995, 6795, 600, 285, {333, 453, 40, 19}},
    {"btnStop", "MainSkin", 'P', 5745, 6795, 510, 285, {383, 453, 34, 19}},
    {"btnInfo", "MainSkin", 'P', 6405, 6795, 510, 285, {427, 453, 34, 19}},
    {"btnExit", "MainSkin", 'P', 7065, 6795, 555, 285, {471, 453, 37, 19}},
    {"btnExit_org", "MainSkin", 'P', 7065, 6795, 555, 285, {471, 453, 37, 19}},
    {"btnInfo_org", "MainSkin", 'P', 6405, 6795, 510, 285, {427, 453, 34, 19}},
    {"btnStop_org", "MainSkin", 'P', 5745, 6795, 510, 285, {383, 453, 34, 19}},
    {"btnNext_org", "MainSkin", 'P', 4995, 6795, 600, 285, {333, 453, 40, 19}},
    {"btnPlay_org", "MainSkin", 'P', 4350, 6795, 495, 285, {290, 453, 33, 19}},
    {"btnPrev_org", "MainSkin", 'P', 3690, 6795, 510, 285, {246, 453, 34, 19}},
    {"Picture2", "MainSkin", 'P', 60, 0, 7695, 315, {4, 0, 513, 21}},
    {"Picture3", "Picture2", 'P', 7680, 60, 7755, 240, {512, 4, 517, 16}},
    {"lblTrackNro", "MainSkin", 'L', 1320, 6600, 615, 135, {88, 440, 41, 9}},
    {"lblTrackNro2", "MainSkin", 'L', 1350, 6615, 615, 135, {90, 441, 41, 9}},
    {"Label1", "MainSkin", 'L', 120, 6600, 1215, 495, {8, 440, 81, 33}},
    {"lblInfos", "MainSkin", 'L', 150, 6630, 1215, 495, {10, 442, 81, 33}},
    {"lblCPU", "MainSkin", 'L', 1320, 6960, 615, 135, {88, 464, 41, 9}},
    {"lblTime", "MainSkin", 'L', 1320, 6840, 615, 135, {88, 456, 41, 9}},
    {"lblOrgTime", "MainSkin", 'L', 1320, 6720, 615, 135, {88, 448, 41, 9}},
    {"lblOrgTime2", "MainSkin", 'L', 1350, 6735, 615, 135, {90, 449, 41, 9}},
    {"lblCPU2", "MainSkin", 'L', 1335, 6990, 615, 135, {89, 466, 41, 9}},
    {"lblTime2", "MainSkin", 'L', 1335, 6870, 615, 135, {89, 458, 41, 9}},
};

std::vector<Row> fullLayout() {
    std::vector<Row> rows = kLayout;
    for (int k = 16; k >= 0; --k)
        rows.push_back({nullptr, "MainSkin", 'L', 3720, 3600.0f + 120 * k, 135, 135, {248, 240 + 8 * k, 9, 9}});
    rows.push_back({"lblModList", "MainSkin", 'L', 3840, 3360, 2655, 135, {256, 224, 177, 9}});
    for (int k = 16; k >= 0; --k)
        rows.push_back({nullptr, "MainSkin", 'L', 3840, 3600.0f + 120 * k, 2655, 135, {256, 240 + 8 * k, 177, 9}});
    rows.push_back({"lbl2", "MainSkin", 'L', 75, 7230, 7650, 195, {5, 482, 510, 13}});
    rows.push_back({"ModListShadow", "MainSkin", 'L', 3870, 3390, 2655, 135, {258, 226, 177, 9}});
    rows.push_back({"TuneShadows", "MainSkin", 'L', 3870, 3510, 3015, 2415, {258, 234, 201, 161}});
    return rows;
}

std::string rowName(const Row& r, int index) {
    if (r.name) return r.name;
    // Unnamed rows: markers c17..c1 (indices 25..41) and titles Tune16..Intro (43..59).
    if (index >= 25 && index < 42) return "c" + std::to_string(42 - index);
    const int k = 59 - index;
    return k == 0 ? "Intro" : "Tune" + std::to_string(k);
}

using Layout = MainWindowFixture;

TEST_F(Layout, EveryControlHasItsParentPlaceSizeAndStackingOrder) {
    auto& w = *window;
    EXPECT_EQ(w.form().size(), QSize(520, 498));
    EXPECT_EQ(w.form().windowTitle(), QString("Form1"));
    EXPECT_TRUE(w.form().windowFlags() & Qt::FramelessWindowHint);

    const auto rows = fullLayout();
    // Expected front-to-back order per container, pictures and labels separately.
    std::map<std::string, std::vector<std::string>> pictures, labels;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        const std::string name = rowName(r, static_cast<int>(i));
        SCOPED_TRACE(name);
        forms::Control* c = w.form().findControl(name);
        ASSERT_NE(c, nullptr);
        const std::string parent = c->container()->containerName();
        EXPECT_EQ(parent, r.parent);
        EXPECT_FLOAT_EQ(c->Left(), r.left);
        EXPECT_FLOAT_EQ(c->Top(), r.top);
        EXPECT_FLOAT_EQ(c->Width(), r.width);
        EXPECT_FLOAT_EQ(c->Height(), r.height);
        EXPECT_EQ(c->pixelRect(), r.pixels);
        EXPECT_EQ(dynamic_cast<forms::Label*>(c) != nullptr, r.kind == 'L');
        (r.kind == 'P' ? pictures : labels)[parent].push_back(name);
    }
    auto names = [](const auto& list) {
        std::vector<std::string> out;
        for (auto* c : list) out.push_back(c->name());
        return out;
    };
    EXPECT_EQ(names(controls(w).MainSkin->pictures()), pictures["MainSkin"]);
    EXPECT_EQ(names(controls(w).MainSkin->labels()), labels["MainSkin"]);
    EXPECT_EQ(names(controls(w).Picture2->pictures()), pictures["Picture2"]);

    // The title label sits in the strip's own scale.
    EXPECT_NEAR(controls(w).lbl1->Left(), 0.0282, 0.0001);
    EXPECT_EQ(controls(w).lbl1->pixelRect(), QRect(8, 2, 941, 13));
    EXPECT_FLOAT_EQ(controls(w).Picture3->Left(), 7680.0f);
    // What Qt actually stacks: the lit image lies in front of its resting twin.
    EXPECT_EQ(controls(w).MainSkin->receiverAt({250, 460}), "btnPrev");
}

TEST_F(Layout, CaptionsAndColoursAsCreated) {
    auto& w = *window;
    EXPECT_EQ(controls(w).Label1->Caption(), "Track Number\r\nTrack Time\r\nTime Elapsed\r\nCPU Usage");
    EXPECT_EQ(controls(w).lblInfos->Caption(), controls(w).Label1->Caption());
    EXPECT_EQ(controls(w).Label1->ForeColor(), 0x0040C0u);
    EXPECT_EQ(controls(w).lblTrackNro->ForeColor(), 0x0000C0u);
    EXPECT_EQ(controls(w).lblTrackNro2->ForeColor(), 0u);
    EXPECT_EQ(controls(w).lblModList->Caption(), "-- ModList --\r\n\r\n");
    EXPECT_EQ(controls(w).TuneShadows->Caption(),
        "\rHarbour of Glass\r\nMoonwalker Drift\r\nQuiet Engines\r\nRust\r\nLow Orbit\r\n"
        "Tie your laces tight\r\nThe Long Tide\r\nUndertow\r\nPoker Under Saturn\r\n"
        "Arrival: Far Shore\r\nThe Evenings of Deimos\r\n/Gliding Past Noon/\r\n"
        "Iron Age Courier\r\nTheSongsOfMySleep\r\n<flicker>\r\nPapa Was A Lamp Lighter\r\n"
        "Ikkunanpesukone");
    // Every shadow line lies under its title, 30 twips right and down.
    const auto lines = controls(w).TuneShadows->layoutLines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], "");
    for (int k = 0; k < 17; ++k) {
        EXPECT_EQ(lines[k + 1], controls(w).tunes[k]->Caption());
        EXPECT_EQ(controls(w).TuneShadows->pixelRect().top() + 8 * (k + 1),
            controls(w).tunes[k]->pixelRect().top() + 2);
    }
    EXPECT_TRUE(controls(w).lbl2->Opaque());
    EXPECT_EQ(controls(w).lbl2->Alignment(), forms::Label::Align::Center);
    EXPECT_EQ(controls(w).lbl2->Caption(), "");
    EXPECT_EQ(controls(w).lbl1->Caption(), "...");
    EXPECT_EQ(controls(w).MainSkin->picture().size(), QSize(520, 499));
    EXPECT_EQ(controls(w).exit.lit->picture().size(), QSize(37, 19));
}

// The window as first shown, pixel for pixel. Set VELSMOOR_UPDATE_GOLDEN=1 to rewrite the
// reference after a deliberate change of the artwork, the font or the layout.
TEST_F(Layout, FirstShownWindowMatchesTheGoldenImage) {
    startUp();
    const qreal dpr = window->form().devicePixelRatioF();
    QImage shot = window->form().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString golden = QStringLiteral(VELSMOOR_GOLDEN_DIR "/main_window.png");
    if (qEnvironmentVariableIntValue("VELSMOOR_UPDATE_GOLDEN") && dpr == 1.0) {
        ASSERT_TRUE(shot.save(golden));
        GTEST_SKIP() << "golden image rewritten";
    }
    QImage expected = QImage(golden).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "no golden image at " << golden.toStdString();
    // At a device pixel ratio of 2 every pixel becomes a 2 x 2 block, with no blur.
    expected = expected.scaled(expected.size() * dpr, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    ASSERT_EQ(shot.size(), expected.size());

    QImage diff(shot.size(), QImage::Format_RGB32);
    int bad = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const bool same = shot.pixel(x, y) == expected.pixel(x, y);
            bad += !same;
            diff.setPixel(x, y, same ? qRgb(qGray(shot.pixel(x, y)) / 4, 0, 0) | 0xFF000000 : qRgb(255, 255, 0));
        }
    if (bad) {
        const QString out = QDir::current().absoluteFilePath(QStringLiteral("main_window_diff_x%1.png").arg(dpr));
        diff.save(out);
        shot.save(QDir::current().absoluteFilePath(QStringLiteral("main_window_actual_x%1.png").arg(dpr)));
        ADD_FAILURE() << bad << " pixels differ; differing pixels are yellow in " << out.toStdString();
    }
}

} // namespace
} // namespace mainwindowtest
