// The program's folders in an unexpected state, through the create road:
// the output folder taken by a file, or a folder whose file-name limit the
// title meets. One message, nothing written, the editor kept.

#include "reliability_support.h"
#include "support/record_editor.h"

#include "support/test_windows.h"
#include "support/file_compare.h"
#include "support/recording_desktop.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

TEST(FolderFaults, outputFolderTakenByAFile_reportedAndTheFileKept)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir.filePath(QStringLiteral("Popleaf")), "not a folder");
    const ProgramPaths paths = initPortablePaths(dir.path());
    RecordEditor editor(sampleSet(QStringLiteral("abc")));
    EditorState state;
    RecordingDesktop desktop;

    createSet(test::commandContext(editor, state, paths, desktop));

    EXPECT_EQ(desktop.calls, (QList<Call>{{Call::Warning, QStringLiteral("ファイルを書き込めませんでした。\n")
                                                              + paths.outputFolder
                                                              + QStringLiteral("abc_1.htm\n理由: Not a directory")}}));
    EXPECT_TRUE(sameBytes("not a folder", readAll(dir.filePath(QStringLiteral("Popleaf")))));
    EXPECT_EQ(entryNames(dir.path()), (QStringList{"Popleaf"}));
    EXPECT_EQ(editor.pageSet(), sampleSet(QStringLiteral("abc")));
}
