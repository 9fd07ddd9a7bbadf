#include "app/commandline.h"
#include "app/shared/programinfo.h"
#include "app/shared/terminationsignals.h"
#include "core/serial/serialports.h"
#include "core/session/commandsession.h"
#include "core/session/devicefactory.h"
#include "core/session/setupstate.h"
#include "core/session/windowstate.h"
#include "gui/common/widgetprompt.h"
#include "gui/common/zeptaicon.h"
#include "gui/mainwindow/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Before the application object: these answers need no display.
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;
    ProgramInfo::identify(QStringLiteral("zepta"));
    QApplication app(argc, argv);
    useZeptaIcon();
    // Qt took its own options; what is left is the program's.
    const QString configDirectory = settingsDirectory(QCoreApplication::arguments());

    WidgetPrompt prompt;
    CommandSession session(systemSerialDeviceFactory(), prompt, CodePage::forSystem());
    SetupState state;

    // Listening starts before the window exists: a signal that comes while the
    // start-up still asks something (a port that cannot be opened) answers the
    // question and closes the window as soon as it is built. A box open when
    // the signal comes ("COM port error") is cancelled by the closing window.
    // A later signal ends the program once the first has had its grace.
    TerminationSignals termination;
    MainWindow *built = nullptr;
    bool closeRequested = false;
    QObject::connect(&termination, &TerminationSignals::received, &app, [&] {
        if (built) {
            built->closeForSignal();
            return;
        }
        closeRequested = true;
        if (QWidget *box = QApplication::activeModalWidget())
            box->close();
    });

    MainWindow window(
        {session, state, prompt, availablePorts, configDirectory, WindowState::userFile()});
    built = &window;
    prompt.setParentWidget(&window);
    if (closeRequested) {
        window.closeForSignal(); // writes the settings as the close box does
        return 0;
    }
    // The window ends the program, also while another window is still open.
    QObject::connect(&window, &MainWindow::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    window.showFitted();
    const int status = app.exec();
    // A window that closed in the last turn of the event loop (the edit
    // window, once its handlers came back) goes now, not with the process.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
