// The image picker: what it lists, what it picks and how it previews.

#include "ui/image_picker/image_picker.h"
#include "ui/kit/form_layout.h"
#include "support/recording_desktop.h"
#include "support/ui_test_support.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace zelmora;
using zelmora::test::child;
using zelmora::test::onNextModal;

namespace {

class ImagePickerTest : public testing::Test {
protected:
    QString folder() const { return dir.path() + u'/'; }

    void writeFile(const QString &name, const QByteArray &bytes = QByteArray("x"))
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void writePicture(const QString &name, QColor colour, QSize size = QSize(40, 30))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(dir.filePath(name)));
    }

    static QStringList listed(const ImagePicker &picker)
    {
        QStringList names;
        auto *list = child<QListWidget>(&picker, QStringLiteral("File1"));
        for (int row = 0; row < list->count(); ++row)
            names.append(list->item(row)->text());
        return names;
    }

    static void select(ImagePicker &picker, const QString &name)
    {
        auto *list = child<QListWidget>(&picker, QStringLiteral("File1"));
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        // As a click does: the row becomes current and selected.
        const QRect row = list->visualItemRect(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    }

    static QImage shown(const ImagePicker &picker)
    {
        return child<QLabel>(&picker, QStringLiteral("Image1"))->pixmap().toImage();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(ImagePickerTest, listsOnlyPictureFilesInAnyLetterCase)
{
    for (const char *name : {"a.gif", "B.JPG", "c.Png", "d.bmp", "e.jpeg", "abc_1.htm", "abc_data.htm",
                             "f.gif.txt", "gjpg"})
        writeFile(QString::fromLatin1(name));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.gif")));

    const QStringList expected = {QStringLiteral("a.gif"), QStringLiteral("B.JPG"), QStringLiteral("c.Png"),
                                  QStringLiteral("d.bmp")};
    EXPECT_EQ(pictureFileNames(folder()), expected);
    ImagePicker picker(test::messageBoxes(), folder());
    EXPECT_EQ(listed(picker), expected);
    EXPECT_EQ(picker.pickedName(), QString());
}

TEST_F(ImagePickerTest, missingFolderListsNothing)
{
    ImagePicker picker(test::messageBoxes(), dir.filePath(QStringLiteral("none/")));
    EXPECT_TRUE(listed(picker).isEmpty());
    EXPECT_TRUE(pictureFileNames(QString()).isEmpty());
}

TEST_F(ImagePickerTest, manyFilesAreAllListed)
{
    for (int i = 0; i < 10000; ++i)
        writeFile(QStringLiteral("p%1.%2").arg(i, 5, 10, QChar(u'0')).arg(i % 2 ? QStringLiteral("png") : QStringLiteral("htm")), {});
    const QStringList names = pictureFileNames(folder());
    ASSERT_EQ(names.size(), 5000);
    EXPECT_EQ(names.first(), QStringLiteral("p00001.png"));
    EXPECT_EQ(names.last(), QStringLiteral("p09999.png"));
}

TEST_F(ImagePickerTest, closingAtOnceIsAnEmptyPickAfterAnEarlierOne)
{
    writePicture(QStringLiteral("a.png"), Qt::red);
    QWidget mainWindow;
    mainWindow.show();

    onNextModal([](QWidget *modal) {
        auto *list = modal->findChild<QListWidget *>(QStringLiteral("File1"));
        list->setCurrentRow(0);
        modal->findChild<QAbstractButton *>(QStringLiteral("Command1"))->click();
    });
    EXPECT_EQ(pickImage(&mainWindow, test::messageBoxes(), folder(), 0, 0), QStringLiteral("a.png"));

    // The list taking the focus makes its first row current; that is no pick.
    onNextModal([](QWidget *modal) {
        QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(modal->findChild<QListWidget *>(QStringLiteral("File1")), &focusIn);
        modal->close();
    });
    EXPECT_EQ(pickImage(&mainWindow, test::messageBoxes(), folder(), 0, 0), QString());
}

TEST_F(ImagePickerTest, secondSelectionIsThePickAndIsShown)
{
    writePicture(QStringLiteral("a.png"), Qt::red);
    writePicture(QStringLiteral("b.bmp"), Qt::blue, QSize(115, 150));
    ImagePicker picker(test::messageBoxes(), folder());
    picker.show();

    select(picker, QStringLiteral("a.png"));
    EXPECT_EQ(picker.pickedName(), QStringLiteral("a.png"));
    EXPECT_EQ(shown(picker).pixelColor(0, 0), QColor(Qt::red));

    select(picker, QStringLiteral("b.bmp"));
    EXPECT_EQ(picker.pickedName(), QStringLiteral("b.bmp"));
    const QImage image = shown(picker);
    EXPECT_EQ(image.size(), QSize(115, 150)) << "whole, at its own size";
    EXPECT_EQ(image.pixelColor(114, 149), QColor(Qt::blue));
    auto *label = child<QLabel>(&picker, QStringLiteral("Image1"));
    EXPECT_EQ(label->geometry(), QRect(twipsPoint(120, 120), QSize(115, 150)));
}

TEST_F(ImagePickerTest, undecodableFileIsStillPickedAndThePickerGoesOn)
{
    writePicture(QStringLiteral("a.png"), Qt::red);
    writeFile(QStringLiteral("broken.png"), QByteArray("\x89PNG\r\n\x1a\n not really", 20));
    ImagePicker picker(test::messageBoxes(), folder());
    picker.show();

    select(picker, QStringLiteral("a.png"));
    select(picker, QStringLiteral("broken.png"));
    EXPECT_EQ(picker.pickedName(), QStringLiteral("broken.png"));
    EXPECT_TRUE(shown(picker).isNull()) << "no stale preview of a.png";

    select(picker, QStringLiteral("a.png"));
    EXPECT_EQ(picker.pickedName(), QStringLiteral("a.png"));
    EXPECT_EQ(shown(picker).pixelColor(0, 0), QColor(Qt::red));
}

TEST_F(ImagePickerTest, largePictureIsShownFromItsCornerCutAtTheFrame)
{
    ASSERT_TRUE(test::patternImage(4000, 4000).save(dir.filePath(QStringLiteral("big.png"))));
    ImagePicker picker(test::messageBoxes(), folder());
    picker.show();
    select(picker, QStringLiteral("big.png"));

    auto *label = child<QLabel>(&picker, QStringLiteral("Image1"));
    auto *frame = child<QWidget>(&picker, QStringLiteral("Frame1"));
    const QImage image = shown(picker);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(label->pos(), twipsPoint(120, 120));
    EXPECT_EQ(label->size(), image.size());
    EXPECT_TRUE(frame->rect().contains(label->geometry())) << "cut off at the frame";
    // Nearly all of the frame right and below the corner is filled.
    EXPECT_GE(label->geometry().right(), frame->width() - 5);
    EXPECT_GE(label->geometry().bottom(), frame->height() - 5);

    const int w = image.width() - 1;
    const int h = image.height() - 1;
    for (QPoint p : {QPoint(0, 0), QPoint(w, 0), QPoint(0, h), QPoint(w, h), QPoint(w / 2, h / 3)})
        EXPECT_EQ(image.pixel(p), test::patternPixel(p.x(), p.y())) << p.x() << "," << p.y();
}

// ほかの場所から追加…: the files chosen in the desktop's dialog come in by the
// rules of a drop and the first is picked; an empty list says how to add.
struct ImportCase {
    const char *name;
    QStringList existing, chosen; // in the output folder; chosen outside
    QString picked;
    QStringList listed;
    bool refused;
};

class PickerImport : public ImagePickerTest, public testing::WithParamInterface<ImportCase> {};

TEST_P(PickerImport, copiesTheChosenFilesAndPicksTheFirst)
{
    const ImportCase &c = GetParam();
    QTemporaryDir outside;
    test::RecordingDesktop desktop;
    for (const QString &name : c.existing)
        writePicture(name, Qt::red);
    for (const QString &name : c.chosen) {
        desktop.chosenFiles.append(outside.filePath(name));
        QImage(20, 10, QImage::Format_RGB32).save(desktop.chosenFiles.last()); // no .txt: refused by name
    }
    ImagePicker picker(desktop, folder());
    picker.show();
    auto *hint = child<QLabel>(&picker, QStringLiteral("EmptyHint"));
    EXPECT_EQ(hint->isVisible(), c.existing.isEmpty());
    EXPECT_TRUE(hint->text().contains(QStringLiteral("「ほかの場所から追加…」")));

    child<QAbstractButton>(&picker, QStringLiteral("Com_import"))->click();

    EXPECT_TRUE(QTest::qWaitFor([&] { return picker.pickedName() == c.picked; }, 20000)) << picker.pickedName().toStdString();
    EXPECT_EQ(listed(picker), c.listed);
    EXPECT_EQ(hint->isVisible(), c.listed.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.calls.size() == 1 + c.refused; }, 20000));
    EXPECT_EQ(desktop.calls.value(0).kind, test::RecordingDesktop::Call::ChooseFiles);
}

INSTANTIATE_TEST_SUITE_P(ImagePickerTest, PickerImport, testing::Values(
    ImportCase{"twoNew",      {},        {"b.png", "a.bmp"},     "b.png",   {"a.bmp", "b.png"},   false},
    ImportCase{"nameTaken",   {"b.png"}, {"b.png"},              "b_2.png", {"b.png", "b_2.png"}, false},
    ImportCase{"notAPicture", {},        {"notes.txt", "c.bmp"}, "c.bmp",   {"c.bmp"},            true},
    ImportCase{"cancelled",   {"a.bmp"}, {},                     "",        {"a.bmp"},            false}),
    [](const auto &info) { return std::string(info.param.name); });
