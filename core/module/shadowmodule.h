#pragma once

#include "core/module/modulemodel.h"

#include <QByteArrayView>
#include <QObject>

#include <memory>

class SerialLine;

// The simulated module as the shadow of a real one: it reads a copy of what a
// host wrote to the real module's port, through the same decoder and model
// as the simulated port, so its glass shows what the real glass should show
// and its list says what the module was told. What the real module sent back
// is listed as replies; the model's own answers are not, and go nowhere.
//
// It only listens: it never holds a byte back, and it keeps no line of its
// own. Bytes are taken when they left the port; the module is taken to read
// them at once, or when a wait action or a slow scroll it was told of is over
// (the real module holds its input then too).
class ShadowModule : public QObject
{
    Q_OBJECT
public:
    explicit ShadowModule(std::shared_ptr<ModuleClock> clock = nullptr, QObject *parent = nullptr);

    ModuleModel &model() { return m_model; }

    void hostWrote(QByteArrayView bytes);
    void moduleSent(QByteArrayView bytes);

    // Follows what goes through line from now on, for as long as both live;
    // nothing while the line is open on the simulated module, which shows
    // its own glass.
    void follow(SerialLine &line);

private:
    ModuleModel m_model;
    qint64 m_lastNs = 0;
};
