#include "gui/common/widgetprompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <utility>

namespace {

QString titleOrDefault(const QString &title)
{
    return title.isEmpty() ? QStringLiteral("Zepta") : title;
}

// "All Files (*.*)" means every file on Windows; elsewhere "*.*" would hide
// the many files without a dot in their names, so the pattern becomes "*".
QStringList platformFilters(QStringList filters)
{
#ifndef Q_OS_WIN
    for (QString &filter : filters)
        filter.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)"));
#endif
    return filters;
}

// A box lives on the heap: the window it is shown over may be deleted while it
// is open and takes its children along (a box on the stack would then be freed
// twice). A box that went with its window counts as cancelled.
template<typename Box> class OpenBox
{
public:
    template<typename... Args>
    explicit OpenBox(Args &&...args)
        : m_box(new Box(std::forward<Args>(args)...))
    {
    }
    ~OpenBox() { delete m_box.data(); }
    OpenBox(const OpenBox &) = delete;
    OpenBox &operator=(const OpenBox &) = delete;

    Box *operator->() const { return m_box.data(); }
    // QDialog::Rejected also when the box was deleted meanwhile.
    int exec() const { return m_box->exec(); }

private:
    QPointer<Box> m_box;
};

bool isShownOver(const QWidget *box, const QWidget *window)
{
    for (const QWidget *under = box->parentWidget(); under; under = under->parentWidget()) {
        if (under == window)
            return true;
    }
    return false;
}

} // namespace

WidgetPrompt::WidgetPrompt(QWidget *parent)
    : m_parent(parent)
{
}

void WidgetPrompt::message(const QString &text, const QString &title)
{
    const OpenBox<QMessageBox> box(QMessageBox::NoIcon, titleOrDefault(title), text,
                                   QMessageBox::Ok, owner());
    box.exec();
}

bool WidgetPrompt::askYesNo(const QString &text, const QString &title)
{
    const OpenBox<QMessageBox> box(QMessageBox::Question, titleOrDefault(title), text,
                                   QMessageBox::Yes | QMessageBox::No, owner());
    return box.exec() == QMessageBox::Yes;
}

bool WidgetPrompt::askOkCancel(const QString &text, const QString &title)
{
    const OpenBox<QMessageBox> box(QMessageBox::Question, titleOrDefault(title), text,
                                   QMessageBox::Ok | QMessageBox::Cancel, owner());
    return box.exec() == QMessageBox::Ok;
}

void WidgetPrompt::cancelBoxesOver(const QWidget *window)
{
    // Qt's own boxes count too (the file dialog's "replace it?" is shown over
    // the dialog): the one under it cannot come back before they do.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *top : windows) {
        auto *box = qobject_cast<QDialog *>(top);
        if (box && box->isVisible() && (!window || isShownOver(box, window)))
            box->reject();
    }
}

QWidget *WidgetPrompt::owner() const
{
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return m_parent;
}

QString WidgetPrompt::saveFileName(const FileRequest &request)
{
    return fileName(request, true).path;
}

QString WidgetPrompt::openFileName(const FileRequest &request)
{
    return fileName(request, false).path;
}

Prompt::FileChoice WidgetPrompt::chooseSaveFile(const FileRequest &request)
{
    return fileName(request, true);
}

Prompt::FileChoice WidgetPrompt::fileName(const FileRequest &request, bool save)
{
    const OpenBox<QFileDialog> dialog(owner(), titleOrDefault(request.title));
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    const bool existing = !save && request.mustExist;
    dialog->setFileMode(existing ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = platformFilters(request.filters);
    if (!filters.isEmpty()) {
        dialog->setNameFilters(filters);
        dialog->selectNameFilter(filters.value(request.selectedFilter));
    }
    if (save && !request.confirmOverwrite)
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultSuffix.isEmpty())
        dialog->setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    const int filter = int(filters.indexOf(dialog->selectedNameFilter()));
    return {dialog->selectedFiles().constFirst(), filter < 0 ? request.selectedFilter : filter};
}
