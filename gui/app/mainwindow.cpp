#include "mainwindow.h"

#include "drawing/evolvecanvas.h"
#include "drawing/evolvestatusbar.h"
#include "engine_link/enginelink.h"
#include "engine_link/legendwidget.h"
#include "engine_link/materials.h"
#include "engine_link/modelwriter.h"
#include "engine_link/property.h"
#include "mesh/evolvemesh.h"
#include "project/modelimport.h"
#include "project/projectfile.h"
#include "project/undostack.h"
#include "project/zoomcommand.h"
#include "resources/struktaresources.h"

#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>
#include <QUndoStack>
#include <QUrl>

#include <cmath>

namespace {

// One row of the action table. Texts are translated in the context "StruktaClass".
struct ActionRow {
    const char* name;
    const char* text;
    const char* toolTip;  // null: Qt derives it from the text
    const char* iconText; // null: the text
    const char* shortcut;
    const char* icon;   // file under ":/Strukta/Resources/", null: none
    const char* onIcon; // second file for the checked state
    bool checkable;
    bool checked;
    bool enabled;
};

#define TR(s) QT_TRANSLATE_NOOP("StruktaClass", s)

// clang-format off
const ActionRow actionTable[] = {
    {"actionNew", TR("&New"), nullptr, nullptr, nullptr, nullptr, nullptr, false, false, true},
    {"actionOpen", TR("&Open"), nullptr, nullptr, nullptr, nullptr, nullptr, false, false, true},
    {"action_Save", TR("&Save"), nullptr, nullptr, nullptr, nullptr, nullptr, false, false, true},
    {"action_Print", TR("&Print"), nullptr, nullptr, nullptr, nullptr, nullptr, false, false, false},
    {"actionP_rint_Setup", TR("P&rint Setup"), nullptr, nullptr, nullptr, nullptr, nullptr, false, false, false},
    {"actionE_xit", TR("E&xit"), nullptr, nullptr, nullptr, nullptr, nullptr, false, false, true},
    {"actionCut", TR("Cut"), nullptr, nullptr, "Ctrl+X", nullptr, nullptr, false, false, true},
    {"action_Copy", TR("&Copy"), nullptr, nullptr, "Ctrl+C", nullptr, nullptr, false, false, true},
    {"actionPaste", TR("Paste"), nullptr, nullptr, "Ctrl+V", nullptr, nullptr, false, false, true},
    {"actionHelp", TR("&Getting Started"), nullptr, nullptr, nullptr, nullptr, nullptr, false, false, true},
    {"actionAbout", TR("&About"), nullptr, nullptr, nullptr, nullptr, nullptr, false, false, true},
    {"actionZoom_In", TR("Zoom In"), nullptr, nullptr, nullptr, "zoomin.png", nullptr, false, false, true},
    {"actionZoom_Out", TR("Zoom Out"), nullptr, nullptr, nullptr, "zoomout.png", nullptr, false, false, true},
    {"actionZoom_Factor", TR("Zoom Factor"), nullptr, nullptr, nullptr, "zoomfactor.png", nullptr, false, false, true},
    {"actionDraw", TR("Draw"), nullptr, nullptr, nullptr, "Draw.png", nullptr, true, false, true},
    {"actionDraw_Evolvable", TR("Draw Design"), TR("Draw designable region"), nullptr, nullptr, "evolvable.png", nullptr, true, true, true},
    {"actionDraw_non_evolvable", TR("Draw Non-Design"), TR("Draw non-designable region"), nullptr, nullptr, "Non-evolvable.png", nullptr, true, false, true},
    {"actionEllipse", TR("Ellipse"), nullptr, nullptr, nullptr, "ellipse.png", nullptr, true, false, true},
    {"actionRectangle", TR("Rectangle"), nullptr, nullptr, nullptr, "rectangle.png", nullptr, true, false, true},
    {"actionPolygon", TR("Polygon"), TR("Polygon (ctrl-click to complete)"), nullptr, nullptr, "polygon.png", nullptr, true, false, true},
    {"actionSelect_region", TR("Select region"), nullptr, nullptr, nullptr, "selectregion.png", nullptr, true, false, true},
    {"actionClear_screen", TR("Clear screen"), nullptr, nullptr, nullptr, "clearscreen.png", nullptr, false, false, true},
    {"actionAnti_Aliasing", TR("Anti-Aliasing"), nullptr, nullptr, nullptr, nullptr, nullptr, true, true, true},
    {"actionWidth_mm", TR("Specify display width"), nullptr, nullptr, nullptr, "widthmm.png", nullptr, false, false, true},
    {"actionDraw_Mesh", TR("Draw Mesh"), TR("Generate finite element mesh"), nullptr, nullptr, "createmesh.png", nullptr, false, false, true},
    {"actionDelete_plate", TR("Delete plate"), TR("Delete elements from mesh"), nullptr, nullptr, "deleteplate.png", nullptr, true, false, true},
    {"actionClear_Mesh", TR("Clear Mesh"), TR("Delete entire finite element mesh"), nullptr, nullptr, "clearmesh.png", nullptr, false, false, true},
    {"actionDraw_plate", TR("Draw plate"), TR("Add new elements to mesh"), nullptr, nullptr, "createplate.png", nullptr, true, false, true},
    {"actionLoad", TR("Load"), TR("Apply point load"), TR("Apply load"), nullptr, "load.png", nullptr, true, false, true},
    {"actionFreedom", TR("Freedom"), TR("Apply constraint to individual nodes"), TR("Apply freedom condition"), nullptr, "freedom.png", nullptr, true, false, true},
    {"actionDistributedLoad", TR("Distributed Load"), TR("Apply distributed Load"), TR("Distributed Load"), nullptr, "distributedload.png", nullptr, true, false, true},
    {"actionFEA", TR("FEA"), TR("Carry out FEA"), nullptr, nullptr, "fea.png", nullptr, false, false, true},
    {"actionESO", TR("TOPAX"), TR("Start TOPAX"), nullptr, nullptr, "Opt.png", nullptr, false, false, true},
    {"actionUnEvolve", TR("Show intermediate design"), TR("Show intermediate design"), nullptr, nullptr, "Interm.png", nullptr, false, false, true},
    {"actionPlot", TR("Plot"), TR("Plot TOPAX histories"), nullptr, nullptr, "plot.png", nullptr, false, false, true},
    {"actionMovie", TR("Movie"), nullptr, nullptr, nullptr, "movie.png", nullptr, true, false, true},
    {"actionRevert", TR("Revert"), nullptr, nullptr, nullptr, "revert.png", nullptr, false, false, true},
    {"actionSavePicture", TR("Save picture"), TR("Save display area to an image file"), TR("Save picture"), nullptr, "SaveScreenshot.png", nullptr, false, false, true},
    {"actionSet_Property", TR("Set material property"), TR("Set material property"), nullptr, nullptr, "setProperties.PNG", nullptr, false, false, true},
    {"actionShow_Stresses", TR("Show Stresses"), TR("Show stresses"), nullptr, nullptr, "showstresses.PNG", "showstresseson.png", true, false, true},
    {"actionShow_Displacements", TR("Show Displacements"), TR("Show displacements"), nullptr, nullptr, "showdisplacements.PNG", "showdisplacementson.png", true, false, true},
    {"actionCircle", TR("Draw Circle"), TR("Draw circle"), TR("Draw Circle"), nullptr, "circle.png", nullptr, true, false, true},
    {"actionGrid_Width", TR("Grid Width"), nullptr, nullptr, nullptr, "gridwidthmm.PNG", nullptr, false, false, true},
    {"actionShow_Grid", TR("Show Grid"), TR("Show grid"), nullptr, nullptr, "gridon.PNG", nullptr, true, false, true},
    {"actionSquare", TR("Draw Square"), nullptr, nullptr, nullptr, "square.png", nullptr, true, false, true},
    {"actionSubtraction", TR("Subtraction"), nullptr, nullptr, nullptr, "subtract.PNG", nullptr, true, false, true},
    {"actionFreedomRectSelect", TR("Multiple Freedom Node"), TR("Apply constraint to multiple nodes"), nullptr, nullptr, "multifreedoms.PNG", nullptr, true, false, true},
    {"actionExport_Model", TR("Export Model"), nullptr, nullptr, nullptr, nullptr, nullptr, false, false, true},
    {"actionImport_Model", TR("Import Model"), nullptr, nullptr, nullptr, nullptr, nullptr, false, false, true},
};
// clang-format on

#undef TR

QString trUi(const char* text) {
    return QCoreApplication::translate("StruktaClass", text);
}

// Menus and toolbars as object names; "|" is a separator.
// clang-format off
const char* const fileMenu[] = {
    "actionNew", "actionOpen", "|",
    "action_Save", "|",
    "action_Print", "actionP_rint_Setup", "|",
    "actionExport_Model", "actionImport_Model", "|",
    "actionE_xit"};
const char* const editMenu[] = {"actionCut", "action_Copy", "actionPaste", "|"};
const char* const helpMenu[] = {"actionHelp", "actionAbout"};
const char* const mainTools[] = {
    "actionZoom_In", "actionZoom_Out", "actionZoom_Factor", "|",
    "actionSavePicture", "|",
    "actionWidth_mm", "actionGrid_Width", "actionShow_Grid", "|",
    "actionClear_screen"};
const char* const drawTools[] = {
    "actionDraw_Evolvable", "actionDraw_non_evolvable", "actionSubtraction", "|",
    "actionSelect_region", "actionRectangle", "actionEllipse", "actionCircle", "actionPolygon", "|",
    "actionDraw_Mesh", "actionDelete_plate", "actionDraw_plate", "actionClear_Mesh", "|",
    "actionFreedom", "actionFreedomRectSelect", "actionLoad", "actionDistributedLoad",
    "actionSet_Property", "|",
    "actionFEA", "actionESO"};
const char* const viewTools[] = {
    "actionShow_Displacements", "actionShow_Stresses", "|",
    "actionUnEvolve", "actionPlot", "actionMovie", "actionRevert"};
// clang-format on

// The confirmations of the window all default to No.
bool confirm(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

// Zoom steps of 0.1 accumulate binary fractions; keeping six decimals makes 1.1 + 0.1 exactly
// the 1.2 a user expects in the status bar and the undo text.
double tidyZoom(double z) {
    return std::round(z * 1e6) / 1e6;
}

} // namespace

Strukta::Strukta(QWidget* parent) : QMainWindow(parent) {
    initStruktaResources();
    setupUi();

    regionKindGroup = new QActionGroup(this);
    regionKindGroup->setExclusive(true);
    regionKindGroup->addAction(action("actionDraw_Evolvable"));
    regionKindGroup->addAction(action("actionDraw_non_evolvable"));
    regionKindGroup->addAction(action("actionSubtraction"));
    esoToolbar->hide();

    statusBarWidget = new EvolveStatusBar(this);
    setStatusBar(statusBarWidget);

    evolveCanvas = new EvolveCanvas(central);
    evolveCanvas->setObjectName("canvas");
    evolveCanvas->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Moves without a button pressed must reach the scene too: they drive the coordinate
    // read-out and the grid's pointer snapping. A view tracks the mouse only on demand otherwise.
    evolveCanvas->viewport()->setMouseTracking(true);
    horizontalLayout->addWidget(evolveCanvas);
    LegendWidget* legend = LegendWidget::instance();
    legend->setMinimumWidth(170);
    horizontalLayout->addWidget(legend);
    legend->hide();

    evolveScene = new EvolveScene(this);
    evolveCanvas->setScene(evolveScene);
    evolveCanvas->centerOn(0, 0);

    makeConnections();

    undoAction = applicationUndoStack()->createUndoAction(this, QString());
    undoAction->setObjectName("actionUndo");
    undoAction->setShortcuts(QKeySequence::Undo);
    undoAction->setIcon(QIcon(":/Strukta/Resources/undo.png"));
    redoAction = applicationUndoStack()->createRedoAction(this, QString());
    redoAction->setObjectName("actionRedo");
    redoAction->setShortcuts(QKeySequence::Redo);
    redoAction->setIcon(QIcon(":/Strukta/Resources/redo.png"));
    mainToolBar->addAction(undoAction);
    mainToolBar->addAction(redoAction);
    menuEdit->addAction(undoAction);
    menuEdit->addAction(redoAction);

    evolveCanvas->setRenderHint(QPainter::Antialiasing, true);
    actionSelect_region->setChecked(true);
    evolveScene->setDrawShape(EvolveScene::Select);
    evolveScene->setMmInPixel(0.01);

    // Without a window manager nothing would maximize the window, so it starts at the size of
    // the screen's available area either way.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    showMaximized();
    // The viewport as it is without scroll bars: the scene is made to fit, so none will show.
    const QSize viewport = evolveCanvas->maximumViewportSize();
    evolveScene->setSceneSize(QRectF(0, 0, viewport.width() - 4, viewport.height() - 4));
    evolveScene->showGrid(false);
}

Strukta::~Strukta() {
    // The legend is shared by the whole program; it must outlive this window's layout.
    LegendWidget* legend = LegendWidget::instance();
    if (legend->parentWidget() && isAncestorOf(legend)) {
        legend->hide();
        legend->setParent(nullptr);
    }
}

QAction* Strukta::action(const QString& objectName) const {
    return findChild<QAction*>(objectName, Qt::FindDirectChildrenOnly);
}

void Strukta::createActions() {
    for (const ActionRow& row : actionTable) {
        auto* a = new QAction(this);
        a->setObjectName(row.name);
        a->setText(trUi(row.text));
        if (row.toolTip)
            a->setToolTip(trUi(row.toolTip));
        if (row.iconText)
            a->setIconText(trUi(row.iconText));
        if (row.shortcut)
            a->setShortcut(QKeySequence(trUi(row.shortcut)));
        if (row.icon) {
            QIcon icon;
            icon.addFile(QString(":/Strukta/Resources/") + row.icon, QSize(), QIcon::Normal,
                         QIcon::Off);
            if (row.onIcon)
                icon.addFile(QString(":/Strukta/Resources/") + row.onIcon, QSize(), QIcon::Normal,
                             QIcon::On);
            a->setIcon(icon);
        }
        a->setCheckable(row.checkable);
        a->setChecked(row.checked);
        a->setEnabled(row.enabled);
    }
}

void Strukta::setupUi() {
    setObjectName("StruktaClass");
    setWindowTitle(trUi("Strukta"));
    resize(893, 712);
    setWindowIcon(QIcon(":/Strukta/Resources/Strukta.ico"));

    createActions();

    central = new QWidget(this);
    central->setObjectName("centralWidget");
    horizontalLayout = new QHBoxLayout(central);
    horizontalLayout->setObjectName("horizontalLayout");
    horizontalLayout->setSpacing(6);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    setCentralWidget(central);

    auto fill = [this](auto* widget, const auto& names) {
        for (const char* name : names) {
            if (QByteArray(name) == "|")
                widget->addSeparator();
            else
                widget->addAction(action(name));
        }
    };

    auto* bar = new QMenuBar(this);
    bar->setObjectName("menuBar");
    setMenuBar(bar);
    menuFile = bar->addMenu(trUi("File"));
    menuFile->setObjectName("menuFile");
    menuEdit = bar->addMenu(trUi("Edit"));
    menuEdit->setObjectName("menuEdit");
    menuHelp = bar->addMenu(trUi("Help"));
    menuHelp->setObjectName("menuHelp");
    fill(menuFile, fileMenu);
    fill(menuEdit, editMenu);
    fill(menuHelp, helpMenu);

    mainToolBar = new QToolBar(trUi("Main Toolbar"), this);
    mainToolBar->setObjectName("mainToolBar");
    drawToolbar = new QToolBar(trUi("Draw/Run Toolbar"), this);
    drawToolbar->setObjectName("drawToolbar");
    esoToolbar = new QToolBar(trUi("View Toolbar"), this);
    esoToolbar->setObjectName("esoToolbar");
    addToolBar(Qt::TopToolBarArea, mainToolBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, drawToolbar);
    addToolBar(Qt::TopToolBarArea, esoToolbar);
    fill(mainToolBar, mainTools);
    fill(drawToolbar, drawTools);
    fill(esoToolbar, viewTools);

    actionSelect_region = action("actionSelect_region");
    actionEllipse = action("actionEllipse");
    actionRectangle = action("actionRectangle");
    actionSquare = action("actionSquare");
    actionCircle = action("actionCircle");
    actionPolygon = action("actionPolygon");
    actionDraw_plate = action("actionDraw_plate");
    actionDelete_plate = action("actionDelete_plate");
    actionLoad = action("actionLoad");
    actionFreedom = action("actionFreedom");
    actionFreedomRectSelect = action("actionFreedomRectSelect");
    actionDistributedLoad = action("actionDistributedLoad");
    actionShow_Stresses = action("actionShow_Stresses");
    actionShow_Displacements = action("actionShow_Displacements");
    actionMovie = action("actionMovie");
    toolActions = {actionEllipse,
                   actionCircle,
                   actionSquare,
                   actionRectangle,
                   actionPolygon,
                   actionSelect_region,
                   actionDraw_plate,
                   actionDelete_plate,
                   actionLoad,
                   actionFreedom,
                   actionFreedomRectSelect,
                   actionDistributedLoad};
}

void Strukta::makeConnections() {
    auto on = [this](const char* name, auto slot) {
        connect(action(name), &QAction::triggered, this, slot);
    };
    on("actionClear_screen", &Strukta::clearCanvas);
    on("actionZoom_In", &Strukta::ZoomIn);
    on("actionZoom_Out", &Strukta::ZoomOut);
    on("actionZoom_Factor", &Strukta::ZoomFactor);
    connect(action("actionDraw_Evolvable"), &QAction::toggled, this, &Strukta::drawEvolvable);
    connect(action("actionSubtraction"), &QAction::toggled, this, &Strukta::drawSubtraction);
    connect(action("actionDraw_non_evolvable"), &QAction::toggled, this,
            &Strukta::drawNonEvolvable);
    on("actionWidth_mm", &Strukta::getWidthInMM);
    connect(action("actionAnti_Aliasing"), &QAction::toggled, this, &Strukta::setAntiAliased);
    connect(action("actionE_xit"), &QAction::triggered, qApp, &QCoreApplication::quit);
    connect(evolveScene, &EvolveScene::mouseMoved, statusBarWidget,
            &EvolveStatusBar::setMouseCoOrdinates);
    on("actionDraw_Mesh", &Strukta::drawMesh);
    on("actionCut", &Strukta::cut);
    on("action_Copy", &Strukta::copy);
    on("actionPaste", &Strukta::paste);
    on("actionFEA", &Strukta::doFEA);
    on("actionESO", &Strukta::doESO);
    connect(action("actionUnEvolve"), &QAction::triggered, evolveScene, &EvolveScene::unEvolve);
    connect(action("actionPlot"), &QAction::triggered, evolveScene, &EvolveScene::plotESO);
    connect(action("actionRevert"), &QAction::triggered, evolveScene, &EvolveScene::revertESO);
    connect(actionMovie, &QAction::triggered, evolveScene, &EvolveScene::runMovie);
    connect(evolveScene, &EvolveScene::movieStopped, this, &Strukta::movieStopped);
    connect(action("actionSavePicture"), &QAction::triggered, evolveScene,
            &EvolveScene::saveCanvasToImageFile);
    on("actionSet_Property", &Strukta::setProperties);
    connect(evolveScene, &EvolveScene::updatePlateId, statusBarWidget,
            &EvolveStatusBar::setPlateId);
    on("actionShow_Stresses", &Strukta::showStresses);
    on("actionShow_Displacements", &Strukta::showDisplacements);
    connect(evolveScene, &EvolveScene::stressLoaded, this, &Strukta::stressLoaded);
    connect(evolveScene, &EvolveScene::displacementLoaded, this, &Strukta::displacementLoaded);
    connect(evolveScene, &EvolveScene::shapeDrawn, this, &Strukta::resetToolButton);
    connect(evolveScene, &EvolveScene::mmInPixelChanged, this, &Strukta::mmInPixelChanged);
    connect(action("actionGrid_Width"), &QAction::triggered, evolveScene,
            &EvolveScene::setGridWidth);
    connect(action("actionShow_Grid"), &QAction::triggered, evolveScene, &EvolveScene::showGrid);
    on("actionNew", &Strukta::newproject);
    on("action_Save", &Strukta::save);
    on("actionOpen", &Strukta::open);
    connect(evolveScene, &EvolveScene::showGridToolButtonEnsure, action("actionShow_Grid"),
            &QAction::setChecked);
    on("actionExport_Model", &Strukta::exportModel);
    on("actionImport_Model", &Strukta::importModel);
    on("actionAbout", &Strukta::about);
    on("actionHelp", &Strukta::getstarted);
    for (QAction* a : {actionEllipse, actionCircle, actionSquare, actionRectangle, actionPolygon,
                       actionSelect_region, actionLoad, actionFreedom, actionFreedomRectSelect,
                       actionDistributedLoad})
        connect(a, &QAction::triggered, this, &Strukta::testDrawAction);
    on("actionDraw", &Strukta::drawToggled);
    on("actionDraw_plate", &Strukta::setMeshAction);
    on("actionDelete_plate", &Strukta::setMeshAction);
    on("actionClear_Mesh", &Strukta::clearMesh);
    connect(this, &Strukta::drawShape, evolveScene, &EvolveScene::setDrawShape);
}

// ---------------------------------------------------------------------------------------------
// Drawing tools

void Strukta::applyToolExclusivity(QAction* changed) {
    for (QAction* a : toolActions) {
        if (a != changed && a->isChecked())
            a->setChecked(false);
    }
    auto anyChecked = [](std::initializer_list<QAction*> actions) {
        return std::any_of(actions.begin(), actions.end(),
                           [](QAction* a) { return a->isChecked(); });
    };
    if (!anyChecked({actionEllipse, actionRectangle, actionCircle, actionSquare, actionPolygon,
                     actionSelect_region, actionLoad, actionFreedom, actionFreedomRectSelect,
                     actionDistributedLoad}))
        evolveScene->setDrawShape(EvolveScene::NoShape);
    if (!anyChecked({actionDraw_plate, actionDelete_plate}))
        evolveScene->setMeshEditMode(0);
    if (!anyChecked({actionLoad, actionFreedom, actionFreedomRectSelect, actionDistributedLoad}))
        evolveCanvas->setCursor(Qt::ArrowCursor);
    if (!changed->isChecked()) {
        actionSelect_region->setChecked(true);
        evolveScene->setDrawShape(EvolveScene::Select);
    }
}

void Strukta::selectRegionTool() {
    actionSelect_region->setChecked(true);
    setDrawShape(actionSelect_region);
    applyToolExclusivity(actionSelect_region);
}

void Strukta::setDrawShape(QAction* shapeAction) {
    if (shapeAction == actionEllipse)
        emit drawShape(EvolveScene::Ellipse);
    else if (shapeAction == actionRectangle)
        emit drawShape(EvolveScene::Rectangle);
    else if (shapeAction == actionSquare)
        emit drawShape(EvolveScene::Square);
    else if (shapeAction == actionCircle)
        emit drawShape(EvolveScene::Circle);
    else if (shapeAction == actionPolygon)
        emit drawShape(EvolveScene::Polygon);
    else if (shapeAction == actionSelect_region)
        evolveScene->setDrawShape(EvolveScene::Select);
    else if (shapeAction == actionLoad)
        applyLoad(true);
    else if (shapeAction == actionFreedom)
        applyFreedom(true);
    else if (shapeAction == actionFreedomRectSelect)
        applyFreedomRectSelect(true);
    else if (shapeAction == actionDistributedLoad)
        applyDistributedLoad(true);
}

void Strukta::testDrawAction() {
    auto* a = qobject_cast<QAction*>(sender());
    if (!a)
        return;
    if (a->isChecked() && a != actionSelect_region) {
        actionShow_Displacements->setChecked(false);
        showDisplacements(false);
        evolveScene->clearShapeSelection();
    }
    if (a->isChecked())
        setDrawShape(a);
    applyToolExclusivity(a);
}

void Strukta::resetToolButton() {
    selectRegionTool();
}

void Strukta::applyLoad(bool) {
    if (!evolveScene->choosePointLoad()) {
        actionLoad->setChecked(false);
        applyToolExclusivity(actionLoad);
    }
}

void Strukta::applyFreedom(bool) {
    if (!evolveScene->chooseConstraint()) {
        actionFreedom->setChecked(false);
        applyToolExclusivity(actionFreedom);
    }
}

void Strukta::applyFreedomRectSelect(bool) {
    if (!evolveScene->chooseMultipleConstraints()) {
        actionFreedomRectSelect->setChecked(false);
        applyToolExclusivity(actionFreedomRectSelect);
    }
}

void Strukta::applyDistributedLoad(bool) {
    if (!evolveScene->chooseDistributedLoad()) {
        actionDistributedLoad->setChecked(false);
        applyToolExclusivity(actionDistributedLoad);
    }
}

void Strukta::setMeshAction(bool on) {
    auto* a = qobject_cast<QAction*>(sender());
    if (a == actionDraw_plate)
        evolveScene->setMeshEditMode(on ? 1 : 0);
    else if (a == actionDelete_plate)
        evolveScene->setMeshEditMode(on ? 2 : 0);
    else
        return;
    applyToolExclusivity(a);
}

void Strukta::drawEvolvable(bool toggle) {
    if (toggle)
        evolveScene->setEvolveMode(Design);
}

void Strukta::drawNonEvolvable(bool toggle) {
    if (toggle)
        evolveScene->setEvolveMode(NonDesign);
}

void Strukta::drawSubtraction(bool toggle) {
    if (toggle)
        evolveScene->setEvolveMode(Subtraction);
}

void Strukta::drawToggled(bool toggle) {
    drawToolbar->setVisible(toggle);
    if (!toggle) {
        evolveScene->setDrawShape(EvolveScene::NoShape);
        return;
    }
    for (QAction* a : {actionEllipse, actionRectangle, actionPolygon, actionSelect_region,
                       actionDraw_plate, actionDelete_plate, actionLoad, actionFreedom}) {
        if (a->isChecked()) {
            setDrawShape(a);
            applyToolExclusivity(a);
            return;
        }
    }
    applyToolExclusivity(actionSelect_region);
}

void Strukta::setAntiAliased(bool toggle) {
    evolveCanvas->setRenderHint(QPainter::Antialiasing, toggle);
}

// ---------------------------------------------------------------------------------------------
// Zoom and scale

void Strukta::pushZoom(double newZoom) {
    // Undo and redo change the canvas zoom behind the window's back; the canvas holds the truth.
    const double old = evolveCanvas->zoom();
    applicationUndoStack()->push(new ZoomCommand(evolveCanvas, old, newZoom));
}

double Strukta::zoomFactor() const {
    return evolveCanvas->zoom();
}

void Strukta::ZoomIn() {
    pushZoom(tidyZoom(evolveCanvas->zoom() + 0.1));
}

void Strukta::ZoomOut() {
    pushZoom(tidyZoom(std::max(evolveCanvas->zoom() - 0.1, 0.2)));
}

void Strukta::ZoomFactor() {
    bool ok = false;
    const double answer =
        QInputDialog::getDouble(this, tr("Input Zoom factor"), tr("Please enter zoom factor"),
                                evolveCanvas->zoom(), 0.2, 100, 1, &ok);
    if (ok)
        pushZoom(answer);
}

void Strukta::getWidthInMM() {
    const double width = evolveScene->sceneRect().width();
    bool ok = false;
    const double answer = QInputDialog::getDouble(this, tr("Width of display area"),
                                                  tr("Please enter display area width"),
                                                  metresPerPixel * width, 0.1, 2147483647, 2, &ok);
    if (!ok || width <= 0)
        return;
    metresPerPixel = answer / width;
    evolveScene->setMmInPixel(metresPerPixel);
}

void Strukta::mmInPixelChanged(qreal) {
    metresPerPixel = evolveScene->mmInPixel();
    statusBarWidget->setMetresPerPixel(metresPerPixel);
}

// ---------------------------------------------------------------------------------------------
// Confirmations and commands routed to the scene

void Strukta::clearCanvas() {
    if (confirm(this, tr("Clear screen"),
                tr("Are you sure you want to completely clear the entire screen?")))
        evolveScene->clearScene();
}

void Strukta::clearMesh() {
    if (confirm(this, tr("Clear mesh"), tr("Are you sure you want to clear the mesh?")))
        evolveScene->deleteMesh();
}

void Strukta::newproject() {
    if (!confirm(this, tr("New"), tr("Are you sure you want to start a new design?")))
        return;
    evolveScene->clearScene();
    evolveScene->resetParameters();
    applicationUndoStack()->clear();
    Materials::resetDesign();
    selectRegionTool();
}

void Strukta::drawMesh() {
    evolveScene->generateMesh();
}

void Strukta::cut() {
    evolveScene->cut();
}

void Strukta::copy() {
    evolveScene->copy();
}

void Strukta::paste() {
    evolveScene->paste();
}

// The runs belong to the mesh (its engine link); without a mesh these only reset the tool.
void Strukta::doFEA() {
    selectRegionTool();
    if (EvolveMesh* mesh = evolveScene->meshItem())
        EngineLink::of(mesh)->runAnalysis();
}

void Strukta::doESO() {
    selectRegionTool();
    if (EvolveMesh* mesh = evolveScene->meshItem())
        EngineLink::of(mesh)->startOptimization(this);
}

void Strukta::movieStopped() {
    actionMovie->setChecked(false);
}

void Strukta::setProperties() {
    Property::editDesignMaterial(this);
}

void Strukta::showStresses(bool checked) {
    evolveScene->showStresses(checked);
}

void Strukta::showDisplacements(bool checked) {
    evolveScene->showDisplacements(checked);
}

void Strukta::stressLoaded(bool enabled) {
    actionShow_Stresses->setChecked(enabled);
}

void Strukta::displacementLoaded(bool enabled) {
    actionShow_Displacements->setChecked(enabled);
}

void Strukta::save() {
    const QString name = QFileDialog::getSaveFileName(this, tr("Choose export file"), QString(),
                                                      tr("XML file (*.xml)"));
    if (name.isEmpty())
        return;
    QString error;
    if (!ProjectFile::save(evolveScene, name, &error))
        QMessageBox::warning(this, tr("Save"),
                             tr("The project could not be saved:\n%1").arg(error));
}

void Strukta::open() {
    const QString name = QFileDialog::getOpenFileName(this, tr("Choose file to import"), QString(),
                                                      tr("XML file (*.xml)"));
    if (!name.isEmpty())
        openProject(name);
}

void Strukta::openProject(const QString& path) {
    if (!ProjectFile::openWithMessages(this, evolveScene, path))
        return;
    static const char* const kindActions[] = {"actionDraw_Evolvable", "actionDraw_non_evolvable",
                                              "actionSubtraction"};
    const int kind = evolveScene->evolveMode();
    if (kind >= Design && kind <= Subtraction)
        action(kindActions[kind])->setChecked(true);
}

// Saving the model text is the model writer's (engine link); until it is wired this command does
// nothing rather than ask for a file in vain.
void Strukta::exportModel() {
    if (EvolveMesh* mesh = evolveScene->meshItem())
        ModelWriter::exportModel(mesh, this);
}

void Strukta::importModel() {
    ModelImport::importModelFile(evolveScene, this);
}

void Strukta::about() {
    QMessageBox::about(
        QApplication::activeWindow() ? QApplication::activeWindow() : this, tr("About Strukta"),
        tr("Strukta V1.0\n\n"
           "A workbench for two-dimensional topology optimization by bi-directional "
           "evolutionary structural optimization.\n\n"
           "Draw a design domain, mesh it, apply loads and constraints, then run one finite "
           "element analysis or a whole optimization with the TOPAX engine."));
}

void Strukta::getstarted() {
    // The guide is compiled into the program and written out next to the workspace, so it
    // opens the same way from a build tree and from an installed program.
    const QString dir =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/Manual";
    const QString path = dir + "/Strukta_Getting_Started.html";
    QDir().mkpath(dir);
    QFile::remove(path);
    bool ok = QFile::copy(":/Strukta/Manual/getting-started.html", path);
    if (ok)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                        QFile::ReadOther);
    ok = ok && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    if (!ok)
        QMessageBox::warning(this, tr("Getting Started"),
                             tr("The guide could not be opened. It is at\n%1").arg(path));
}
