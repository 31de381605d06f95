#include "support/enginefixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include "drawing/evolvescene.h"
#include "engine_link/enginerun.h"
#include "loads/distributedloaditem.h"
#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"

EngineFixture::EngineFixture() {
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    QCoreApplication::setApplicationName("Strukta");
    QCoreApplication::setOrganizationName("Northfold");
    QDir().mkpath(workspace());
    const QString engine = EngineRun::engineProgram();
    QFile::copy(TOPAX_EXE, engine);
    QFile::setPermissions(engine, QFile::permissions(engine) | QFile::ExeOwner);
}

EngineFixture::~EngineFixture() {
    if (ownsScene) {
        delete mesh;
        delete scene;
    }
}

QString EngineFixture::workspace() const {
    return EngineRun::workspaceDir();
}

QByteArray EngineFixture::readWorkspaceFile(const QString& name) const {
    QFile file(workspaceFile(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

EvolveMesh* EngineFixture::buildMesh(double width, double height, double nodeSpacing) {
    spacing = nodeSpacing;
    scene = new EvolveScene;
    scene->setSceneRect(0, 0, width, height);
    scene->setMmInPixel(0.01);
    mesh = new EvolveMesh(spacing);
    scene->addItem(mesh);
    mesh->buildGrid(scene);
    return mesh;
}

EvolveMesh* EngineFixture::meshScene(EvolveScene* existing) {
    ownsScene = false;
    scene = existing;
    spacing = scene->pixelNodeDistance();
    scene->createMesh();
    mesh = scene->meshItem();
    return mesh;
}

PlateItem* EngineFixture::plate(int id) const {
    for (PlateItem* plate : mesh->plates()) {
        if (plate->id() == id)
            return plate;
    }
    return nullptr;
}

void EngineFixture::switchOn(int firstColumn, int lastColumn, int firstRow, int lastRow, int kind) {
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            MeshNode* node = mesh->nodeAt(QPointF(column * spacing, row * spacing));
            QVERIFY(node && node->anchorPlate);
            node->anchorPlate->switchOn(kind);
        }
    }
}

LoadItem* EngineFixture::addLoad(const QPointF& node, double fx, double fy) {
    auto* load = new LoadItem(LoadItem::nextId(), mesh);
    load->setForces(fx, fy);
    load->setAnchorPoint(node);
    load->attachTo(mesh->nodeAt(node), mesh);
    return load;
}

FreedomItem* EngineFixture::addConstraint(const QPointF& node, int freedom) {
    auto* constraint = new FreedomItem(FreedomItem::nextId(), mesh);
    constraint->setFreedom(freedom);
    constraint->setPos(node);
    constraint->attachTo(mesh->nodeAt(node), mesh);
    return constraint;
}

DistributedLoadItem* EngineFixture::addDistributedLoad(const QList<QPointF>& nodes, double fx,
                                                       double fy) {
    auto* load = new DistributedLoadItem(DistributedLoadItem::nextId(), mesh);
    load->setForces(fx, fy);
    QPolygonF line(nodes);
    line.append(nodes.first());
    load->setLine(line);
    return load;
}

void EngineFixture::onNextModal(const std::function<void(QWidget*)>& fn) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, fn] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        fn(modal);
    });
    timer->start();
}
