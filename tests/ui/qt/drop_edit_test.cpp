// Files dropped on the firmware path and the address fields.
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "res/resource_ids.h"
#include "tests/ui/qt/window_fixture.h"

namespace window_test {
namespace {

class DropEditTest : public WindowTest {
 protected:
  void SetUp() override {
    Open();
    ASSERT_TRUE(files.isValid());
    root = QDir(files.path()).canonicalPath();
    app = Make("fw/app.xuv");
    other = Make("fw/other.bin");
    ASSERT_TRUE(QDir(root).mkpath("folder"));
    ASSERT_TRUE(QFile::link(app, root + "/link-to-app"));
    ASSERT_TRUE(QFile::link(root + "/fw/gone.xuv", root + "/dangling"));
  }

  QString Make(const QString& name) {
    const QString path = root + "/" + name;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    return path;
  }

  // Drags the paths over the edit and drops them, as the desktop does. True when the edit took the drag.
  bool Drop(int id, const QStringList& paths) {
    QWidget* edit = Control(id);
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint at = edit->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &drop);
    return drop.isAccepted();
  }

  QLineEdit* Edit(int id) { return ControlAs<QLineEdit>(id); }

  QTemporaryDir files;
  QString root, app, other;
};

TEST_F(DropEditTest, AFileReplacesTheTextWithTheCaretAtItsEnd) {
  window.SetItemText(res::IDC_FIRMWARE_PATH, "typed before");
  ASSERT_TRUE(Drop(res::IDC_FIRMWARE_PATH, {app}));
  EXPECT_EQ(Edit(res::IDC_FIRMWARE_PATH)->text(), app);
  EXPECT_EQ(Edit(res::IDC_FIRMWARE_PATH)->cursorPosition(), app.size());
  EXPECT_FALSE(Edit(res::IDC_FIRMWARE_PATH)->hasSelectedText());
}

TEST_F(DropEditTest, OnlyTheFirstOfSeveralFilesIsTaken) {
  ASSERT_TRUE(Drop(res::IDC_FIRMWARE_PATH, {other, app, root + "/folder"}));
  EXPECT_EQ(Edit(res::IDC_FIRMWARE_PATH)->text(), other);
}

TEST_F(DropEditTest, ALinkShowsTheFileItPointsTo) {
  ASSERT_TRUE(Drop(res::IDC_FIRMWARE_PATH, {root + "/link-to-app"}));
  EXPECT_EQ(Edit(res::IDC_FIRMWARE_PATH)->text(), app);
}

TEST_F(DropEditTest, ARelativeLinkPointsFromItsOwnFolder) {
  // Links whose targets are written relative to the folder they lie in, as
  // "ln -s" makes them from anywhere, dropped while the program works in a
  // folder where the same relative names lead to decoys.
  namespace fs = std::filesystem;
  fs::create_symlink("app.xuv", (root + "/fw/link-beside").toStdString());
  ASSERT_TRUE(QDir(root).mkpath("links"));
  fs::create_symlink("../fw/app.xuv", (root + "/links/link-up").toStdString());
  const fs::path work = fs::path(folder.path()) / "work";
  fs::create_directories(work);
  fs::create_directories(fs::path(folder.path()) / "fw");
  for (const fs::path& decoy : {work / "app.xuv", fs::path(folder.path()) / "fw" / "app.xuv"}) {
    std::ofstream(decoy) << "decoy";
  }
  fs::current_path(work);

  ASSERT_TRUE(Drop(res::IDC_FIRMWARE_PATH, {root + "/fw/link-beside"}));
  EXPECT_EQ(Edit(res::IDC_FIRMWARE_PATH)->text(), app);

  window.SetItemText(res::IDC_FIRMWARE_PATH, "");
  ASSERT_TRUE(Drop(res::IDC_FIRMWARE_PATH, {root + "/links/link-up"}));
  const QFileInfo shown(Edit(res::IDC_FIRMWARE_PATH)->text());
  EXPECT_TRUE(shown.isAbsolute()) << shown.filePath().toStdString();
  EXPECT_EQ(shown.canonicalFilePath(), app);
}

TEST_F(DropEditTest, FoldersAndMissingTargetsLeaveTheTextAlone) {
  for (const QString& refused : {root + "/folder", root + "/dangling"}) {
    window.SetItemText(res::IDC_FIRMWARE_PATH, "kept");
    Drop(res::IDC_FIRMWARE_PATH, {refused});
    EXPECT_EQ(Edit(res::IDC_FIRMWARE_PATH)->text(), "kept") << refused.toStdString();
  }
}

TEST_F(DropEditTest, AnAddressFieldTakesAFileAsTheFirmwarePathDoes) {
  ASSERT_TRUE(Drop(res::IDC_START_NAP, {app}));
  // Shown past the field's limit, and in lower case like everything in an address field.
  EXPECT_EQ(Edit(res::IDC_START_NAP)->text(), app.toLower());
  Drop(res::IDC_START_UAP, {root + "/folder"});
  EXPECT_EQ(Edit(res::IDC_START_UAP)->text(), "");
}

TEST_F(DropEditTest, ThePioFieldsAndTheLogTakeNoFiles) {
  window.SetItemText(res::IDC_PIO1, "3");
  Drop(res::IDC_PIO1, {app});
  EXPECT_EQ(window.ItemText(res::IDC_PIO1), "3");
}

}  // namespace
}  // namespace window_test
