#include "app/workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Start-up: the workspace directory and the fresh engine copy in it.
class TestWorkspace : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void prepare_data();
    void prepare();
    void missingEngineIsReported();
    void programInstallsEngineAtStart();
};

namespace {

void writeFile(const QString& path, const QByteArray& bytes, QFile::Permissions permissions) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QVERIFY(QFile::setPermissions(path, permissions));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const QFile::Permissions readWrite = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                     QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;

} // namespace

void TestWorkspace::initTestCase() {
    QCoreApplication::setApplicationName("Strukta");
    QCoreApplication::setOrganizationName("Northfold");
}

void TestWorkspace::prepare_data() {
    QTest::addColumn<QString>("before"); // what is at the workspace path before the start
    QTest::newRow("nothing yet") << "none";
    QTest::newRow("a plain file in the way") << "file";
    QTest::newRow("an old engine") << "old engine";
    QTest::newRow("an old read-only engine") << "read-only engine";
    QTest::newRow("other files stay") << "other files";
}

void TestWorkspace::prepare() {
    QFETCH(QString, before);
    QTemporaryDir dataHome;
    QTemporaryDir programDir;
    QVERIFY(dataHome.isValid() && programDir.isValid());
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    const QString workspace = Workspace::directory();
    QCOMPARE(workspace, dataHome.path() + "/Northfold/Strukta/Workspace");
    const QString engine = workspace + "/topax";

    // The engine beside the program is not executable for anybody but its owner's reading: the
    // copy must be executable all the same.
    writeFile(programDir.path() + "/topax", "new engine", readWrite);
    QDir().mkpath(QFileInfo(workspace).path());
    if (before == "file")
        writeFile(workspace, "not a directory", readWrite);
    if (before == "old engine" || before == "read-only engine" || before == "other files") {
        QDir().mkpath(workspace);
        writeFile(engine, "old engine",
                  before == "read-only engine" ? QFile::ReadOwner | QFile::ReadUser : readWrite);
    }
    if (before == "other files")
        writeFile(workspace + "/BMesh.txt", "model", readWrite);

    QString error;
    QVERIFY2(Workspace::prepare(programDir.path(), &error), qPrintable(error));
    QVERIFY(QFileInfo(workspace).isDir());
    QCOMPARE(readFile(engine), QByteArray("new engine"));
    QVERIFY(QFileInfo(engine).isExecutable());
    QVERIFY(!QFile::exists(engine + ".partial"));
    if (before == "other files")
        QCOMPARE(readFile(workspace + "/BMesh.txt"), QByteArray("model"));
}

void TestWorkspace::missingEngineIsReported() {
    QTemporaryDir dataHome;
    QTemporaryDir programDir;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    QString error;
    QVERIFY(!Workspace::prepare(programDir.path(), &error));
    QVERIFY2(error.contains(programDir.path() + "/topax"), qPrintable(error));
    // The workspace itself is still made, so the program can run its other parts.
    QVERIFY(QFileInfo(Workspace::directory()).isDir());
    QVERIFY(!QFile::exists(Workspace::directory() + "/topax"));
}

// The real program copies the real engine beside it into its workspace when it starts.
void TestWorkspace::programInstallsEngineAtStart() {
    QTemporaryDir dataHome;
    QVERIFY(dataHome.isValid());
    const QString engine = dataHome.path() + "/Northfold/Strukta/Workspace/topax";
    QProcess strukta;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dataHome.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    strukta.setProcessEnvironment(env);
    strukta.start(STRUKTA_EXE, {});
    QVERIFY(strukta.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(engine), 30000);
    // Still running: the window is up and waiting for the user.
    QTRY_COMPARE_WITH_TIMEOUT(readFile(engine), readFile(TOPAX_EXE), 30000);
    QCOMPARE(strukta.state(), QProcess::Running);
    QVERIFY(QFileInfo(engine).isExecutable());
    strukta.kill();
    strukta.waitForFinished();
}

QTEST_MAIN(TestWorkspace)
#include "tst_workspace.moc"
