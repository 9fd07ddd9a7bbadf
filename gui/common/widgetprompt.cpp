#include "gui/common/widgetprompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

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

} // namespace

WidgetPrompt::WidgetPrompt(QWidget *parent)
    : m_parent(parent)
{
}

void WidgetPrompt::message(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, titleOrDefault(title), text, QMessageBox::Ok, owner());
    box.exec();
}

bool WidgetPrompt::askYesNo(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, titleOrDefault(title), text,
                    QMessageBox::Yes | QMessageBox::No, owner());
    return box.exec() == QMessageBox::Yes;
}

bool WidgetPrompt::askOkCancel(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, titleOrDefault(title), text,
                    QMessageBox::Ok | QMessageBox::Cancel, owner());
    return box.exec() == QMessageBox::Ok;
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
    QFileDialog dialog(owner(), titleOrDefault(request.title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    const bool existing = !save && request.mustExist;
    dialog.setFileMode(existing ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = platformFilters(request.filters);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.selectedFilter));
    }
    if (save && !request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const int filter = int(filters.indexOf(dialog.selectedNameFilter()));
    return {dialog.selectedFiles().constFirst(), filter < 0 ? request.selectedFilter : filter};
}
