#include "app/mainwindow.h"
#include "drawing/evolvecanvas.h"
#include "drawing/evolverectangle.h"
#include "drawing/evolvestatusbar.h"
#include "drawing/griditem.h"
#include "engine_link/materials.h"
#include "project/undostack.h"

#include <QActionGroup>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGraphicsSceneMouseEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>
#include <QtTest>

#include <functional>

// The main window driven through its actions: the action table, menus and toolbars, the drawing
// tool rule, zoom with undo, and the confirmations and dialogs the window shows itself.
class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void actionTable_data();
    void actionTable();
    void everyIconFileLoads();
    void menusAndToolbars();
    void windowStartsMaximizedWithSceneFittingTheView();
    void regionKindsAreExclusive();
    void toolRule_data();
    void toolRule();
    void drawingToolClearsSelectionAndDisplacements();
    void zoom_data();
    void zoom();
    void displayWidth_data();
    void displayWidth();
    void clearScreenAsksFirst_data();
    void clearScreenAsksFirst();
    void newDesignResetsEverything();
    void sceneSignalsReachWindow();
    void hoverShowsCoordinates();
    void aboutBox();

private:
    Strukta* window = nullptr;
    QTemporaryDir dataHome;
};

namespace {

// Runs `act` on the next modal dialog as soon as it is open. Dialogs block in exec(), so the
// answer has to be queued before the action that opens them.
void answerNextDialog(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto remaining = std::make_shared<int>(500);
    QObject::connect(timer, &QTimer::timeout, [timer, act, remaining] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        } else if (--*remaining == 0) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

void clickMessageBox(QMessageBox::StandardButton which, QMessageBox::StandardButton* defaultSeen,
                     QString* textSeen = nullptr) {
    answerNextDialog([=](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box)
            return w->close();
        if (defaultSeen)
            *defaultSeen = box->standardButton(box->defaultButton());
        if (textSeen)
            *textSeen = box->windowTitle() + "|" + box->text();
        box->button(which)->click();
        return true;
    });
}

void answerInputDialog(double value, bool accept) {
    answerNextDialog([=](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        if (!dialog)
            return void(w->close());
        dialog->setDoubleValue(value);
        accept ? dialog->accept() : dialog->reject();
    });
}

// Fills the spin boxes of a load dialog in order and accepts or cancels it; for a constraint
// dialog checks the radio button with the given index.
void answerToolDialog(QList<double> values, int radio, bool accept) {
    answerNextDialog([=](QWidget* w) {
        auto* dialog = qobject_cast<QDialog*>(w);
        if (!dialog)
            return void(w->close());
        const QList<QDoubleSpinBox*> boxes = dialog->findChildren<QDoubleSpinBox*>();
        for (int i = 0; i < values.size() && i < boxes.size(); ++i)
            boxes[i]->setValue(values[i]);
        const QList<QRadioButton*> radios = dialog->findChildren<QRadioButton*>();
        if (radio >= 0 && radio < radios.size())
            radios[radio]->setChecked(true);
        accept ? dialog->accept() : dialog->reject();
    });
}

// Object names of a widget's actions, "|" for separators.
QStringList actionNames(const QWidget* widget) {
    QStringList names;
    for (QAction* a : widget->actions())
        names << (a->isSeparator() ? QString("|") : a->objectName());
    return names;
}

const QStringList toolNames{"actionEllipse",
                            "actionCircle",
                            "actionSquare",
                            "actionRectangle",
                            "actionPolygon",
                            "actionSelect_region",
                            "actionDraw_plate",
                            "actionDelete_plate",
                            "actionLoad",
                            "actionFreedom",
                            "actionFreedomRectSelect",
                            "actionDistributedLoad"};

} // namespace

void TestMainWindow::initTestCase() {
    QVERIFY(dataHome.isValid());
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    QApplication::setApplicationName("Strukta");
    QApplication::setOrganizationName("Northfold");
}

void TestMainWindow::init() {
    applicationUndoStack()->clear();
    Materials::resetDesign();
    window = new Strukta;
}

void TestMainWindow::cleanup() {
    // Commands may hold the window's items: they go before the scene does.
    applicationUndoStack()->clear();
    delete window;
    window = nullptr;
}

void TestMainWindow::actionTable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("iconText");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("icon"); // empty: none
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("enabled");
    auto row = [](const char* name, QString text, QString tip, QString iconText, QString key,
                  QString icon, bool checkable = false, bool checked = false, bool enabled = true) {
        QTest::newRow(name) << text << tip << iconText << key << icon << checkable << checked
                            << enabled;
    };
    // Qt derives a missing tool tip and icon text from the text without '&'.
    row("actionNew", "&New", "New", "New", "", "");
    row("actionOpen", "&Open", "Open", "Open", "", "");
    row("action_Save", "&Save", "Save", "Save", "", "");
    row("action_Print", "&Print", "Print", "Print", "", "", false, false, false);
    row("actionP_rint_Setup", "P&rint Setup", "Print Setup", "Print Setup", "", "", false, false,
        false);
    row("actionE_xit", "E&xit", "Exit", "Exit", "", "");
    row("actionCut", "Cut", "Cut", "Cut", "Ctrl+X", "");
    row("action_Copy", "&Copy", "Copy", "Copy", "Ctrl+C", "");
    row("actionPaste", "Paste", "Paste", "Paste", "Ctrl+V", "");
    row("actionHelp", "&Getting Started", "Getting Started", "Getting Started", "", "");
    row("actionAbout", "&About", "About", "About", "", "");
    row("actionZoom_In", "Zoom In", "Zoom In", "Zoom In", "", "zoomin.png");
    row("actionZoom_Out", "Zoom Out", "Zoom Out", "Zoom Out", "", "zoomout.png");
    row("actionZoom_Factor", "Zoom Factor", "Zoom Factor", "Zoom Factor", "", "zoomfactor.png");
    row("actionDraw", "Draw", "Draw", "Draw", "", "Draw.png", true);
    row("actionDraw_Evolvable", "Draw Design", "Draw designable region", "Draw Design", "",
        "evolvable.png", true, true);
    row("actionDraw_non_evolvable", "Draw Non-Design", "Draw non-designable region",
        "Draw Non-Design", "", "Non-evolvable.png", true);
    row("actionEllipse", "Ellipse", "Ellipse", "Ellipse", "", "ellipse.png", true);
    row("actionRectangle", "Rectangle", "Rectangle", "Rectangle", "", "rectangle.png", true);
    row("actionPolygon", "Polygon", "Polygon (ctrl-click to complete)", "Polygon", "",
        "polygon.png", true);
    row("actionSelect_region", "Select region", "Select region", "Select region", "",
        "selectregion.png", true, true);
    row("actionClear_screen", "Clear screen", "Clear screen", "Clear screen", "",
        "clearscreen.png");
    row("actionAnti_Aliasing", "Anti-Aliasing", "Anti-Aliasing", "Anti-Aliasing", "", "", true,
        true);
    row("actionWidth_mm", "Specify display width", "Specify display width", "Specify display width",
        "", "widthmm.png");
    row("actionDraw_Mesh", "Draw Mesh", "Generate finite element mesh", "Draw Mesh", "",
        "createmesh.png");
    row("actionDelete_plate", "Delete plate", "Delete elements from mesh", "Delete plate", "",
        "deleteplate.png", true);
    row("actionClear_Mesh", "Clear Mesh", "Delete entire finite element mesh", "Clear Mesh", "",
        "clearmesh.png");
    row("actionDraw_plate", "Draw plate", "Add new elements to mesh", "Draw plate", "",
        "createplate.png", true);
    row("actionLoad", "Load", "Apply point load", "Apply load", "", "load.png", true);
    row("actionFreedom", "Freedom", "Apply constraint to individual nodes",
        "Apply freedom condition", "", "freedom.png", true);
    row("actionDistributedLoad", "Distributed Load", "Apply distributed Load", "Distributed Load",
        "", "distributedload.png", true);
    row("actionFEA", "FEA", "Carry out FEA", "FEA", "", "fea.png");
    row("actionESO", "TOPAX", "Start TOPAX", "TOPAX", "", "Opt.png");
    row("actionUnEvolve", "Show intermediate design", "Show intermediate design",
        "Show intermediate design", "", "Interm.png");
    row("actionPlot", "Plot", "Plot TOPAX histories", "Plot", "", "plot.png");
    row("actionMovie", "Movie", "Movie", "Movie", "", "movie.png", true);
    row("actionRevert", "Revert", "Revert", "Revert", "", "revert.png");
    row("actionSavePicture", "Save picture", "Save display area to an image file", "Save picture",
        "", "SaveScreenshot.png");
    row("actionSet_Property", "Set material property", "Set material property",
        "Set material property", "", "setProperties.PNG");
    row("actionShow_Stresses", "Show Stresses", "Show stresses", "Show Stresses", "",
        "showstresses.PNG", true);
    row("actionShow_Displacements", "Show Displacements", "Show displacements",
        "Show Displacements", "", "showdisplacements.PNG", true);
    row("actionCircle", "Draw Circle", "Draw circle", "Draw Circle", "", "circle.png", true);
    row("actionGrid_Width", "Grid Width", "Grid Width", "Grid Width", "", "gridwidthmm.PNG");
    row("actionShow_Grid", "Show Grid", "Show grid", "Show Grid", "", "gridon.PNG", true);
    row("actionSquare", "Draw Square", "Draw Square", "Draw Square", "", "square.png", true);
    row("actionSubtraction", "Subtraction", "Subtraction", "Subtraction", "", "subtract.PNG", true);
    row("actionFreedomRectSelect", "Multiple Freedom Node", "Apply constraint to multiple nodes",
        "Multiple Freedom Node", "", "multifreedoms.PNG", true);
    row("actionExport_Model", "Export Model", "Export Model", "Export Model", "", "");
    row("actionImport_Model", "Import Model", "Import Model", "Import Model", "", "");
}

void TestMainWindow::actionTable() {
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(QString, iconText);
    QFETCH(QString, shortcut);
    QFETCH(QString, icon);
    QFETCH(bool, checkable);
    QFETCH(bool, checked);
    QFETCH(bool, enabled);
    QAction* a = window->action(QTest::currentDataTag());
    QVERIFY(a);
    QCOMPARE(a->text(), text);
    QCOMPARE(a->toolTip(), toolTip);
    QCOMPARE(a->iconText(), iconText);
    QCOMPARE(a->shortcut(), QKeySequence(shortcut));
    QCOMPARE(a->isCheckable(), checkable);
    QCOMPARE(a->isChecked(), checked);
    QCOMPARE(a->isEnabled(), enabled);
    QCOMPARE(a->icon().isNull(), icon.isEmpty());
    if (!icon.isEmpty()) {
        QVERIFY2(QFile::exists(":/Strukta/Resources/" + icon), qPrintable(icon));
        QVERIFY(!a->icon().pixmap(24, 24, QIcon::Normal, QIcon::Off).isNull());
    }
}

void TestMainWindow::everyIconFileLoads() {
    const QStringList files = QDir(":/Strukta/Resources").entryList(QDir::Files);
    QVERIFY(files.size() >= 40);
    for (const QString& name : files) {
        const QImage image(":/Strukta/Resources/" + name);
        QVERIFY2(!image.isNull(), qPrintable(name));
    }
    // The constraint marker is drawn at its own size into an 18 x 18 icon.
    QCOMPARE(QImage(":/Strukta/Resources/fixed.png").size(), QSize(18, 18));
    QVERIFY(!window->windowIcon().isNull());
    // The getting-started guide travels inside the program.
    QFile guide(":/Strukta/Manual/getting-started.html");
    QVERIFY(guide.open(QIODevice::ReadOnly));
    QVERIFY(guide.readAll().contains("Getting Started"));
    // The two result actions look different when switched on.
    for (const char* name : {"actionShow_Stresses", "actionShow_Displacements"}) {
        const QIcon icon = window->action(name)->icon();
        QVERIFY(icon.pixmap(24, 24, QIcon::Normal, QIcon::On).toImage() !=
                icon.pixmap(24, 24, QIcon::Normal, QIcon::Off).toImage());
    }
}

void TestMainWindow::menusAndToolbars() {
    QCOMPARE(window->windowTitle(), QString("Strukta"));
    QStringList menuTitles;
    for (QAction* a : window->menuBar()->actions())
        menuTitles << a->text();
    QCOMPARE(menuTitles, QStringList({"File", "Edit", "Help"}));

    auto menu = [this](const char* name) { return window->findChild<QMenu*>(name); };
    auto toolbar = [this](const char* name) { return window->findChild<QToolBar*>(name); };
    QCOMPARE(actionNames(menu("menuFile")),
             QStringList({"actionNew", "actionOpen", "|", "action_Save", "|", "action_Print",
                          "actionP_rint_Setup", "|", "actionExport_Model", "actionImport_Model",
                          "|", "actionE_xit"}));
    QCOMPARE(actionNames(menu("menuEdit")), QStringList({"actionCut", "action_Copy", "actionPaste",
                                                         "|", "actionUndo", "actionRedo"}));
    QCOMPARE(actionNames(menu("menuHelp")), QStringList({"actionHelp", "actionAbout"}));
    QCOMPARE(
        actionNames(toolbar("mainToolBar")),
        QStringList({"actionZoom_In", "actionZoom_Out", "actionZoom_Factor", "|",
                     "actionSavePicture", "|", "actionWidth_mm", "actionGrid_Width",
                     "actionShow_Grid", "|", "actionClear_screen", "actionUndo", "actionRedo"}));
    QCOMPARE(actionNames(toolbar("drawToolbar")), QStringList({"actionDraw_Evolvable",
                                                               "actionDraw_non_evolvable",
                                                               "actionSubtraction",
                                                               "|",
                                                               "actionSelect_region",
                                                               "actionRectangle",
                                                               "actionEllipse",
                                                               "actionCircle",
                                                               "actionPolygon",
                                                               "|",
                                                               "actionDraw_Mesh",
                                                               "actionDelete_plate",
                                                               "actionDraw_plate",
                                                               "actionClear_Mesh",
                                                               "|",
                                                               "actionFreedom",
                                                               "actionFreedomRectSelect",
                                                               "actionLoad",
                                                               "actionDistributedLoad",
                                                               "actionSet_Property",
                                                               "|",
                                                               "actionFEA",
                                                               "actionESO"}));
    QCOMPARE(actionNames(toolbar("esoToolbar")),
             QStringList({"actionShow_Displacements", "actionShow_Stresses", "|", "actionUnEvolve",
                          "actionPlot", "actionMovie", "actionRevert"}));
    QCOMPARE(toolbar("mainToolBar")->windowTitle(), QString("Main Toolbar"));
    QCOMPARE(toolbar("drawToolbar")->windowTitle(), QString("Draw/Run Toolbar"));
    QCOMPARE(toolbar("esoToolbar")->windowTitle(), QString("View Toolbar"));

    // All three at the top; the Draw/Run Toolbar starts its own row; the View Toolbar waits
    // for results.
    for (const char* name : {"mainToolBar", "drawToolbar", "esoToolbar"})
        QCOMPARE(window->toolBarArea(toolbar(name)), Qt::TopToolBarArea);
    QVERIFY(!window->toolBarBreak(toolbar("mainToolBar")));
    QVERIFY(window->toolBarBreak(toolbar("drawToolbar")));
    QVERIFY(!window->toolBarBreak(toolbar("esoToolbar")));
    QVERIFY(toolbar("mainToolBar")->isVisible());
    QVERIFY(toolbar("drawToolbar")->isVisible());
    QVERIFY(toolbar("esoToolbar")->isHidden());
    QVERIFY(toolbar("drawToolbar")->y() > toolbar("mainToolBar")->y());

    // The two actions that are in no menu or toolbar.
    for (const char* name : {"actionDraw", "actionAnti_Aliasing"})
        QVERIFY(window->action(name)->associatedObjects().size() == 0);

    // Undo and redo use the standard keys.
    QCOMPARE(window->action("actionUndo")->shortcuts(),
             QKeySequence::keyBindings(QKeySequence::Undo));
    QCOMPARE(window->action("actionRedo")->shortcuts(),
             QKeySequence::keyBindings(QKeySequence::Redo));
}

void TestMainWindow::windowStartsMaximizedWithSceneFittingTheView() {
    QVERIFY(window->isVisible());
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    const QSize viewport = window->canvas()->maximumViewportSize();
    QCOMPARE(window->scene()->sceneRect(),
             QRectF(0, 0, viewport.width() - 4, viewport.height() - 4));
    QVERIFY(!window->scene()->grid()->isShown());
    QVERIFY(!window->action("actionShow_Grid")->isChecked());
    QCOMPARE(window->scene()->drawShape(), EvolveScene::Select);
    QVERIFY(window->canvas()->renderHints() & QPainter::Antialiasing);
    // The scene keeps the physical width: the window and the status bar follow its scale.
    QCOMPARE(window->mmInPixel(), window->scene()->mmInPixel());
    QCOMPARE(window->evolveStatusBar()->metresPerPixelValue(), window->scene()->mmInPixel());
}

void TestMainWindow::regionKindsAreExclusive() {
    QAction* design = window->action("actionDraw_Evolvable");
    QAction* nonDesign = window->action("actionDraw_non_evolvable");
    QAction* subtraction = window->action("actionSubtraction");
    auto checked = [&] {
        return QList<bool>{design->isChecked(), nonDesign->isChecked(), subtraction->isChecked()};
    };
    QCOMPARE(checked(), QList<bool>({true, false, false}));
    nonDesign->trigger();
    QCOMPARE(checked(), QList<bool>({false, true, false}));
    QCOMPARE(window->scene()->evolveMode(), int(NonDesign));
    subtraction->trigger();
    QCOMPARE(checked(), QList<bool>({false, false, true}));
    QCOMPARE(window->scene()->evolveMode(), int(Subtraction));
    subtraction->trigger(); // clicking the checked one keeps it
    QCOMPARE(checked(), QList<bool>({false, false, true}));
    design->trigger();
    QCOMPARE(checked(), QList<bool>({true, false, false}));
    QCOMPARE(window->scene()->evolveMode(), int(Design));
}

// A dialog answer for the load and constraint tools: none, or values and accept/cancel.
struct DialogAnswer {
    bool expected = false;
    QList<double> values;
    int radio = -1;
    bool accept = true;
};
Q_DECLARE_METATYPE(DialogAnswer)

void TestMainWindow::toolRule_data() {
    QTest::addColumn<QStringList>("triggers");
    QTest::addColumn<DialogAnswer>("answer"); // for the last trigger
    QTest::addColumn<QString>("checkedTool"); // the one tool left checked
    QTest::addColumn<int>("mode");
    const DialogAnswer none;
    QTest::newRow("rectangle") << QStringList{"actionRectangle"} << none << "actionRectangle"
                               << int(EvolveScene::Rectangle);
    QTest::newRow("ellipse") << QStringList{"actionEllipse"} << none << "actionEllipse"
                             << int(EvolveScene::Ellipse);
    QTest::newRow("square") << QStringList{"actionSquare"} << none << "actionSquare"
                            << int(EvolveScene::Square);
    QTest::newRow("circle") << QStringList{"actionCircle"} << none << "actionCircle"
                            << int(EvolveScene::Circle);
    QTest::newRow("polygon") << QStringList{"actionPolygon"} << none << "actionPolygon"
                             << int(EvolveScene::Polygon);
    QTest::newRow("rectangle then ellipse") << QStringList{"actionRectangle", "actionEllipse"}
                                            << none << "actionEllipse" << int(EvolveScene::Ellipse);
    QTest::newRow("unchecking rectangle returns to select")
        << QStringList{"actionRectangle", "actionRectangle"} << none << "actionSelect_region"
        << int(EvolveScene::Select);
    QTest::newRow("select clicked while checked stays")
        << QStringList{"actionSelect_region"} << none << "actionSelect_region"
        << int(EvolveScene::Select);
    QTest::newRow("draw plate leaves no drawing mode")
        << QStringList{"actionEllipse", "actionDraw_plate"} << none << "actionDraw_plate"
        << int(EvolveScene::NoShape);
    QTest::newRow("delete plate off returns to select")
        << QStringList{"actionDelete_plate", "actionDelete_plate"} << none << "actionSelect_region"
        << int(EvolveScene::Select);
    QTest::newRow("point load accepted")
        << QStringList{"actionLoad"} << DialogAnswer{true, {100, -50}, -1, true} << "actionLoad"
        << int(EvolveScene::PointLoad);
    QTest::newRow("point load cancelled")
        << QStringList{"actionLoad"} << DialogAnswer{true, {100, -50}, -1, false}
        << "actionSelect_region" << int(EvolveScene::Select);
    QTest::newRow("point load with zero forces")
        << QStringList{"actionLoad"} << DialogAnswer{true, {0, 0}, -1, true}
        << "actionSelect_region" << int(EvolveScene::Select);
    QTest::newRow("distributed load accepted")
        << QStringList{"actionRectangle", "actionDistributedLoad"}
        << DialogAnswer{true, {0, 10}, -1, true} << "actionDistributedLoad"
        << int(EvolveScene::DistributedLoad);
    QTest::newRow("constraint accepted")
        << QStringList{"actionFreedom"} << DialogAnswer{true, {}, 2, true} << "actionFreedom"
        << int(EvolveScene::Freedom);
    QTest::newRow("multiple constraints accepted")
        << QStringList{"actionFreedomRectSelect"} << DialogAnswer{true, {}, 0, true}
        << "actionFreedomRectSelect" << int(EvolveScene::FreedomRect);
    QTest::newRow("multiple constraints cancelled")
        << QStringList{"actionFreedomRectSelect"} << DialogAnswer{true, {}, 0, false}
        << "actionSelect_region" << int(EvolveScene::Select);
}

void TestMainWindow::toolRule() {
    QFETCH(QStringList, triggers);
    QFETCH(DialogAnswer, answer);
    QFETCH(QString, checkedTool);
    QFETCH(int, mode);
    for (int i = 0; i < triggers.size(); ++i) {
        if (i == triggers.size() - 1 && answer.expected)
            answerToolDialog(answer.values, answer.radio, answer.accept);
        window->action(triggers[i])->trigger();
    }
    QStringList checked;
    for (const QString& name : toolNames) {
        if (window->action(name)->isChecked())
            checked << name;
    }
    QCOMPARE(checked, QStringList{checkedTool});
    QCOMPARE(int(window->scene()->drawShape()), mode);
    const bool loadTool = checkedTool == "actionLoad" || checkedTool == "actionFreedom" ||
                          checkedTool == "actionFreedomRectSelect" ||
                          checkedTool == "actionDistributedLoad";
    if (!loadTool)
        QCOMPARE(window->canvas()->cursor().shape(), Qt::ArrowCursor);
}

void TestMainWindow::drawingToolClearsSelectionAndDisplacements() {
    EvolveScene* scene = window->scene();
    auto* shape = new EvolveRectangle(QRectF(20, 20, 60, 40));
    scene->addItem(shape);
    QGraphicsSceneMouseEvent press(QEvent::GraphicsSceneMousePress);
    press.setButton(Qt::LeftButton);
    press.setButtons(Qt::LeftButton);
    press.setScenePos(QPointF(50, 40));
    QApplication::sendEvent(scene, &press);
    QCOMPARE(scene->selectedShapes().size(), 1);
    window->action("actionShow_Displacements")->setChecked(true);

    window->action("actionEllipse")->trigger();
    QVERIFY(scene->selectedShapes().isEmpty());
    QVERIFY(!shape->isHighlighted());
    QVERIFY(!window->action("actionShow_Displacements")->isChecked());
    QCOMPARE(scene->drawShape(), EvolveScene::Ellipse);
}

void TestMainWindow::zoom_data() {
    QTest::addColumn<QStringList>("steps"); // in, out, undo, redo, or a factor to type
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("commands");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("in") << QStringList{"in"} << 1.1 << 1 << "'Zoom to 1.1'";
    QTest::newRow("in twice") << QStringList{"in", "in"} << 1.2 << 2 << "'Zoom to 1.2'";
    QTest::newRow("out") << QStringList{"out"} << 0.9 << 1 << "'Zoom to 0.9'";
    QTest::newRow("out stops at 0.2, each step one command")
        << QStringList(10, "out") << 0.2 << 10 << "'Zoom to 0.2'";
    QTest::newRow("in from 0.2") << (QStringList(9, "out") << "in") << 0.3 << 10 << "'Zoom to 0.3'";
    QTest::newRow("factor typed") << QStringList{"2.5"} << 2.5 << 1 << "'Zoom to 2.5'";
    QTest::newRow("factor then out") << QStringList{"2.5", "out"} << 2.4 << 2 << "'Zoom to 2.4'";
    QTest::newRow("factor cancelled") << QStringList{"cancel"} << 1.0 << 0 << "";
    QTest::newRow("in has no upper limit")
        << QStringList{"100", "in"} << 100.1 << 2 << "'Zoom to 100.1'";
    QTest::newRow("undo") << QStringList{"in", "in", "undo"} << 1.1 << 2 << "'Zoom to 1.1'";
    QTest::newRow("undo then redo")
        << QStringList{"in", "undo", "redo"} << 1.1 << 1 << "'Zoom to 1.1'";
    // After an undo the next step starts from the zoom on screen, and undoing it returns there.
    QTest::newRow("zoom after undo starts from the screen")
        << QStringList{"in", "in", "undo", "in"} << 1.2 << 2 << "'Zoom to 1.2'";
}

void TestMainWindow::zoom() {
    QFETCH(QStringList, steps);
    QFETCH(double, zoom);
    QFETCH(int, commands);
    QFETCH(QString, undoText);
    QUndoStack* stack = applicationUndoStack();
    for (const QString& step : steps) {
        if (step == "in")
            window->action("actionZoom_In")->trigger();
        else if (step == "out")
            window->action("actionZoom_Out")->trigger();
        else if (step == "undo")
            window->action("actionUndo")->trigger();
        else if (step == "redo")
            window->action("actionRedo")->trigger();
        else {
            answerInputDialog(step.toDouble(), step != "cancel");
            window->action("actionZoom_Factor")->trigger();
        }
    }
    QCOMPARE(window->canvas()->zoom(), zoom);
    QCOMPARE(window->zoomFactor(), zoom);
    QCOMPARE(window->canvas()->transform().m11(), zoom);
    QCOMPARE(stack->count(), commands);
    QCOMPARE(stack->undoText(), undoText);
    QCOMPARE(window->action("actionUndo")->text(),
             undoText.isEmpty() ? QString("Undo") : "Undo " + undoText);
    QCOMPARE(window->evolveStatusBar()->findChild<QLabel*>("zoomLabel")->text(),
             commands ? "Zoom x " + QString::number(zoom, 'g', 6) : QString("Zoom x 1"));

    // Undoing everything returns to the start.
    while (stack->canUndo())
        window->action("actionUndo")->trigger();
    QCOMPARE(window->canvas()->zoom(), 1.0);
}

void TestMainWindow::displayWidth_data() {
    QTest::addColumn<double>("metres");
    QTest::addColumn<bool>("accept");
    QTest::newRow("20 m") << 20.0 << true;
    QTest::newRow("narrowest") << 0.1 << true;
    QTest::newRow("cancelled") << 20.0 << false;
}

void TestMainWindow::displayWidth() {
    QFETCH(double, metres);
    QFETCH(bool, accept);
    EvolveScene* scene = window->scene();
    const double width = scene->sceneRect().width();
    const double before = scene->mmInPixel();
    const double nodeMetres = scene->pixelNodeDistance() * before;
    double offered = -1;
    answerNextDialog([&](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        if (!dialog)
            return void(w->close());
        offered = dialog->doubleValue();
        dialog->setDoubleValue(metres);
        accept ? dialog->accept() : dialog->reject();
    });
    window->action("actionWidth_mm")->trigger();
    QCOMPARE(offered, std::round(before * width * 100) / 100);
    const double expected = accept ? metres / width : before;
    QCOMPARE(scene->mmInPixel(), expected);
    QCOMPARE(window->mmInPixel(), expected);
    QCOMPARE(window->evolveStatusBar()->metresPerPixelValue(), expected);
    // The node spacing keeps its length in metres.
    QCOMPARE(scene->pixelNodeDistance() * scene->mmInPixel(), nodeMetres);
}

void TestMainWindow::clearScreenAsksFirst_data() {
    QTest::addColumn<QString>("actionName");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("yes");
    const QString clearText =
        "Clear screen|Are you sure you want to completely clear the entire screen?";
    const QString newText = "New|Are you sure you want to start a new design?";
    QTest::newRow("clear screen, no") << "actionClear_screen" << clearText << false;
    QTest::newRow("clear screen, yes") << "actionClear_screen" << clearText << true;
    QTest::newRow("new design, no") << "actionNew" << newText << false;
}

void TestMainWindow::clearScreenAsksFirst() {
    QFETCH(QString, actionName);
    QFETCH(QString, message);
    QFETCH(bool, yes);
    auto* shape = new EvolveRectangle(QRectF(20, 20, 60, 40));
    window->scene()->addItem(shape);
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString seen;
    clickMessageBox(yes ? QMessageBox::Yes : QMessageBox::No, &defaultButton, &seen);
    window->action(actionName)->trigger();
    QCOMPARE(seen, message);
    QCOMPARE(defaultButton, QMessageBox::No);
    QCOMPARE(shape->scene() == window->scene(), !yes);
    QCOMPARE(applicationUndoStack()->count(), yes ? 1 : 0);
}

void TestMainWindow::newDesignResetsEverything() {
    EvolveScene* scene = window->scene();
    window->action("actionZoom_In")->trigger();
    window->action("actionRectangle")->trigger();
    window->action("actionShow_Grid")->trigger();
    QVERIFY(scene->grid()->isShown());
    Materials::setDesign(Material{1e9, 0.2, 1000});
    scene->addItem(new EvolveRectangle(QRectF(20, 20, 60, 40)));

    clickMessageBox(QMessageBox::Yes, nullptr);
    window->action("actionNew")->trigger();

    QCOMPARE(applicationUndoStack()->count(), 0);
    QCOMPARE(Materials::design(), Material());
    QVERIFY(window->action("actionSelect_region")->isChecked());
    QVERIFY(!window->action("actionRectangle")->isChecked());
    QCOMPARE(scene->drawShape(), EvolveScene::Select);
    QVERIFY(!scene->grid()->isShown());
    QVERIFY(!window->action("actionShow_Grid")->isChecked());
    // The new drawing is 10 m wide, and the status bar reads metres on that scale.
    QCOMPARE(scene->mmInPixel() * scene->sceneRect().width(), 10.0);
    QCOMPARE(window->evolveStatusBar()->metresPerPixelValue(), scene->mmInPixel());
    for (QGraphicsItem* item : scene->items())
        QCOMPARE(item, static_cast<QGraphicsItem*>(scene->grid()));
}

void TestMainWindow::sceneSignalsReachWindow() {
    EvolveScene* scene = window->scene();
    EvolveStatusBar* bar = window->evolveStatusBar();
    scene->setMmInPixel(0.02);
    QCOMPARE(window->mmInPixel(), 0.02);
    emit scene->mouseMoved(QPointF(150, 80));
    QCOMPARE(bar->findChild<QLabel*>("coordinateLabel")->text(), QString("(X, Y) = (3.00, 1.60)"));
    emit scene->updatePlateId(12);
    QCOMPARE(bar->findChild<QLabel*>("elementLabel")->text(), QString("Element ID 12 "));
    emit scene->stressLoaded(true);
    QVERIFY(window->action("actionShow_Stresses")->isChecked());
    emit scene->displacementLoaded(true);
    QVERIFY(window->action("actionShow_Displacements")->isChecked());
    emit scene->showGridToolButtonEnsure(true);
    QVERIFY(window->action("actionShow_Grid")->isChecked());
    window->action("actionMovie")->setChecked(true);
    emit scene->movieStopped();
    QVERIFY(!window->action("actionMovie")->isChecked());
    window->action("actionRectangle")->trigger();
    emit scene->shapeDrawn();
    QVERIFY(window->action("actionSelect_region")->isChecked());
    QVERIFY(!window->action("actionRectangle")->isChecked());
    QCOMPARE(scene->drawShape(), EvolveScene::Select);
    window->action("actionAnti_Aliasing")->trigger();
    QVERIFY(!(window->canvas()->renderHints() & QPainter::Antialiasing));
    window->action("actionShow_Grid")->trigger();
    QVERIFY(!scene->grid()->isShown());
}

// Moving the mouse over the canvas without a button reaches the scene: the status bar follows.
void TestMainWindow::hoverShowsCoordinates() {
    QWidget* viewport = window->canvas()->viewport();
    QLabel* coordinates = window->evolveStatusBar()->findChild<QLabel*>("coordinateLabel");
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::mouseMove(viewport, QPoint(40, 40));
    QTest::mouseMove(viewport, QPoint(150, 80));
    const QPointF scenePos = window->canvas()->mapToScene(QPoint(150, 80));
    const double m = window->scene()->mmInPixel();
    QTRY_COMPARE(coordinates->text(), QString("(X, Y) = (%1, %2)")
                                          .arg(scenePos.x() * m, 0, 'f', 2)
                                          .arg(scenePos.y() * m, 0, 'f', 2));
}

void TestMainWindow::aboutBox() {
    QString seen;
    answerNextDialog([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box)
            return void(w->close());
        seen = box->windowTitle() + "|" + box->text().section('\n', 0, 0);
        box->accept();
    });
    window->action("actionAbout")->trigger();
    QCOMPARE(seen, QString("About Strukta|Strukta V1.0"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
