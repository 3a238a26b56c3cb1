#include "platform/paths.h"

#include "tests/support/printers.h"
#include "tests/support/tempdir.h"

#include <QDir>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace {

// Sets environment variables for one test and puts the old values back.
class Environment {
public:
    void set(const char* name, const QString& value) {
        remember(name);
        qputenv(name, value.toLocal8Bit());
    }
    void unset(const char* name) {
        remember(name);
        qunsetenv(name);
    }
    ~Environment() {
        for (const auto& [name, value] : m_old)
            value ? qputenv(name.c_str(), *value) : qunsetenv(name.c_str());
    }

private:
    void remember(const char* name) {
        if (!m_old.count(name))
            m_old[name] = qEnvironmentVariableIsSet(name) ? std::optional<QByteArray>(qgetenv(name))
                                                          : std::nullopt;
    }
    std::map<std::string, std::optional<QByteArray>> m_old;
};

// A temporary folder standing in for the root: "usr" for the prefix, "home" for $HOME.
class LayoutFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(root.file(QStringLiteral("usr/bin"))));
        ASSERT_TRUE(QDir().mkpath(root.file(QStringLiteral("home"))));
        ASSERT_TRUE(QDir().mkpath(root.file(QStringLiteral("unpacked"))));
        env.set("HOME", root.file(QStringLiteral("home")));
        for (const char* name :
             {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DATA_DIRS"})
            env.unset(name);
    }
    void install() { ASSERT_TRUE(QDir().mkpath(root.file(QStringLiteral("usr/share/sorabi")))); }
    QString r(const char* path) const { return root.file(QString::fromUtf8(path)); }

    TempDir root;
    Environment env;
};

TEST_F(LayoutFixture, PortableKeepsEverythingInTheProgramsFolder) {
    // The build folder or an unpacked copy: no "../share/sorabi" beside the program.
    for (const char* folder : {"unpacked/", "usr/bin/"}) {
        SCOPED_TRACE(folder);
        const auto l = platform::paths::Layout::forProgram(r(folder));
        EXPECT_FALSE(l.installed);
        EXPECT_EQ(l.programFolder, r(folder));
        EXPECT_EQ(l.settingsFile, r(folder) + QStringLiteral("sorabi.ini"));
        EXPECT_EQ(l.deckFolder, r(folder));
        EXPECT_EQ(l.pictureFolders, QStringList{r(folder) + QStringLiteral("pics")});
        EXPECT_EQ(l.strokeTable, r(folder) + QStringLiteral("kanjivg-strokes.qz"));
        EXPECT_EQ(l.sampleDeck, r(folder) + QStringLiteral("sample.sb"));
        // Pictures the program makes never go beside it.
        EXPECT_EQ(l.pictureCache, r("home/.cache/sorabi/pics"));
    }
}

TEST_F(LayoutFixture, InstalledUsesTheUsersFoldersByDefault) {
    install();
    const auto l = platform::paths::Layout::forProgram(r("usr/bin/"));
    EXPECT_TRUE(l.installed);
    EXPECT_EQ(l.settingsFile, r("home/.config/sorabi/sorabi.ini"));
    EXPECT_EQ(l.deckFolder, r("home/.local/share/sorabi/"));
    EXPECT_EQ(l.pictureCache, r("home/.cache/sorabi/pics"));
    EXPECT_EQ(l.strokeTable, r("usr/share/sorabi/kanjivg-strokes.qz"));
    EXPECT_EQ(l.sampleDeck, r("usr/share/sorabi/sample.sb"));
    // The program's own data folder first, then the XDG data folders (user's, then the system's
    // defaults).
    EXPECT_EQ(l.pictureFolders,
              (QStringList{r("usr/share/sorabi/pics"), r("home/.local/share/sorabi/pics"),
                           QStringLiteral("/usr/local/share/sorabi/pics"),
                           QStringLiteral("/usr/share/sorabi/pics")}));
}

TEST_F(LayoutFixture, InstalledFollowsTheXdgVariables) {
    install();
    env.set("XDG_CONFIG_HOME", r("cfg"));
    env.set("XDG_DATA_HOME", r("data"));
    env.set("XDG_CACHE_HOME", r("cache"));
    // The prefix's own share folder among the data folders is looked in once.
    env.set("XDG_DATA_DIRS", r("usr/share") + u':' + r("other"));
    const auto l = platform::paths::Layout::forProgram(r("usr/bin/"));
    EXPECT_EQ(l.settingsFile, r("cfg/sorabi/sorabi.ini"));
    EXPECT_EQ(l.deckFolder, r("data/sorabi/"));
    EXPECT_EQ(l.pictureCache, r("cache/sorabi/pics"));
    EXPECT_EQ(l.pictureFolders, (QStringList{r("usr/share/sorabi/pics"), r("data/sorabi/pics"),
                                             r("other/sorabi/pics")}));
}

} // namespace
