#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>
#include <filesystem>
#include <set>

#include "app/CCommandHandlers.h"
#include "gui/CFileListDlg.h"
#include "gui/CGeneralSettingsDlg.h"
#include "gui/CItemCountOptionsDlg.h"
#include "gui/CNameDlg.h"
#include "gui/GuiTestSupport.h"
#include "support/FakeHost.h"
#include "support/ScoreFixture.h"
#include "support/TempDir.h"

using namespace velmora;
using gui::CFileListDlg;

namespace {

void later(QWidget* w, std::function<void()> f) { QTimer::singleShot(0, w, std::move(f)); }

QStringList comboItems(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i)
    items << combo->itemText(i);
  return items;
}

} // namespace

class DialogsTest : public QObject {
  Q_OBJECT

private slots:
  void generalSettingsItemZeroAndSelection() {
    test::TempDir settings;
    std::filesystem::create_directory(settings.path() + "SAMPLES");
    std::filesystem::create_directory(settings.path() + "alpha");
    test::writeBytes(settings.file("notes.txt"), {});
    test::FakeHost host;
    CVelmoraDoc doc;
    QVERIFY(doc.create(host, settings.path()));
    CBatchState batch;
    CCommandHandlers commands(doc, batch, host);
    const QString root = QString::fromStdString(settings.path());

    // The project folder is the settings folder: item 0, "[.] (folder)", selected. Pick SAMPLES.
    QStringList items;
    int selected = -1;
    {
      test::ModalScript pick([&](QWidget* modal) {
        auto* dialog = qobject_cast<gui::CGeneralSettingsDlg*>(modal);
        if (!dialog) return false;
        items = comboItems(dialog->projectCombo());
        selected = dialog->projectCombo()->currentIndex();
        dialog->projectCombo()->setCurrentIndex(2);
        dialog->findChild<QCheckBox*>()->setChecked(true);
        later(dialog, [dialog] { dialog->accept(); });
        return true;
      });
      gui::CGeneralSettingsDlg dialog(nullptr);
      QVERIFY(commands.onGeneralSettings(dialog));
    }
    QCOMPARE(items, (QStringList{"[.] (" + root + ")", "[alpha]", "[SAMPLES]"}));
    QCOMPARE(selected, 0);
    QCOMPARE(doc.settings.projectFolder(), settings.path() + "SAMPLES/");
    QCOMPARE(doc.settings.prefs().useExplorerDialog, 1);
    // prefs.dat holds the choice; the next dialog selects it.
    QVERIFY(std::filesystem::exists(settings.file("prefs.dat")));
    selected = -1;
    test::ModalScript look([&](QWidget* modal) {
      auto* d = qobject_cast<gui::CGeneralSettingsDlg*>(modal);
      if (!d) return false;
      selected = d->projectCombo()->currentIndex();
      later(d, [d] { d->reject(); });
      return true;
    });
    gui::CGeneralSettingsDlg again(nullptr);
    QVERIFY(!commands.onGeneralSettings(again));
    QCOMPARE(selected, 2);
  }

  void newProjectWithADottedName() {
    test::TempDir settings;
    std::filesystem::create_directory(settings.path() + "ZETA");
    test::FakeHost host;
    CVelmoraDoc doc;
    QVERIFY(doc.create(host, settings.path()));
    doc.settings.setProjectFolder(settings.path() + "ZETA/");
    QVERIFY(doc.settings.save(SettingsFile::Prefs, host));
    host.messages.clear();
    CBatchState batch;
    CCommandHandlers commands(doc, batch, host);

    // The user picks item 0, then "New Project..." twice: a new name, then one that exists.
    int step = 0;
    QStringList items;
    QString selectedText, afterFailure;
    const QStringList names{QStringLiteral("my.score.project"), QStringLiteral("zeta")};
    test::ModalScript script([&](QWidget* modal) {
      if (auto* dialog = qobject_cast<gui::CGeneralSettingsDlg*>(modal)) {
        if (step == 0 || step == 2) {
          if (step == 2) {
            items = comboItems(dialog->projectCombo());
            selectedText = dialog->projectCombo()->currentText();
          }
          dialog->projectCombo()->setCurrentIndex(0);
          ++step;
          later(dialog, [dialog] { dialog->newProjectButton()->click(); });
        } else if (step == 4) {
          step = 5;
          afterFailure = dialog->projectCombo()->currentText();
          later(dialog, [dialog] { dialog->reject(); });
        }
        return false;
      }
      if (auto* name = qobject_cast<gui::CNameDlg*>(modal)) {
        name->findChild<QLineEdit*>("name")->setText(names.at(step / 2));
        ++step;
        later(name, [name] { name->accept(); });
        return true;
      }
      return false;
    });
    gui::CGeneralSettingsDlg dialog(nullptr);
    QVERIFY(!commands.onGeneralSettings(dialog));
    // The folder is the name before its last dot, upper-cased; the refill selects the project folder again.
    QVERIFY(std::filesystem::is_directory(settings.path() + "MY.SCORE"));
    QCOMPARE(items.mid(1), (QStringList{"[MY.SCORE]", "[ZETA]"}));
    QCOMPARE(selectedText, QStringLiteral("[ZETA]"));
    // A folder that cannot be made: the message, and the combo box as the user left it.
    QCOMPARE(host.messages, std::vector<std::string>{"Error creating directory."});
    QCOMPARE(afterFailure, "[.] (" + QString::fromStdString(settings.path()) + ")");
    QCOMPARE(doc.settings.projectFolder(), settings.path() + "ZETA/");
  }

  void nonAsciiSettingsFolderAndNewProject() {
    // Folder names are the file system's UTF-8, in the combo box and in a new project's folder.
    test::TempDir root;
    const std::string folder = root.path() + "R\xc3\xa9glages/";
    std::filesystem::create_directories(folder + "\xc3\x89T\xc3\x89");
    test::FakeHost host;
    CVelmoraDoc doc;
    QVERIFY(doc.create(host, folder));
    QVERIFY(doc.settings.save(SettingsFile::Prefs, host));
    host.messages.clear();
    CBatchState batch;
    CCommandHandlers commands(doc, batch, host);
    QStringList items;
    bool named = false;
    test::ModalScript script([&](QWidget* modal) {
      if (auto* name = qobject_cast<gui::CNameDlg*>(modal)) {
        named = true;
        name->findChild<QLineEdit*>("name")->setText(QString::fromUtf8("na\xc3\xafve.mus"));
        later(name, [name] { name->accept(); });
        return true;
      }
      auto* dialog = qobject_cast<gui::CGeneralSettingsDlg*>(modal);
      if (!dialog) return false;
      if (!named) {
        later(dialog, [dialog] { dialog->newProjectButton()->click(); });
        return false;
      }
      items = comboItems(dialog->projectCombo());
      dialog->projectCombo()->setCurrentIndex(items.indexOf(QString::fromUtf8("[NA\xc3\xafVE]")));
      later(dialog, [dialog] { dialog->accept(); });
      return true;
    });
    gui::CGeneralSettingsDlg dialog(nullptr);
    QVERIFY(commands.onGeneralSettings(dialog));
    QCOMPARE(items, (QStringList{"[.] (" + QString::fromStdString(folder) + ")", QString::fromUtf8("[NA\xc3\xafVE]"),
                                 QString::fromUtf8("[\xc3\x89T\xc3\x89]")}));
    QVERIFY(std::filesystem::is_directory(folder + "NA\xc3\xafVE"));
    QCOMPARE(doc.settings.projectFolder(), folder + "NA\xc3\xafVE/");
    QVERIFY(host.messages.empty());
  }

  void itemCountSettings() {
    test::TempDir settings;
    test::FakeHost host;
    CVelmoraDoc doc;
    QVERIFY(doc.create(host, settings.path()));
    CBatchState batch;
    CCommandHandlers commands(doc, batch, host);
    bool shownChecked = true;
    QString label;
    test::ModalScript script([&](QWidget* modal) {
      auto* dialog = qobject_cast<gui::CItemCountOptionsDlg*>(modal);
      if (!dialog) return false;
      auto* box = dialog->findChild<QCheckBox*>();
      shownChecked = box->isChecked();
      label = box->text().remove('&');
      box->setChecked(true);
      later(dialog, [dialog] { dialog->accept(); });
      return true;
    });
    gui::CItemCountOptionsDlg dialog(nullptr);
    commands.onItemCountSettings(dialog);
    QVERIFY(!shownChecked);
    QCOMPARE(label, QStringLiteral("Don't include blank staves in stave count"));
    QCOMPARE(doc.settings.itemCount().skipBlankStaves, 1);
    QVERIFY(std::filesystem::exists(settings.file("SCORCNT2.DAT")));
  }

  void classicFileList() {
    test::TempDir scores;
    for (const char* name : {"a.mus", "b.mus", "c.pt"})
      test::writeBytes(scores.file(name), {1, 2});
    QDir::setCurrent(QString::fromStdString(scores.path()));
    FileListRequest request{"Select Files for Counting", FileKind::Score, false, 5};
    std::vector<std::string> files{"/already/there.mus"};
    QString title, nameField, filter, countAfterAdd, countAfterRemove;
    QStringList filters, modelPatterns, list;
    bool selectionCleared = false;
    test::ModalScript script([&](QWidget* modal) {
      auto* dialog = qobject_cast<CFileListDlg*>(modal);
      if (!dialog) return false;
      gui::CFileBrowser* browser = dialog->browser();
      title = dialog->windowTitle();
      nameField = browser->nameText();
      filter = browser->selectedNameFilter();
      filters = browser->nameFilters();
      modelPatterns = browser->findChild<QFileSystemModel*>()->nameFilters();
      // A pattern in the name field adds nothing; names add folder + name.
      browser->accept();
      browser->setNameText(QStringLiteral("\"a.mus\" \"b.mus\""));
      browser->accept();
      countAfterAdd = dialog->countText();
      auto* selection = dialog->findChild<QListWidget*>("selectionList");
      selection->item(0)->setSelected(true);
      for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("Remove Files")) button->click();
      countAfterRemove = dialog->countText();
      selectionCleared = selection->selectedItems().isEmpty();
      list = dialog->selection();
      browser->selectNameFilter(filters.at(2));
      later(dialog, [dialog] { dialog->accept(); });
      return true;
    });
    QCOMPARE(gui::runFileListDialog(nullptr, request, files), 1);
    QCOMPARE(title, QStringLiteral("Select Files for Counting"));
    QCOMPARE(nameField, QStringLiteral("*.pt"));
    QCOMPARE(filter, QStringLiteral("SCORE files (*.pt; *.pts)"));
    QCOMPARE(modelPatterns, (QStringList{"*.pt", "*.pts"}));
    QCOMPARE(filters,
             (QStringList{"SCORE files (*.mus)", "SCORE files (*.jst)", "SCORE files (*.jus)", "SCORE files (*.pge)",
                          "SCORE files (*.pag)", "SCORE files (*.pt; *.pts)", "SCORE files (*.opt)",
                          "SCORE files (*.uno)", "SCORE files (*.edi)", "SCORE files (*.bim)", "All Files (*.*)"}));
    QCOMPARE(countAfterAdd, QStringLiteral("Filelist: 2 file selections in list"));
    QCOMPARE(countAfterRemove, QStringLiteral("Filelist: 1 file selections in list"));
    QVERIFY(selectionCleared);
    const std::string b = QDir::cleanPath(QString::fromStdString(scores.file("b.mus"))).toStdString();
    QCOMPARE(list, QStringList{QString::fromStdString(b)});
    QCOMPARE(files, (std::vector<std::string>{"/already/there.mus", b}));
    QCOMPARE(request.filterIndex, 2); // remembered on OK
  }

  void classicFileListTypedNamesAndDoubleClick() {
    test::TempDir scores;
    const std::string spaced = "\xc3\x89lan vital.mus";
    for (const std::string& name : {std::string("a.mus"), std::string("b.mus"), spaced})
      test::writeBytes(scores.file(name), {1, 2});
    const QString folder = QDir::cleanPath(QString::fromStdString(scores.path()));
    FileListRequest request{"Select Files for Counting", FileKind::Score, false, 0};
    std::vector<std::string> files;
    QStringList typed, quoted, clicked;
    test::whenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<CFileListDlg*>(modal);
      if (!dialog) return test::dismiss(modal);
      gui::CFileBrowser* browser = dialog->browser();
      browser->setDirectory(folder);
      auto* add = dialog->findChild<QPushButton*>("addFiles");
      QAbstractButton* remove = test::buttonNamed(dialog, QStringLiteral("Remove Files"));
      const auto clearList = [&] {
        dialog->findChild<QListWidget*>("selectionList")->selectAll();
        remove->click();
      };
      // Typed names split at blanks, each folder + name, one not there too.
      browser->setNameText(QStringLiteral("a.mus  b.mus missing.mus"));
      add->click();
      typed = dialog->selection();
      clearList();
      // A quoted name stays whole, as Qt fills the field for several selected files.
      browser->setNameText(QString::fromUtf8("\"\xc3\x89lan vital.mus\" a.mus"));
      add->click();
      quoted = dialog->selection();
      clearList();
      // A double-clicked file is added alone, blanks and all.
      browser->setNameText(QString());
      auto* model = browser->findChild<QFileSystemModel*>();
      auto* view = browser->findChild<QListView*>("listView");
      const QString path = folder + QString::fromUtf8("/\xc3\x89lan vital.mus");
      QVERIFY(QTest::qWaitFor(
          [&] { return model->index(path).isValid() && view->visualRect(model->index(path)).isValid(); }));
      const QPoint at = view->visualRect(model->index(path)).center();
      QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
      clicked = dialog->selection();
      dialog->accept();
    });
    QCOMPARE(gui::runFileListDialog(nullptr, request, files), 1);
    QCOMPARE(typed, (QStringList{folder + "/a.mus", folder + "/b.mus", folder + "/missing.mus"}));
    QCOMPARE(quoted, (QStringList{folder + QString::fromUtf8("/\xc3\x89lan vital.mus"), folder + "/a.mus"}));
    QCOMPARE(clicked, QStringList{folder + QString::fromUtf8("/\xc3\x89lan vital.mus")});
    QCOMPARE(files, std::vector<std::string>{folder.toStdString() + "/" + spaced});
  }

  void postScriptListCancelAndEmpty() {
    // The PostScript tasks: their own list, "*.eps" in the name field; Cancel chooses nothing.
    FileListRequest request{"Create Filelist for Adding Crop Marks", FileKind::PostScript, false, 1};
    std::vector<std::string> files;
    QString nameField;
    QStringList filters;
    QString filter;
    test::ModalScript cancel([&](QWidget* modal) {
      auto* dialog = qobject_cast<CFileListDlg*>(modal);
      if (!dialog) return false;
      nameField = dialog->browser()->nameText();
      filters = dialog->browser()->nameFilters();
      filter = dialog->browser()->selectedNameFilter();
      dialog->browser()->selectNameFilter(filters.at(2));
      later(dialog, [dialog] { dialog->reject(); });
      return true;
    });
    QCOMPARE(gui::runFileListDialog(nullptr, request, files), 0);
    QCOMPARE(nameField, QStringLiteral("*.eps"));
    QCOMPARE(filters, (QStringList{"EPS files (*.eps)", "PS files (*.ps)", "All Files (*.*)"}));
    QCOMPARE(filter, QStringLiteral("PS files (*.ps)"));
    QVERIFY(files.empty());
    QCOMPARE(request.filterIndex, 1); // Cancel keeps the remembered filter
  }

  void explorerFileList() {
    test::TempDir scores;
    test::writeBytes(scores.file("a.mus"), {1, 2});
    QDir::setCurrent(QString::fromStdString(scores.path()));
    FileListRequest request{"Select Files for Counting", FileKind::Score, true, 0};
    std::vector<std::string> files;
    QString count;
    bool clicked = false;
    test::ModalScript script([&](QWidget* modal) {
      if (auto* dialog = qobject_cast<gui::CExplorerFileListDlg*>(modal)) {
        if (dialog->selection().isEmpty()) {
          if (clicked) return false;
          clicked = true;
          auto* add = dialog->findChild<QPushButton*>("addFiles");
          later(dialog, [add] { add->click(); });
        } else {
          count = dialog->countText();
          later(dialog, [dialog] { dialog->accept(); });
          return true;
        }
        return false;
      }
      if (auto* picker = qobject_cast<QFileDialog*>(modal)) {
        // Typed as a user would; tried again until the dialog has taken it and closed.
        const QString path = QString::fromStdString(scores.file("a.mus"));
        later(picker, [picker, path] {
          if (auto* edit = picker->findChild<QLineEdit*>("fileNameEdit")) edit->setText(path);
          if (picker->isVisible()) QMetaObject::invokeMethod(picker, "accept");
        });
        return false;
      }
      return false;
    });
    QCOMPARE(gui::runFileListDialog(nullptr, request, files), 1);
    QCOMPARE(count, QStringLiteral("Filelist: 1 file selections in list"));
    QCOMPARE(files.size(), size_t(1));
    QCOMPARE(QFileInfo(QString::fromStdString(files[0])).fileName(), QStringLiteral("a.mus"));
  }

  void eachButtonOnce_data() {
    QTest::addColumn<bool>("explorer");
    QTest::newRow("classic") << false;
    QTest::newRow("explorer") << true;
  }

  void eachButtonOnce() {
    // One "Add Files", one "Remove Files", OK and Cancel, also after a folder is typed into the name field.
    QFETCH(bool, explorer);
    test::TempDir scores;
    std::filesystem::create_directory(scores.file("sub"));
    QDir::setCurrent(QString::fromStdString(scores.path()));
    FileListRequest request{"Select Files for Counting", FileKind::Score, explorer, 0};
    std::vector<std::string> files;
    QStringList before, after;
    const auto visibleButtons = [](QWidget* dialog) {
      QStringList texts;
      for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        if (button->isVisibleTo(dialog) && !button->text().isEmpty()) texts << button->text().remove('&');
      texts.sort();
      return texts;
    };
    test::whenModal([&](QWidget* modal) {
      before = visibleButtons(modal);
      if (auto* dialog = qobject_cast<CFileListDlg*>(modal)) {
        dialog->browser()->setNameText(QString::fromStdString(scores.file("sub")));
        QCoreApplication::processEvents();
      }
      after = visibleButtons(modal);
      test::dismiss(modal);
    });
    gui::runFileListDialog(nullptr, request, files);
    const QStringList expected{"Add Files", "Cancel", "OK", "Remove Files"};
    QCOMPARE(before, expected);
    QCOMPARE(after, expected);
  }

  void classicFileListTakesEveryPickedFile() {
    // 3,000 files picked in the view: far more names than the name field holds, every one added whole.
    test::TempDir scores;
    for (int i = 0; i < 3000; ++i)
      test::writeBytes(scores.file("s" + std::to_string(i) + ".mus"), {1});
    const QString folder = QDir::cleanPath(QString::fromStdString(scores.path()));
    FileListRequest request{"Select Files for Counting", FileKind::Score, false, 0};
    std::vector<std::string> files;
    int fieldLength = 0;
    test::whenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<CFileListDlg*>(modal);
      if (!dialog) return test::dismiss(modal);
      gui::CFileBrowser* browser = dialog->browser();
      browser->setDirectory(folder);
      auto* view = browser->findChild<QListView*>("listView");
      QVERIFY(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == 3000; }, 20000));
      view->setFocus();
      view->selectAll();
      fieldLength = static_cast<int>(browser->nameText().size());
      dialog->findChild<QPushButton*>("addFiles")->click();
      dialog->accept();
    });
    QCOMPARE(gui::runFileListDialog(nullptr, request, files), 1);
    QCOMPARE(fieldLength, 32767); // what Qt's field could show
    QCOMPARE(files.size(), size_t(3000));
    std::set<std::string> unique(files.begin(), files.end());
    QCOMPARE(unique.size(), size_t(3000));
    QVERIFY(unique.count(folder.toStdString() + "/s2999.mus"));
  }

  void returnInTheNameFieldAddsAndKeepsTheDialog() {
    test::TempDir scores;
    test::writeBytes(scores.file("a.mus"), {1});
    const QString folder = QDir::cleanPath(QString::fromStdString(scores.path()));
    FileListRequest request{"Select Files for Counting", FileKind::Score, false, 0};
    std::vector<std::string> files;
    bool stillOpen = false;
    test::whenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<CFileListDlg*>(modal);
      if (!dialog) return test::dismiss(modal);
      dialog->browser()->setDirectory(folder);
      auto* edit = dialog->browser()->findChild<QLineEdit*>("fileNameEdit");
      edit->setFocus();
      QTRY_VERIFY(edit->hasFocus());
      edit->setText(QStringLiteral("a.mus"));
      QTest::keyClick(edit, Qt::Key_Return);
      stillOpen = dialog->isVisible();
      dialog->accept();
    });
    QCOMPARE(gui::runFileListDialog(nullptr, request, files), 1);
    QVERIFY(stillOpen);
    QCOMPARE(files, std::vector<std::string>{folder.toStdString() + "/a.mus"});
  }

  void droppedFilesAndFolders() {
    // A dropped folder adds its files of the type in use, whatever their case; a dropped file is added as is.
    test::TempDir scores;
    std::filesystem::create_directory(scores.file("set"));
    for (const char* name : {"set/b.mus", "set/A.MUS", "set/c.pt", "loose.pt"})
      test::writeBytes(scores.file(name), {1});
    const QString root = QDir::cleanPath(QString::fromStdString(scores.path()));
    QCOMPARE(gui::expandDroppedPaths({root + "/set", root + "/loose.pt", root + "/gone.mus"}, {"*.mus"}),
             (QStringList{root + "/set/A.MUS", root + "/set/b.mus", root + "/loose.pt"}));
    FileListRequest request{"Select Files for Counting", FileKind::Score, true, 0};
    gui::CExplorerFileListDlg dialog(nullptr, request);
    auto* list = dialog.findChild<gui::CSelectionList*>("selectionList");
    QVERIFY(list);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(root + "/set")});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &drop);
    QCOMPARE(dialog.selection(), (QStringList{root + "/set/A.MUS", root + "/set/b.mus"}));
    QCOMPARE(dialog.countText(), QStringLiteral("Filelist: 2 file selections in list"));
  }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
