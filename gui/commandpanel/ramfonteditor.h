#pragma once

#include "core/commands/commandformula.h"

#include <QGroupBox>
#include <QList>

class CommandButtonGroup;
class CommandCatalogue;
class CommandTransport;
class QComboBox;
class QPushButton;

// The "RAM user font" group: a 5 x 8 dot pattern drawn on buttons, registered
// under a character code with Define, removed with Delete, and the on/off pair
// that switches RAM user fonts in the module. Drawing sends nothing.
class RamFontEditor : public QGroupBox
{
    Q_OBJECT
public:
    RamFontEditor(const CommandCatalogue &catalogue, CommandTransport &transport,
                  QWidget *parent = nullptr);

    CommandButtonGroup *onOffPair() const { return m_onOff; }

private:
    QWidget *buildMatrix();
    void toggleDot(int e);
    void clearDots();
    void paintDot(int e);
    void define();
    void remove();
    int characterCode() const;

    CommandTransport &m_transport;
    CommandFormula::FontDots m_dots;
    QList<QPushButton *> m_dotButtons;
    QComboBox *m_code = nullptr;
    QPushButton *m_define = nullptr;
    QPushButton *m_delete = nullptr;
    CommandButtonGroup *m_onOff = nullptr;
};
