#include "commands/setupmodecatalogue.h"

#include <QTest>

class TestSetupModeCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void userFontCodeFollowsTheChosenEntry_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::newRow("typed code") << -1 << "\\x1f\\x28\\x65\\x40\\x80\\x1F";
        QTest::newRow("first entry") << 0 << "\\x1f\\x28\\x65\\x40\\x80\\x20";
        QTest::newRow("41h") << 33 << "\\x1f\\x28\\x65\\x40\\x80\\x41";
        QTest::newRow("last entry") << 223 << "\\x1f\\x28\\x65\\x40\\x80\\xFF";
    }
    void userFontCodeFollowsTheChosenEntry()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QCOMPARE(SetupModeCatalogue::statusRequestText(SetupModeCatalogue::kUserFontRequest, index),
                 text);
    }

    void everyListEntryAsksForTheCodeItShows()
    {
        const QStringList codes = SetupModeCatalogue::userFontCodes();
        QCOMPARE(codes.size(), 224);
        for (int i = 0; i < codes.size(); ++i)
            QCOMPARE(SetupModeCatalogue::userFontCodeDigits(i) + 'h', codes[i]);
    }

    void onlyTheFiveStatusRequestsExist()
    {
        for (int i = 0; i < 5; ++i) {
            const Command c = SetupModeCatalogue::statusRequestCommand(i, 0);
            QVERIFY(c.expectReply);
            QVERIFY(c.replyKind.has_value());
            QVERIFY(*c.replyKind >= 1 && *c.replyKind <= 4);
        }
        QVERIFY(SetupModeCatalogue::statusRequestCommand(5, 0).text.isEmpty());
        QVERIFY(!SetupModeCatalogue::leavingCaution(0));
    }
};

QTEST_GUILESS_MAIN(TestSetupModeCatalogue)
#include "tst_setupmodecatalogue.moc"
