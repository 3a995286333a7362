// The title scroller's motion and restart, and the CPU read-out's text.
#include <QLocale>

#include "EffectsFixture.h"
#include "effects/CpuText.h"

namespace effects::test {
namespace {

class Scroller : public EffectsFixture {
protected:
    float restartPosition() const { return lbl1->Left() + 7755.0f; }
};

TEST_F(Scroller, TitleLabelLeftReadsInTheStripScale) {
    EXPECT_NEAR(lbl1->Left(), 120.0 * 1.8201163 / 7755.0, 1e-6);
    EXPECT_EQ(Picture2->Width(), kViewportWidth);
    EXPECT_EQ(Picture3->Left(), kStripDesignLeft);
}

TEST_F(Scroller, MovesTwentyTwipsEveryThirtyMilliseconds) {
    startUp();
    clock.advance(30);
    EXPECT_EQ(Picture3->Left(), 7660.0f);
    clock.advance(29);
    EXPECT_EQ(Picture3->Left(), 7660.0f);
    clock.advance(1);
    EXPECT_EQ(Picture3->Left(), 7640.0f);
}

TEST_F(Scroller, RestartsOnThe774thTickAfterARestartWithExactPositions) {
    Picture3->setLeft(-kViewportWidth - 1);
    fx->Timer1_Timer();
    const float restart = restartPosition();
    ASSERT_EQ(Picture3->Left(), restart);
    ASSERT_GT(restart, 7755.0f);
    ASSERT_LT(restart, 7755.1f);

    for (int tick = 1; tick <= 773; ++tick) {
        fx->Timer1_Timer();
        ASSERT_EQ(Picture3->Left(), restart - 20.0f * static_cast<float>(tick)) << tick;
    }
    EXPECT_LT(Picture3->Left(), -kViewportWidth);
    fx->Timer1_Timer();
    EXPECT_EQ(Picture3->Left(), restart); // tick 774: a restart, without a move
}

TEST_F(Scroller, FirstPassFromTheDesignPositionEndsOnThe770thTick) {
    std::vector<std::int64_t> restarts;
    float last = Picture3->Left();
    afterTick = [&](const forms::Timer& t) {
        if (&t != &Timer1) return;
        if (Picture3->Left() > last) restarts.push_back(clock.now());
        last = Picture3->Left();
    };
    startUp();
    clock.advance(30 * (770 + 774) + 15);
    ASSERT_EQ(restarts.size(), 2u);
    EXPECT_EQ(restarts[0], 30 * 770);
    EXPECT_EQ(restarts[1], 30 * (770 + 774));
}

TEST_F(Scroller, RestartsOnlyPastMinusTheViewportWidthAtAPositionIndependentOfTheOld) {
    Picture3->setLeft(-kViewportWidth);
    fx->Timer1_Timer();
    EXPECT_EQ(Picture3->Left(), -kViewportWidth - 20.0f) << "exactly -W moves once more";
    for (float from : {-7715.0f, -7695.001f, -7704.972f, -20000.0f, -1.0e9f}) {
        Picture3->setLeft(from);
        fx->Timer1_Timer();
        EXPECT_EQ(Picture3->Left(), restartPosition()) << from;
    }
}

class CpuReadout : public EffectsFixture {
protected:
    QLocale saved;
    void TearDown() override {
        QLocale::setDefault(saved);
        EffectsFixture::TearDown();
    }
};

struct CpuCase {
    float load;
    const char* point;
    const char* comma;
};

const CpuCase kCpuCases[] = {
    {0.0f, "0.000", "0,000"},
    {1.5f, "1.500", "1,500"},
    {12.3456f, "12.346", "12,346"},
    {0.0004f, "0.000", "0,000"},
    {1.0005f, "1.001", "1,001"},       // binary value is just below the half
    {2.9995f, "3.000", "3,000"},       // the carry runs into the whole part
    {99.99951f, "100.000", "100,000"}, // and adds a digit
    {0.125f, "0.125", "0,125"},
    {7.0625f, "7.063", "7,063"},       // an exact half goes up
    {1234.5f, "1234.500", "1234,500"}, // no grouping separator
    {-0.0001f, "0.000", "0,000"},
};

TEST_F(CpuReadout, FormatsInPointAndCommaLocales) {
    for (QLocale::Language lang : {QLocale::English, QLocale::German, QLocale::Finnish}) {
        QLocale::setDefault(QLocale(lang));
        for (const CpuCase& c : kCpuCases)
            EXPECT_EQ(formatCpuLoad(c.load), lang == QLocale::English ? c.point : c.comma) << c.load;
    }
}

// The locale's separator where the label font has it; the plain one where it has not (Arabic
// and Persian write U+066B, which would show as blanks), and likewise the minus.
TEST_F(CpuReadout, KeepsTheLocalesSeparatorWhereTheFontCanDrawIt) {
    const struct {
        const char* locale;
        const char* separator;
    } kSeparators[] = {
        {"C", "."},
        {"en_US", "."},
        {"de_DE", ","},
        {"tr_TR", ","},
        {"fi_FI", ","},
        {"ar_EG", "."},
        {"ar_SA", "."},
        {"fa_IR", "."},
        {"ps_AF", "."},
        {"ar_MA", ","},
    };
    for (const auto& s : kSeparators) {
        QLocale::setDefault(QLocale(QString::fromLatin1(s.locale)));
        for (const CpuCase& c : kCpuCases) {
            std::string expected = c.point;
            expected.replace(expected.find('.'), 1, s.separator);
            EXPECT_EQ(formatCpuLoad(c.load), expected) << s.locale << " " << c.load;
        }
        EXPECT_EQ(formatCpuLoad(-1.5f), std::string("-1") + s.separator + "500") << s.locale;
    }
}

TEST_F(CpuReadout, EachLabelGetsItsOwnReadingEveryTick) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    library.loads = {1.5f, 12.3456f, 0.0f};
    startUp();
    clock.advance(29);
    EXPECT_EQ(lblCPU->Caption(), "...") << "the design caption stays until the first tick";
    EXPECT_EQ(library.cpuCalls, 0);
    clock.advance(1);
    EXPECT_EQ(library.cpuCalls, 2);
    EXPECT_EQ(lblCPU->Caption(), "1,500");
    EXPECT_EQ(lblCPU2->Caption(), "12,346");
    clock.advance(30);
    EXPECT_EQ(library.cpuCalls, 4);
    EXPECT_EQ(lblCPU->Caption(), "0,000");
    EXPECT_EQ(lblCPU2->Caption(), "0,000");
}

TEST_F(CpuReadout, LibraryFailurePropagatesAfterTheStripMoved) {
    library.failCpu = true;
    EXPECT_THROW(fx->Timer1_Timer(), player::LibraryError);
    EXPECT_EQ(Picture3->Left(), 7660.0f);
    EXPECT_EQ(lblCPU->Caption(), "...");
}

TEST_F(CpuReadout, NonFiniteLoadsStillShowSomething) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_FALSE(formatCpuLoad(std::numeric_limits<float>::infinity()).empty());
    EXPECT_FALSE(formatCpuLoad(std::numeric_limits<float>::quiet_NaN()).empty());
    EXPECT_EQ(formatCpuLoad(3.4e38f).substr(0, 3), "339");
}

} // namespace
} // namespace effects::test
