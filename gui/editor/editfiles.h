#pragma once

#include <QObject>
#include <QString>

class CodePage;
class EditBox;
class Prompt;
class QWidget;

// The edit window's Clear, Load, Save and Save As, and currentFile, the file
// that Save overwrites. Every file is read and written by the Log Board core;
// this only asks the user and puts the result into the edit area.
class EditFiles : public QObject
{
    Q_OBJECT
public:
    // saveButton and loadButton rest while their action runs.
    EditFiles(EditBox *box, QWidget *saveButton, QWidget *loadButton, Prompt &prompt,
              const CodePage &codePage, QObject *parent = nullptr);

    QString currentFile() const { return m_currentFile; }

    // True when the edit area may be replaced: it is empty, or the user said OK.
    bool discardAllowed();
    void clear();
    void load();
    void save();
    void saveAs();

signals:
    // A file was loaded or exported: the caption names it.
    void fileShown(const QString &path);

private:
    bool replaceAllowed(const QString &chosen, const QString &resolved);

    EditBox *m_box;
    Prompt &m_prompt;
    const CodePage &m_codePage;
    QWidget *m_saveButton;
    QWidget *m_loadButton;
    QString m_currentFile;
};
