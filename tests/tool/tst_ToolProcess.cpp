// The installed program as a script sees it: exit statuses, standard output and
// standard error of the real binary.
#include "ProcessRun.h"

#include "zanvo_version.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = ProcessRun;

Run run(const QStringList& arguments, const QString& stdoutFile = {})
{
    return RunProcess(QStringLiteral(ZANVO_TOOL_PATH), arguments, stdoutFile);
}

} // namespace

class tst_ToolProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void exitStatuses_data();
    void exitStatuses();
    void version();
    void exportPipedIntoImport();
    void fullDiskIsAFailure();

private:
    QTemporaryDir m_dir;
    QString m_boards;
};

void tst_ToolProcess::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_boards = m_dir.filePath(QStringLiteral("boards.dat"));
    QCOMPARE(run({QStringLiteral("random"), QStringLiteral("20"), m_boards}).status, 0);
    QFile damaged(m_dir.filePath(QStringLiteral("damaged.dat")));
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray("\x05\x00\x00\x00\x18\x00\x00\x00", 8));
}

void tst_ToolProcess::exitStatuses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    const QString damaged = m_dir.filePath(QStringLiteral("damaged.dat"));
    const QString missing = m_dir.filePath(QStringLiteral("missing.dat"));
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0;
    QTest::newRow("show") << QStringList{QStringLiteral("show"), m_boards} << 0;
    QTest::newRow("check") << QStringList{QStringLiteral("check"), m_boards, QStringLiteral("1"), QStringLiteral("-2")} << 0;
    QTest::newRow("no command") << QStringList{} << 2;
    QTest::newRow("unknown option") << QStringList{QStringLiteral("show"), QStringLiteral("--nope"), m_boards} << 2;
    QTest::newRow("duplicate drawn number")
        << QStringList{QStringLiteral("check"), m_boards, QStringLiteral("4"), QStringLiteral("4")} << 2;
    QTest::newRow("missing file") << QStringList{QStringLiteral("show"), missing} << 1;
    QTest::newRow("damaged file") << QStringList{QStringLiteral("check"), damaged, QStringLiteral("1")} << 1;
    QTest::newRow("existing file") << QStringList{QStringLiteral("random"), QStringLiteral("1"), m_boards} << 1;
}

void tst_ToolProcess::exitStatuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    const Run r = run(arguments);
    QCOMPARE(r.status, status);
    if (status == 0) {
        QVERIFY(r.err.isEmpty());
        QVERIFY(!r.out.isEmpty());
    } else {
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.startsWith("zanvo-tool: ") && r.err.count('\n') == 1 && r.err.endsWith('\n'), r.err.constData());
    }
}

void tst_ToolProcess::version()
{
    for (const char* option : {"--version", "-v"}) {
        const Run r = run({QString::fromLatin1(option)});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("zanvo-tool " ZANVO_VERSION_STRING "\n"));
    }
}

void tst_ToolProcess::exportPipedIntoImport()
{
    QCOMPARE(run({QStringLiteral("check"), m_boards, QStringLiteral("3"), QStringLiteral("50"),
                  QStringLiteral("--write")})
                 .status,
             0);
    const QString back = m_dir.filePath(QStringLiteral("back.dat"));
    QProcess exporter;
    QProcess importer;
    exporter.setStandardOutputProcess(&importer);
    importer.start(QStringLiteral(ZANVO_TOOL_PATH), {QStringLiteral("import"), QStringLiteral("-"), back});
    exporter.start(QStringLiteral(ZANVO_TOOL_PATH), {QStringLiteral("export"), m_boards});
    QVERIFY(exporter.waitForFinished(120000));
    QVERIFY(importer.waitForFinished(120000));
    QCOMPARE(exporter.exitCode(), 0);
    QCOMPARE(importer.exitCode(), 0);
    QFile a(m_boards);
    QFile b(back);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(b.readAll(), a.readAll());
}

void tst_ToolProcess::fullDiskIsAFailure()
{
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full");
    const Run r = run({QStringLiteral("show"), m_boards}, QStringLiteral("/dev/full"));
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains("Cannot write the output"), r.err.constData());
}

QTEST_GUILESS_MAIN(tst_ToolProcess)
#include "tst_ToolProcess.moc"
