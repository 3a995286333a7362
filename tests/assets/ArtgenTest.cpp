// The committed assets are exactly what the artwork generator draws, run after run.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

TEST(Artgen, RegeneratesTheCommittedAssetsByteForByte) {
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess artgen;
    artgen.start(ARTGEN_PATH, {"--out", out.path()});
    ASSERT_TRUE(artgen.waitForFinished(60000));
    ASSERT_EQ(artgen.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(artgen.exitCode(), 0) << artgen.readAllStandardError().toStdString();
    EXPECT_TRUE(artgen.readAllStandardError().isEmpty());

    const QStringList drawn = QDir(out.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(drawn.size(), 24);
    for (const QString& name : drawn) {
        QFile fresh(out.filePath(name)), committed(QDir(ASSETS_SOURCE_DIR).filePath(name));
        ASSERT_TRUE(fresh.open(QIODevice::ReadOnly) && committed.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = fresh.readAll();
        EXPECT_FALSE(bytes.isEmpty()) << name.toStdString();
        EXPECT_TRUE(bytes == committed.readAll())
            << name.toStdString() << " differs from assets/: run the `artwork` target and commit";
    }
}

TEST(Artgen, RejectsUnknownArguments) {
    QProcess artgen;
    artgen.start(ARTGEN_PATH, {"--bogus", "x"});
    ASSERT_TRUE(artgen.waitForFinished(10000));
    EXPECT_NE(artgen.exitCode(), 0);
}

} // namespace
