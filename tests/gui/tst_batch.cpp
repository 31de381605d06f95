// The batch mode end to end: the real strukta program (which installs the real
// topax beside it into its workspace) on the example projects.
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs strukta with its own data directory (and so its own workspace).
Run runStrukta(const QString& dataHome, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(STRUKTA_EXE), arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QString example(const char* name) {
    return QStringLiteral(STRUKTA_EXAMPLES_DIR "/") + QLatin1String(name);
}

QString workspaceFile(const QTemporaryDir& home, const QString& name) {
    return home.filePath(QStringLiteral("Northfold/Strukta/Workspace/") + name);
}

} // namespace

class TestBatch : public QObject {
    Q_OBJECT
private slots:
    void analysisOfTheExamples_data();
    void analysisOfTheExamples();
    void optimizationOfTheCantilever();
    void failuresSayWhy_data();
    void failuresSayWhy();
};

void TestBatch::analysisOfTheExamples_data() {
    QTest::addColumn<QString>("project");
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<int>("elements");
    QTest::newRow("cantilever") << example("cantilever.xml") << QSize(500, 300) << 800;
    QTest::newRow("half MBB beam") << example("mbb.xml") << QSize(700, 300) << 1200;
}

void TestBatch::analysisOfTheExamples() {
    QFETCH(QString, project);
    QFETCH(int, elements);
    QTemporaryDir home;
    const QString picture = home.filePath(QStringLiteral("result.png"));
    const Run run =
        runStrukta(home.path(), {QStringLiteral("--batch"), project, QStringLiteral("--analysis"),
                                 QStringLiteral("--picture"), picture});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(run.out.contains(QStringLiteral("Analysis finished")));
    QVERIFY(run.out.contains(QStringLiteral("Picture saved to ") + picture));

    // The model written for the engine holds the example's plates, load and
    // constraints, and the engine left both result files.
    QFile model(workspaceFile(home, QStringLiteral("BMesh.txt")));
    QVERIFY(model.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(model.readAll());
    QCOMPARE(text.count(QStringLiteral("*quad4<")), elements);
    QCOMPARE(text.count(QStringLiteral("*force<")), 1);
    QVERIFY(text.contains(QStringLiteral("*constraint<")));
    QVERIFY(QFileInfo(workspaceFile(home, QStringLiteral("BMesh.ndp"))).size() > 0);
    QVERIFY(QFileInfo(workspaceFile(home, QStringLiteral("BMesh.vms"))).size() > 0);

    const QImage image(picture);
    QTEST(image.size(), "pictureSize");
    // The plates in the middle of the beam are coloured by their stresses, not by
    // their kind.
    const QColor middle = image.pixelColor(image.width() / 2 + 5, image.height() / 2 + 5);
    QVERIFY(middle != QColor(Qt::white));
    QVERIFY(middle != QColor(Qt::darkGreen));
}

void TestBatch::optimizationOfTheCantilever() {
    QTemporaryDir home;
    const QString picture = home.filePath(QStringLiteral("design.png"));
    const Run run = runStrukta(home.path(), {QStringLiteral("--batch"), example("cantilever.xml"),
                                             QStringLiteral("--optimize"),
                                             QStringLiteral("--picture"), picture});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    // One line per iteration, numbered from 1 without gaps, then the outcome.
    static const QRegularExpression line(
        QStringLiteral("^iteration (\\d+): volume fraction ([0-9.]+), mean compliance (\\S+)$"));
    int iterations = 0;
    for (const QString& text : run.out.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = line.match(text);
        if (!match.hasMatch())
            continue;
        QCOMPARE(match.captured(1).toInt(), ++iterations);
        QVERIFY(match.captured(2).toDouble() > 0.0 && match.captured(2).toDouble() <= 1.0);
    }
    QVERIFY(iterations > 1);
    QVERIFY(run.out.contains(QStringLiteral("Optimization converged to a solution")) ||
            run.out.contains(QStringLiteral("Optimization reached the specified maximum "
                                            "iterations")));
    QVERIFY(QFile::exists(workspaceFile(home, QStringLiteral("Report.txt"))));
    QVERIFY(!QImage(picture).isNull());
}

void TestBatch::failuresSayWhy_data() {
    // "%1" in the arguments and the reason stands for a project file holding
    // `document`.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("reason");
    QTest::newRow("project without a mesh") << QStringList{"--batch", "%1", "--analysis"}
                                            << QByteArray("<scene SceneSize=\"500,300\"><rectangle "
                                                          "dimensions=\"0,0,90,90\"/></scene>")
                                            << "strukta: the project %1 has no mesh to run";
    QTest::newRow("truncated project")
        << QStringList{"--batch", "%1", "--optimize"} << QByteArray("<scene>\n<mesh>\n")
        << "strukta: cannot read the project %1, line 3: Premature end of "
           "document.";
    QTest::newRow("missing project")
        << QStringList{"--batch", "no-such-project.xml", "--analysis"} << QByteArray()
        << "strukta: cannot read the project no-such-project.xml: ";
    QTest::newRow("no run asked") << QStringList{"--batch", example("cantilever.xml")}
                                  << QByteArray()
                                  << "strukta: --batch needs exactly one of --analysis and "
                                     "--optimize";
    QTest::newRow("both runs asked")
        << QStringList{"--batch", example("cantilever.xml"), "--analysis", "--optimize"}
        << QByteArray() << "strukta: --batch needs exactly one of --analysis and --optimize";
    QTest::newRow("unknown option")
        << QStringList{"--batch", example("cantilever.xml"), "--analysis", "--fast"} << QByteArray()
        << "strukta: unknown option --fast";
    QTest::newRow("picture that cannot be written")
        << QStringList{"--batch", example("cantilever.xml"), "--analysis", "--picture",
                       "/nonexistent-dir/result.png"}
        << QByteArray() << "strukta: cannot write the picture /nonexistent-dir/result.png";
    QTest::newRow("picture without a name")
        << QStringList{"--batch", example("cantilever.xml"), "--analysis", "--picture"}
        << QByteArray() << "strukta: --picture needs a file name";
}

void TestBatch::failuresSayWhy() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, document);
    QFETCH(QString, reason);
    QTemporaryDir home;
    const QString path = home.filePath(QStringLiteral("project.xml"));
    if (!document.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(document);
    }
    arguments.replaceInStrings(QStringLiteral("%1"), path);
    reason.replace(QStringLiteral("%1"), path);
    const Run run = runStrukta(home.path(), arguments);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    QVERIFY(!run.out.contains(QStringLiteral("Picture saved")));
}

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batch.moc"
