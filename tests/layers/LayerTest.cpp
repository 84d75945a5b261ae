// The folders of src/ form a one-way stack: a file may include headers of its own folder and of
// the folders below it, never of a folder above. Widgets, dialogs and windows (the sources the
// CMake files give to tessarix_gui) sit above every core folder, and no core file includes one
// of them. The check reads the tree as text, so it needs no build of what it checks.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <map>

namespace {

// Which folders each folder may include besides itself, bottom of the stack first.
const std::map<QString, QSet<QString>>& AllowedIncludes()
{
    static const std::map<QString, QSet<QString>> table = [] {
        std::map<QString, QSet<QString>> t;
        t[u"util"_qs] = {};
        t[u"colors"_qs] = {u"util"_qs};
        t[u"geometry"_qs] = {u"util"_qs};
        t[u"image"_qs] = {u"util"_qs, u"geometry"_qs};
        t[u"document"_qs] = {u"util"_qs, u"colors"_qs, u"geometry"_qs, u"image"_qs};
        t[u"mapping"_qs] = {u"util"_qs, u"geometry"_qs};
        t[u"render"_qs] = t[u"document"_qs] + QSet<QString>{u"document"_qs, u"mapping"_qs};
        t[u"dataentry"_qs] = t[u"document"_qs] + QSet<QString>{u"document"_qs};
        t[u"workers"_qs] = t[u"render"_qs] + QSet<QString>{u"render"_qs};
        t[u"print"_qs] = t[u"workers"_qs];
        QSet<QString> core;
        for (const auto& [folder, allowed] : t)
            core.insert(folder);
        t[u"app"_qs] = core;
        t[u"cli"_qs] = core;
        return t;
    }();
    return table;
}

// "folder/File" (without extension) of every source the CMake files give to tessarix_gui.
QSet<QString> GuiSources(const QString& src)
{
    static const QRegularExpression guiBlock(QStringLiteral(R"(target_sources\(\s*tessarix_gui\s+PRIVATE([^)]*)\))"));
    QSet<QString> gui;
    for (const QFileInfo& dir : QDir(src).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile cmake(dir.filePath() + QStringLiteral("/CMakeLists.txt"));
        if (!cmake.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(cmake.readAll());
        for (auto m = guiBlock.globalMatch(text); m.hasNext();) {
            for (const QString& name : m.next().captured(1).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
                gui.insert(dir.fileName() + u'/' + QFileInfo(name).completeBaseName());
        }
    }
    return gui;
}

// One line per include that goes up the stack: "file: includes header".
QStringList LayerViolations(const QString& src)
{
    static const QRegularExpression include(QStringLiteral(R"(^\s*#\s*include\s+"([A-Za-z0-9_]+)/([^"]+)\")"),
                                            QRegularExpression::MultilineOption);
    const QSet<QString> gui = GuiSources(src);
    const auto& allowed = AllowedIncludes();
    QStringList violations;
    QDirIterator it(src, {QStringLiteral("*.h"), QStringLiteral("*.cpp"), QStringLiteral("*.inc")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(src).relativeFilePath(path);
        const QString folder = relative.section(u'/', 0, 0);
        const QString self = folder + u'/' + QFileInfo(path).completeBaseName();
        const bool isGui = gui.contains(self);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (auto m = include.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            const QString target = match.captured(1);
            const QString header = target + u'/' + match.captured(2);
            const QString targetSelf = target + u'/' + QFileInfo(match.captured(2)).completeBaseName();
            if (!allowed.contains(target))
                continue;  // a library's own folder, not one of ours
            bool ok;
            if (folder == u"app" || folder == u"cli")
                ok = target == folder || allowed.at(folder).contains(target);
            else if (isGui)
                ok = target != u"app" && target != u"cli";
            else
                ok = (target == folder || allowed.at(folder).contains(target)) && !gui.contains(targetSelf);
            if (!ok)
                violations << relative + QStringLiteral(": includes ") + header;
        }
    }
    violations.sort();
    return violations;
}

void WriteFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

}  // namespace

TEST(Layers, NoFolderIncludesOneAboveIt)
{
    const QStringList violations = LayerViolations(QStringLiteral(TESSARIX_SOURCE_DIR "/src"));
    EXPECT_TRUE(violations.isEmpty()) << violations.join(u'\n').toStdString();
}

// A small tree of our own shows that the check finds what it must and lets pass what it may.
struct LayerCase {
    const char* name;
    const char* file;
    const char* text;
    int violations;
};

class LayerCheck : public ::testing::TestWithParam<LayerCase> {};

TEST_P(LayerCheck, JudgesOneInclude)
{
    QTemporaryDir tree;
    ASSERT_TRUE(tree.isValid());
    WriteFile(tree.filePath(QStringLiteral("image/CMakeLists.txt")),
              "target_sources(tessarix_core PRIVATE TXImage.cpp)\ntarget_sources(tessarix_gui PRIVATE ImportImageDlg.cpp)\n");
    WriteFile(tree.filePath(QString::fromUtf8(GetParam().file)), GetParam().text);
    EXPECT_EQ(LayerViolations(tree.path()).size(), GetParam().violations) << LayerViolations(tree.path()).join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Includes, LayerCheck,
    ::testing::Values(LayerCase{"DocumentIncludesRender", "document/TessarixDoc.h", "#include \"render/MapDrawing.h\"\n", 1},
                      LayerCase{"MappingIncludesDocument", "mapping/ContourTracer.cpp", "  #  include \"document/TessarixSettings.h\"\n", 1},
                      LayerCase{"UtilIncludesApp", "util/StringTable.cpp", "#include \"app/Strings.inc\"\n", 1},
                      LayerCase{"CliIncludesApp", "cli/CliInfo.cpp", "#include \"app/MainFrame.h\"\n", 1},
                      LayerCase{"CoreIncludesDialog", "image/TXImage.cpp", "#include \"image/ImportImageDlg.h\"\n", 1},
                      LayerCase{"RenderIncludesDocument", "render/MapDrawing.cpp", "#include \"document/TessarixSettings.h\"\n", 0},
                      LayerCase{"DialogIncludesDocument", "image/ImportImageDlg.cpp", "#include \"document/TessarixDoc.h\"\n", 0},
                      LayerCase{"SystemHeaders", "util/Archive.cpp", "#include <QFile>\n#include \"emf2svg.h\"\n", 0}),
    [](const ::testing::TestParamInfo<LayerCase>& info) { return std::string(info.param.name); });
