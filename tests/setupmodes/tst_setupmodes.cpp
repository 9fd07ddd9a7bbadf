#include "modesfixture.h"
#include "ptyfarend.h"

#include "serial/serialports.h"
#include "support/fakeserialdevice.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QColor kLightGreen(0x80, 0xFF, 0x80);

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace

// The User Setup and Serial OUT panels against a far end that answers on a
// real pseudo-terminal.
class TestSetupModes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PtyFarEnd> m_far;
    std::unique_ptr<ModesFixture> m_f;

    QPushButton *button(const QString &name) const { return m_f->find<QPushButton>(name); }
    void click(const QString &name)
    {
        QPushButton *b = button(name);
        QVERIFY2(b, qPrintable(name));
        b->click();
    }
    bool isLightGreen(const QString &name) const
    {
        return button(name)->palette().color(QPalette::Button) == kLightGreen;
    }
    bool isButtonFace(const QString &name) const
    {
        return button(name)->palette().color(QPalette::Button) ==
               QApplication::palette().color(QPalette::Button);
    }
    QString respSts() const { return m_f->find<QLabel>(QStringLiteral("RespSts"))->text(); }
    void goOnline()
    {
        QVERIFY(m_f->connection.goOnline(m_far->path(), QStringLiteral("9600"),
                                         m_f->state.flowControl() == 2));
    }
    void startSerialOut()
    {
        m_f->prompt.answerYesNo(true);
        click(QStringLiteral("TxdMod_1"));
        QVERIFY(m_f->serialOut->modeActive());
    }
    int enabledStatusButtons() const
    {
        int n = 0;
        for (int i = 0; i < 5; ++i)
            n += button(QStringLiteral("InfoTrs_%1").arg(i))->isEnabled() ? 1 : 0;
        return n;
    }

private slots:
    void init()
    {
        m_far = std::make_unique<PtyFarEnd>();
        QVERIFY(m_far->isOpen());
        m_f = std::make_unique<ModesFixture>(systemSerialDeviceFactory());
    }
    void cleanup()
    {
        m_f.reset();
        m_far.reset();
    }

    void startsWithEveryModeButtonIdle()
    {
        for (int i = 0; i < 3; ++i)
            QVERIFY(!button(QStringLiteral("InfoDisp_%1").arg(i))->isEnabled());
        QCOMPARE(enabledStatusButtons(), 0);
        QVERIFY(isLightGreen(QStringLiteral("InfoTrs_3")));
        for (const char *name : {"UserModIn", "UserModOut", "TxdMod_0", "TxdMod_1"})
            QVERIFY2(isButtonFace(QString::fromLatin1(name)), name);
        auto *udfCod = m_f->find<QComboBox>(QStringLiteral("UdfCod"));
        QVERIFY(udfCod->isEditable());
        QCOMPARE(udfCod->count(), 224);
        QCOMPARE(udfCod->itemText(0), QStringLiteral("20h"));
        QCOMPARE(udfCod->itemText(223), QStringLiteral("FFh"));
        QCOMPARE(udfCod->currentIndex(), 0);
        QCOMPARE(respSts(), QString());
        QVERIFY(!m_f->userSetup->modeActive());
        QVERIFY(!m_f->serialOut->modeActive());
    }

    void userSetupModeStartStatusEnd()
    {
        goOnline();
        click(QStringLiteral("UserModIn"));
        QTRY_COMPARE(m_far->received(), hex("1f28650149 4e"));
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("User set up mode start"));
        QCOMPARE(m_f->monitor.help(), QStringLiteral("-----OpCode----- 'I' 'N'"));
        QVERIFY(m_f->userSetup->modeActive());
        QVERIFY(isLightGreen(QStringLiteral("UserModIn")));
        QVERIFY(isButtonFace(QStringLiteral("UserModOut")));

        const char *codes[] = {"02", "20", "21"};
        const QStringList captions = {QStringLiteral("Firmware version"),
                                      QStringLiteral("Firmware checksum"),
                                      QStringLiteral("User Table checksum")};
        for (int i = 0; i < 3; ++i) {
            m_far->clearReceived();
            QPushButton *b = button(QStringLiteral("InfoDisp_%1").arg(i));
            QVERIFY(b->isEnabled());
            QCOMPARE(b->text(), captions[i]);
            b->click();
            QTRY_COMPARE(m_far->received(), hex("1f286541") + hex(codes[i]));
            QCOMPARE(m_f->monitor.commandName(),
                     QStringLiteral("Display Status information (") + captions[i] + ')');
            QCOMPARE(m_f->monitor.help(),
                     QStringLiteral("-----OpCode-----  a (a=2(Firmware ver), 32(Firmware "
                                    "checksum), 33(User font table checksum))"));
        }

        m_far->clearReceived();
        click(QStringLiteral("UserModOut"));
        QTRY_COMPARE(m_far->received(), hex("1f2865024f5554"));
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("User set up mode end"));
        QCOMPARE(m_f->monitor.help(), QStringLiteral("-----OpCode----- 'O' 'U' 'T'"));
        for (int i = 0; i < 3; ++i)
            QVERIFY(!button(QStringLiteral("InfoDisp_%1").arg(i))->isEnabled());
        QVERIFY(isButtonFace(QStringLiteral("UserModIn")));
        QVERIFY(isLightGreen(QStringLiteral("UserModOut")));
    }

    void statusRequestShowsTheReply_data()
    {
        QTest::addColumn<int>("element");
        QTest::addColumn<QString>("udfCod"); // typed into UdfCod, or "#n" to choose entry n
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("caption");
        QTest::newRow("firmware version, characters")
            << 0 << "#0" << hex("1f28654002") << hex("286540") + "1.05"
            << "1.05"
            << "Firmware version";
        QTest::newRow("firmware checksum, hex")
            << 1 << "#0" << hex("1f286540 2000c00040") << hex("2865400102 0aff") << "01 02 0A FF"
            << "Firmware checksum";
        QTest::newRow("product type, twelve characters")
            << 2 << "#0" << hex("1f28654030") << hex("286540") + "CU20045-UW5J"
            << "CU20045-UW5J"
            << "Product type";
        QTest::newRow("USER-FONT 41h, five bytes")
            << 3 << "#33" << hex("1f2865408041") << hex("2865401122334455aa") << "11 22 33 44 55"
            << "USER-FONT";
        QTest::newRow("USER-FONT first entry")
            << 3 << "#0" << hex("1f2865408020") << hex("28654000000000ff") << "00 00 00 00 FF"
            << "USER-FONT";
        QTest::newRow("USER-FONT typed code asks for 1F")
            << 3 << "41h" << hex("1f286540801f") << hex("2865400102030405") << "01 02 03 04 05"
            << "USER-FONT";
        QTest::newRow("user table checksum")
            << 4 << "#0" << hex("1f286540200024 6004") << hex("286540deadbeef") << "DE AD BE EF"
            << "User Table checksum";
        QTest::newRow("reply longer than twenty bytes")
            << 2 << "#0" << hex("1f28654030") << hex("286540") + "ABCDEFGHIJKLMNOPQRSTUVW"
            << "ABCDEFGHIJKL"
            << "Product type";
    }
    void statusRequestShowsTheReply()
    {
        QFETCH(int, element);
        QFETCH(QString, udfCod);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        QFETCH(QString, caption);
        goOnline();
        startSerialOut();
        auto *combo = m_f->find<QComboBox>(QStringLiteral("UdfCod"));
        if (udfCod.startsWith('#')) {
            combo->setCurrentIndex(udfCod.mid(1).toInt());
        } else {
            combo->lineEdit()->selectAll();
            QTest::keyClicks(combo->lineEdit(), udfCod);
            QCOMPARE(combo->currentIndex(), -1);
            QCOMPARE(combo->currentText(), udfCod);
        }
        // Stale bytes from before the request must not end up in the answer.
        m_far->send("stale");
        QTRY_VERIFY(m_f->module.device(Connection::kPort)->bytesWaiting() > 0);
        m_far->clearReceived();
        m_far->answer(request, reply);
        bool windowEnabledMeanwhile = true;
        bool modeActiveMeanwhile = false;
        m_far->onReceived = [&](const QByteArray &) {
            windowEnabledMeanwhile = m_f->window.isEnabled();
            modeActiveMeanwhile = m_f->serialOut->modeActive();
        };

        click(QStringLiteral("InfoTrs_%1").arg(element));

        QCOMPARE(m_far->received(), request);
        QVERIFY(!windowEnabledMeanwhile);
        QVERIFY(modeActiveMeanwhile);
        QVERIFY(m_f->window.isEnabled());
        QCOMPARE(respSts(), shown);
        QCOMPARE(m_f->monitor.commandName(),
                 QStringLiteral("Read Status information (") + caption + ')');
        QCOMPARE(m_f->monitor.help(), QStringLiteral("-----OpCode-----  a [ b   c   d   e]"));
        QCOMPARE(m_f->shownCodes(), request);
        QCOMPARE(m_f->transmitter.replyKind(), quint8(0));
    }

    void statusRequestWithoutReplyShowsZeros_data()
    {
        QTest::addColumn<int>("element");
        QTest::addColumn<QString>("shown");
        QTest::newRow("kind 1") << 0 << QString(4, QChar(0));
        QTest::newRow("kind 2") << 1 << "00 00 00 00";
        QTest::newRow("kind 3") << 2 << QString(12, QChar(0));
        QTest::newRow("kind 4") << 3 << "00 00 00 00 00";
    }
    void statusRequestWithoutReplyShowsZeros()
    {
        QFETCH(int, element);
        QFETCH(QString, shown);
        goOnline();
        startSerialOut();
        // An earlier answer must not survive into this one.
        m_far->answer(hex("1f28654030"), hex("286540") + "CU20045-UW5J");
        click(QStringLiteral("InfoTrs_2"));
        QCOMPARE(respSts(), QStringLiteral("CU20045-UW5J"));

        click(QStringLiteral("InfoTrs_%1").arg(element));
        QCOMPARE(respSts(), shown);
        QVERIFY(m_f->connection.comport_online());
        QVERIFY(m_f->window.isEnabled());
    }

    void statusRequestOfflineSendsNothing()
    {
        goOnline();
        startSerialOut();
        m_far->answer(hex("1f286540200024 6004"), hex("286540deadbeef"));
        click(QStringLiteral("InfoTrs_4"));
        QCOMPARE(respSts(), QStringLiteral("DE AD BE EF"));
        m_f->connection.OfflineButton_Click();
        m_far->clearReceived();

        click(QStringLiteral("InfoTrs_1"));
        QCOMPARE(respSts(), QString());
        QCOMPARE(m_f->shownCodes(), hex("1f2865402000c00040"));
        QCOMPARE(m_f->monitor.commandName(),
                 QStringLiteral("Read Status information (Firmware checksum)"));
        QVERIFY(m_f->window.isEnabled());
        // Sending anything now online proves nothing was queued on the line before it.
        goOnline();
        click(QStringLiteral("TxdMod_0"));
        QTRY_COMPARE(m_far->received(), hex("1f2865844f5554"));
    }

    void serialOutStartAnsweredNoChangesNothing()
    {
        goOnline();
        m_f->state.setFlowControl(2);
        m_f->monitor.setResponse(QStringLiteral("01 02 0A FF"));
        m_f->prompt.answerYesNo(false);
        click(QStringLiteral("TxdMod_1"));

        QCOMPARE(m_f->prompt.asked().size(), 1);
        QCOMPARE(m_f->prompt.asked().first().text,
                 QStringLiteral("The SBUSY terminal functions as S-OUT in Serial OUT mode.  If "
                                "using CTS flow control, wiring must be rearranged so that this "
                                "signal is connected to RxD.  Do you wish to continue?"));
        QCOMPARE(m_f->prompt.asked().first().title,
                 QStringLiteral("Confirm Serial OUT mode start"));
        QCOMPARE(respSts(), QString());
        QVERIFY(!m_f->serialOut->modeActive());
        QCOMPARE(enabledStatusButtons(), 0);
        QVERIFY(isButtonFace(QStringLiteral("TxdMod_0")));
        QVERIFY(isButtonFace(QStringLiteral("TxdMod_1")));
        QCOMPARE(m_f->state.flowControl(), 2);
        QVERIFY(!m_f->connection.serialOutRunning());
        QCOMPARE(m_f->monitor.history(), QString());
        click(QStringLiteral("UserModIn"));
        QTRY_COMPARE(m_far->received(), hex("1f28650149 4e"));
    }

    void serialOutStartOfflineWithCts()
    {
        m_f->state.setFlowControl(2);
        startSerialOut();
        QCOMPARE(m_f->state.flowControl(), 0);
        QVERIFY(m_f->connection.serialOutRunning());
        QVERIFY(!m_f->connection.ctsEditable());
        QCOMPARE(enabledStatusButtons(), 5);
        QVERIFY(isLightGreen(QStringLiteral("TxdMod_1")));
        QVERIFY(isButtonFace(QStringLiteral("TxdMod_0")));
        QCOMPARE(m_f->shownCodes(), hex("1f2865834 94e"));
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("Serial OUT mode Start"));
        QCOMPARE(m_f->monitor.help(), QStringLiteral("-----OpCode----- 'I' 'N'"));
        QVERIFY(m_f->prompt.messages().isEmpty());
        QVERIFY(!m_f->module.isOpen(Connection::kPort));
    }

    void serialOutStartOnlineSwitchesCtsOffFirst()
    {
        m_f->state.setFlowControl(2);
        goOnline();
        SerialDevice *device = m_f->module.device(Connection::kPort);
        QVERIFY(device->lineSettings().ctsFlowControl);
        QVERIFY(m_far->ctsHandshakeSet());
        bool ctsWhenSent = true;
        bool lineCtsWhenSent = true;
        connect(&m_f->monitor, &OutputMonitor::codesChanged, this, [&] {
            ctsWhenSent = device->lineSettings().ctsFlowControl;
            lineCtsWhenSent = m_far->ctsHandshakeSet();
        });
        startSerialOut();
        QTRY_COMPARE(m_far->received(), hex("1f28658349 4e"));
        QVERIFY(!ctsWhenSent);
        QVERIFY(!lineCtsWhenSent);
        QCOMPARE(m_f->state.flowControl(), 0);
        QVERIFY(m_f->connection.comport_online());
        QVERIFY(m_f->prompt.messages().isEmpty());
        // Going offline keeps the CTS box locked while the mode runs.
        m_f->connection.OfflineButton_Click();
        QVERIFY(!m_f->connection.ctsEditable());
    }

    void serialOutStartGoesOnWhenCtsCannotBeSwitchedOff()
    {
        auto line = std::make_shared<FakeSerialDevice::Line>();
        m_f = std::make_unique<ModesFixture>(FakeSerialDevice::factory(line));
        m_f->state.setFlowControl(2);
        QVERIFY(m_f->connection.goOnline(QStringLiteral("ttyUSB0"), QStringLiteral("9600"), true));
        line->failSettings = true;
        startSerialOut();
        QCOMPARE(m_f->prompt.messages(), QStringList{QStringLiteral("COM port error")});
        QVERIFY(!m_f->connection.comport_online());
        QCOMPARE(m_f->state.flowControl(), 0);
        QVERIFY(!m_f->connection.ctsEditable());
        QCOMPARE(enabledStatusButtons(), 5);
        QVERIFY(isLightGreen(QStringLiteral("TxdMod_1")));
        QCOMPARE(m_f->shownCodes(), hex("1f28658349 4e"));
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("Serial OUT mode Start"));
        QVERIFY(line->written.isEmpty());
    }

    void serialOutEndOffline()
    {
        startSerialOut();
        click(QStringLiteral("TxdMod_0"));
        QVERIFY(!m_f->serialOut->modeActive());
        QCOMPARE(enabledStatusButtons(), 0);
        QVERIFY(isLightGreen(QStringLiteral("TxdMod_0")));
        QVERIFY(isButtonFace(QStringLiteral("TxdMod_1")));
        QCOMPARE(m_f->shownCodes(), hex("1f2865844f5554"));
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("Serial OUT mode End"));
        QCOMPARE(m_f->monitor.help(), QStringLiteral("-----OpCode----- 'O' 'U' 'T'"));
        QVERIFY(!m_f->connection.serialOutRunning());
        QVERIFY(m_f->connection.ctsEditable());
    }

    void serialOutEndOnlineKeepsTheReplyAndTheLock()
    {
        goOnline();
        startSerialOut();
        m_far->answer(hex("1f2865402000c00040"), hex("2865400102 0aff"));
        click(QStringLiteral("InfoTrs_1"));
        QCOMPARE(respSts(), QStringLiteral("01 02 0A FF"));
        m_far->clearReceived();

        click(QStringLiteral("TxdMod_0"));
        QTRY_COMPARE(m_far->received(), hex("1f2865844f5554"));
        QCOMPARE(respSts(), QStringLiteral("01 02 0A FF"));
        QCOMPARE(enabledStatusButtons(), 0);
        QVERIFY(!m_f->connection.serialOutRunning());
        QVERIFY(!m_f->connection.ctsEditable()); // online
        m_f->connection.OfflineButton_Click();
        QVERIFY(m_f->connection.ctsEditable());
    }
};

QTEST_MAIN(TestSetupModes)
#include "tst_setupmodes.moc"
