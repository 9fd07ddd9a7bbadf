#include "mainwindow/widgetprompt.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

QString titleOrDefault(const QString &title)
{
    return title.isEmpty() ? QStringLiteral("Zepta") : title;
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
        dialog.setNameFilters(request.filters);
        dialog.selectNameFilter(request.filters.value(request.selectedFilter));
    }
    if (save && !request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
