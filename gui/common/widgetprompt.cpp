#include "gui/common/widgetprompt.h"

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
    QMessageBox box(QMessageBox::NoIcon, titleOrDefault(title), text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool WidgetPrompt::askYesNo(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, titleOrDefault(title), text,
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    return box.exec() == QMessageBox::Yes;
}

bool WidgetPrompt::askOkCancel(const QString &text, const QString &title)
{
    QMessageBox box(QMessageBox::Question, titleOrDefault(title), text,
                    QMessageBox::Ok | QMessageBox::Cancel, m_parent);
    return box.exec() == QMessageBox::Ok;
}

QString WidgetPrompt::saveFileName(const FileRequest &request)
{
    return fileName(request, true);
}

QString WidgetPrompt::openFileName(const FileRequest &request)
{
    return fileName(request, false);
}

QString WidgetPrompt::fileName(const FileRequest &request, bool save)
{
    QFileDialog dialog(m_parent, titleOrDefault(request.title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.filters.isEmpty()) {
        const QStringList filters = platformFilters(request.filters);
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(request.selectedFilter));
    }
    if (save && !request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
