#include "core/logboard/exportformats.h"
#include "core/logboard/logboardfile.h"
#include "gui/common/widgetprompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Answers the file dialog that the next call opens.
void answerDialog(std::function<void(QFileDialog *)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(dialog);
    });
}

} // namespace

// The file dialogs as the windows show them, answered as a user would.
class TestWidgetPrompt : public QObject
{
    Q_OBJECT
private slots:
    void saveDialogTellsTheChosenType();
    void loadDialogTakesAnyName();
};

void TestWidgetPrompt::saveDialogTellsTheChosenType()
{
    QTemporaryDir dir;
    QWidget owner;
    WidgetPrompt prompt(&owner);
    const QString path = dir.filePath(QStringLiteral("log"));
    QStringList shown;
    answerDialog([&](QFileDialog *dialog) {
        shown = dialog->nameFilters();
        shown << dialog->selectedNameFilter() << dialog->windowTitle();
        dialog->selectNameFilter(dialog->nameFilters().at(2));
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
    });
    const Prompt::FileChoice choice = prompt.chooseSaveFile(LogBoardExport::saveAsRequest());
    QCOMPARE(choice.path, path);
    QCOMPARE(choice.filter, 2);
    QCOMPARE(shown, (QStringList{"Text Files (*.txt)", "K500seiData (*.sei)",
                                 "Intel Hex File (*.hex)", "Assembler Source (*.asm)",
                                 "C code (*.c)", "Text Files (*.txt)", "Save to file"}));

    answerDialog([](QFileDialog *dialog) { dialog->reject(); });
    QCOMPARE(prompt.chooseSaveFile(LogBoardExport::saveAsRequest()).path, QString());
}

void TestWidgetPrompt::loadDialogTakesAnyName()
{
    QWidget owner;
    WidgetPrompt prompt(&owner);
    QFileDialog::FileMode mode = QFileDialog::Directory;
    answerDialog([&](QFileDialog *dialog) {
        mode = dialog->fileMode();
        dialog->reject();
    });
    QCOMPARE(prompt.openFileName(LogBoardFile::loadRequest()), QString());
    QCOMPARE(mode, QFileDialog::AnyFile);
}

QTEST_MAIN(TestWidgetPrompt)
#include "tst_widgetprompt.moc"
