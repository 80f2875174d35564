#include "platform/linux/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vetorlan {
namespace {

// Points XDG_CONFIG_HOME at a temporary folder for one test.
class XdgAutostartTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = qgetenv("XDG_CONFIG_HOME");
        hadPrevious_ = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path() + "/cfg"));
    }
    void TearDown() override {
        if (hadPrevious_)
            qputenv("XDG_CONFIG_HOME", previous_);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    QString entryPath() const { return config_.path() + "/cfg/autostart/Vetorlan.desktop"; }
    QString readEntry() const {
        QFile f(entryPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir config_;
    QByteArray previous_;
    bool hadPrevious_ = false;
    XdgAutostartStore store_;
};

// A string value as a desktop reads it.
QString unescapeString(const QString& value) {
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const QChar c = value[++i];
            unescaped += c == u'n' ? QChar(u'\n') : c == u't' ? QChar(u'\t') : c == u'r' ? QChar(u'\r') : c;
        } else {
            unescaped += value[i];
        }
    }
    return unescaped;
}

// Undoes the Exec quoting as a desktop reads it: string escapes, then the quoted argument.
QString unquoteExec(const QString& value) {
    QString unescaped = unescapeString(value);
    unescaped.replace(QStringLiteral("%%"), QStringLiteral("%"));
    if (!unescaped.startsWith(u'"'))
        return unescaped;
    QString arg;
    for (qsizetype i = 1; i + 1 < unescaped.size(); ++i) {
        if (unescaped[i] == u'\\')
            ++i;
        arg += unescaped[i];
    }
    return arg;
}

TEST_F(XdgAutostartTest, WritesAValidEntryAndCreatesTheFolder) {
    store_.SetAutorunValue("Vetorlan", "/opt/vetorlan/nimbora");
    const QStringList lines = readEntry().split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front(), "[Desktop Entry]");
    for (const char* line : {"Type=Application", "Name=Vetorlan", "Name[ru]=Веторлан", "Icon=vetorlan",
                             "TryExec=/opt/vetorlan/nimbora", "Exec=/opt/vetorlan/nimbora", "Terminal=false"})
        EXPECT_TRUE(lines.contains(QString::fromUtf8(line))) << line;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& l) { return l.startsWith("Comment="); }));
}

TEST_F(XdgAutostartTest, ExecSurvivesBlanksQuotesAndOtherReservedCharacters) {
    const char* folders[] = {
        "/home/user/My Programs/Веторлан", "/home/user/say \"hi\"",   "/home/user/$HOME `x` back\\slash",
        "/home/user/100% (tab\there)",     "/home/user/it's;fine&ok", "/plain/path",
    };
    for (const char* folder : folders) {
        const QString program = QString::fromUtf8(folder) + "/nimbora";
        store_.SetAutorunValue("Vetorlan", program);
        const QStringList lines = readEntry().split('\n');
        const auto exec =
            std::find_if(lines.begin(), lines.end(), [](const QString& l) { return l.startsWith("Exec="); });
        const auto tryExec =
            std::find_if(lines.begin(), lines.end(), [](const QString& l) { return l.startsWith("TryExec="); });
        ASSERT_NE(exec, lines.end()) << folder;
        ASSERT_NE(tryExec, lines.end()) << folder;
        const QString value = exec->mid(5);
        EXPECT_EQ(unquoteExec(value), program) << folder;
        EXPECT_EQ(unescapeString(tryExec->mid(8)), program) << folder;
        EXPECT_EQ(value.startsWith('"'), QString::fromUtf8(folder) != "/plain/path") << folder;
    }
    EXPECT_EQ(DesktopExecArgument("/a b/nimbora"), "\"/a b/nimbora\"");
    EXPECT_EQ(DesktopExecArgument("/a\\b"), "\"/a\\\\\\\\b\"");
    EXPECT_EQ(DesktopExecArgument("/a $b"), "\"/a \\\\$b\"");
    EXPECT_EQ(DesktopExecArgument("/50%/n"), "/50%%/n");
}

TEST_F(XdgAutostartTest, DeleteRemovesTheEntryAndIsSilentWhenThereIsNone) {
    store_.DeleteAutorunValue("Vetorlan");
    EXPECT_FALSE(QFile::exists(entryPath()));
    store_.SetAutorunValue("Vetorlan", "/opt/nimbora");
    ASSERT_TRUE(QFile::exists(entryPath()));
    store_.DeleteAutorunValue("Vetorlan");
    EXPECT_FALSE(QFile::exists(entryPath()));
    store_.DeleteAutorunValue("Vetorlan");
    EXPECT_EQ(QDir(config_.path() + "/cfg/autostart").entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{});
}

TEST_F(XdgAutostartTest, RelativeConfigHomeFallsBackToTheHomeFolder) {
    qputenv("XDG_CONFIG_HOME", "relative/cfg");
    EXPECT_EQ(XdgAutostartStore::AutostartFolder(), QDir::homePath() + "/.config/autostart");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(XdgAutostartStore::AutostartFolder(), QDir::homePath() + "/.config/autostart");
}

} // namespace
} // namespace vetorlan
