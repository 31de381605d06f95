#include "project/projectfile.h"

#include "drawing/evolveellipse.h"
#include "drawing/evolvepolygon.h"
#include "drawing/evolverectangle.h"
#include "drawing/evolvescene.h"
#include "drawing/griditem.h"
#include "drawing/itemtypes.h"
#include "engine_link/materials.h"
#include "engine_link/resultdisplay.h"
#include "loads/distributedloaditem.h"
#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"
#include "project/undostack.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMessageBox>
#include <QPainterPath>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QUndoStack>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>
#include <limits>

QString ProjectFile::decode(const QByteArray& raw) {
    QByteArray bytes = raw;
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);

    static const QRegularExpression declaration(
        QStringLiteral("^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([A-Za-z0-9._-]+)[\"']"));
    const QRegularExpressionMatch match = declaration.match(QString::fromLatin1(bytes.left(200)));
    if (match.hasMatch()) {
        const QString name = match.captured(1).toLower();
        if (name != QLatin1String("utf-8") && name != QLatin1String("utf8"))
            return QString::fromLatin1(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

ProjectFile::Problem ProjectFile::check(const QString& text) {
    QXmlStreamReader xml(text);
    bool rootSeen = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && !rootSeen) {
            rootSeen = true;
            if (xml.name() != QLatin1String("scene"))
                return {xml.lineNumber(),
                        QStringLiteral("the document element is <%1>, not <scene>")
                            .arg(xml.name().toString())};
        }
    }
    if (xml.hasError())
        return {xml.lineNumber(), xml.errorString()};
    if (!rootSeen)
        return {xml.lineNumber(), QStringLiteral("the document holds no <scene> element")};
    return {};
}

bool ProjectFile::save(EvolveScene* scene, const QString& path, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    file.write(writeProject(scene).toUtf8());
    if (!file.commit()) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool ProjectFile::open(EvolveScene* scene, const QString& path, QString* error,
                       QStringList* warnings) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const QString text = decode(file.readAll());
    file.close();
    const Problem problem = check(text);
    if (!problem.reason.isEmpty()) {
        *error = QStringLiteral("%1, line %2: %3").arg(path).arg(problem.line).arg(problem.reason);
        return false;
    }
    const QStringList unread = readProject(scene, text);
    if (warnings)
        *warnings = unread;
    return true;
}

bool ProjectFile::openWithMessages(QWidget* parent, EvolveScene* scene, const QString& path) {
    QString error;
    QStringList warnings;
    if (!open(scene, path, &error, &warnings)) {
        QMessageBox::warning(parent, QStringLiteral("Open"),
                             QStringLiteral("The project could not be read:\n%1\n\nThe current "
                                            "design is unchanged.")
                                 .arg(error));
        return false;
    }
    if (!warnings.isEmpty()) {
        // A long list of damaged parts is cut; the first ones say what is wrong.
        const int shown = 12;
        QStringList lines = warnings.mid(0, shown);
        if (warnings.size() > shown)
            lines.append(QStringLiteral("... and %1 more").arg(warnings.size() - shown));
        QMessageBox::warning(parent, QStringLiteral("Open"),
                             QStringLiteral("Parts of %1 could not be read and were left out or "
                                            "read as 0:\n%2")
                                 .arg(path, lines.join(QLatin1Char('\n'))));
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Writing

namespace {

QString number(double value) {
    return QString::number(value, 'g', 6);
}

QString numberList(std::initializer_list<double> values) {
    QStringList parts;
    for (double value : values)
        parts.append(number(value));
    return parts.join(QLatin1Char(','));
}

QString loadRecord(const EvolveScene::LoadParameters& p) {
    return numberList({p.xforce, p.yforce, p.accelx, p.accely});
}

void writeShape(QXmlStreamWriter& xml, QGraphicsItem* item) {
    BaseItem* base = shapeBase(item);
    QString dimensions;
    if (item->type() == EvolvePolygon::Type) {
        const QPainterPath path = static_cast<EvolvePolygon*>(item)->path();
        QStringList entries;
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPainterPath::Element e = path.elementAt(i);
            entries.append(number(e.x) + QLatin1Char(':') + number(e.y) + QLatin1Char(':') +
                           QString::number(int(e.type)));
        }
        dimensions = entries.join(QLatin1Char(','));
        xml.writeStartElement(QStringLiteral("polygon"));
    } else {
        const QRectF r = item->type() == EvolveEllipse::Type
                             ? static_cast<EvolveEllipse*>(item)->rect()
                             : static_cast<EvolveRectangle*>(item)->rect();
        dimensions = numberList({r.x(), r.y(), r.width(), r.height()});
        xml.writeStartElement(item->type() == EvolveEllipse::Type ? QStringLiteral("ellipse")
                                                                  : QStringLiteral("rectangle"));
    }
    xml.writeAttribute(QStringLiteral("dimensions"), dimensions);
    xml.writeAttribute(QStringLiteral("evolvemode"), QString::number(base->evolveMode()));
    const MaterialRecord m = base->material();
    xml.writeAttribute(QStringLiteral("property"), numberList({m.yMod, m.poisson, m.density}));
    xml.writeEndElement();
}

void writePos(QXmlStreamWriter& xml, const QPointF& pos) {
    xml.writeAttribute(QStringLiteral("pos"), numberList({pos.x(), pos.y()}));
}

template <typename Load> void writeForces(QXmlStreamWriter& xml, const Load* load) {
    xml.writeAttribute(QStringLiteral("xforce"), number(load->xForce()));
    xml.writeAttribute(QStringLiteral("yforce"), number(-load->yForce()));
    xml.writeAttribute(QStringLiteral("accelx"), number(load->xAccel()));
    xml.writeAttribute(QStringLiteral("accely"), number(load->yAccel()));
    xml.writeAttribute(QStringLiteral("radius"), number(load->radius()));
    xml.writeAttribute(QStringLiteral("id"), QString::number(load->id()));
}

// In the mesh the node the item acts on is written too (for readers of the file; this reader
// finds the node again by position).
void writeLoad(QXmlStreamWriter& xml, const LoadItem* load, bool inMesh) {
    xml.writeStartElement(QStringLiteral("force"));
    writeForces(xml, load);
    if (inMesh)
        xml.writeAttribute(QStringLiteral("node"),
                           QString::number(load->node() ? load->node()->id : 0));
    writePos(xml, load->pos());
    xml.writeEndElement();
}

void writeFreedom(QXmlStreamWriter& xml, const FreedomItem* freedom, bool inMesh) {
    xml.writeStartElement(QStringLiteral("freedom"));
    xml.writeAttribute(QStringLiteral("freedom"), QString::number(freedom->freedom()));
    xml.writeAttribute(QStringLiteral("id"), QString::number(freedom->id()));
    if (inMesh)
        xml.writeAttribute(QStringLiteral("node"),
                           QString::number(freedom->node() ? freedom->node()->id : 0));
    writePos(xml, freedom->pos());
    xml.writeEndElement();
}

void writeDistributedLoad(QXmlStreamWriter& xml, const DistributedLoadItem* load) {
    xml.writeStartElement(QStringLiteral("distributedforce"));
    writeForces(xml, load);
    QStringList points;
    for (const QPointF& p : load->line())
        points.append(number(p.x()) + QLatin1Char(':') + number(p.y()));
    xml.writeAttribute(QStringLiteral("polygon"), points.join(QLatin1Char(',')));
    writePos(xml, load->pos());
    xml.writeEndElement();
}

void writeMaterial(QXmlStreamWriter& xml, const QString& name, const Material& m) {
    xml.writeStartElement(name);
    xml.writeAttribute(QStringLiteral("yMod"), number(m.youngsModulus));
    xml.writeAttribute(QStringLiteral("poisson"), number(m.poissonsRatio));
    xml.writeAttribute(QStringLiteral("density"), number(m.density));
}

} // namespace

QString writeProject(EvolveScene* scene) {
    QString text;
    QXmlStreamWriter xml(&text);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();

    xml.writeStartElement(QStringLiteral("scene"));
    xml.writeAttribute(QStringLiteral("mmInPixel"), number(scene->mmInPixel()));
    xml.writeAttribute(QStringLiteral("LastLoadParameters"),
                       loadRecord(scene->lastLoadParameters()));
    xml.writeAttribute(QStringLiteral("LastDistributedLoadParameters"),
                       loadRecord(scene->lastDistributedLoadParameters()));
    xml.writeAttribute(QStringLiteral("LastFreedom"), QString::number(scene->lastFreedom()));
    xml.writeAttribute(QStringLiteral("evolvemode"), QString::number(scene->evolveMode()));
    xml.writeAttribute(QStringLiteral("pixelNodeDistance"), number(scene->pixelNodeDistance()));
    xml.writeAttribute(QStringLiteral("SceneSize"),
                       numberList({scene->sceneRect().width(), scene->sceneRect().height()}));

    // Bottom to top: read back in file order, the shapes keep their stacking, which decides
    // what a subtraction removes when the mesh is generated again.
    EvolveMesh* mesh = scene->meshItem();
    for (QGraphicsItem* item : scene->items(Qt::AscendingOrder)) {
        if (item->parentItem())
            continue;
        if (ItemType::isShape(item))
            writeShape(xml, item);
        else if (item->type() == LoadItem::Type)
            writeLoad(xml, static_cast<LoadItem*>(item), false);
        else if (item->type() == FreedomItem::Type)
            writeFreedom(xml, static_cast<FreedomItem*>(item), false);
        else if (item->type() == DistributedLoadItem::Type)
            writeDistributedLoad(xml, static_cast<DistributedLoadItem*>(item));
    }

    if (mesh) {
        // Loads and constraints follow the deformed shape while it is shown; the file keeps
        // them on the undeformed nodes.
        const bool deformed = mesh->areDisplacementsShown();
        if (deformed)
            ResultDisplay::showDisplacements(mesh, false);
        xml.writeStartElement(QStringLiteral("mesh"));
        xml.writeAttribute(QStringLiteral("evolvemode"),
                           QString::number(mesh->currentRegionKind()));
        xml.writeAttribute(QStringLiteral("pixelNodeDistance"), number(mesh->pixelNodeDistance()));
        for (QGraphicsItem* item : mesh->childItems()) {
            switch (item->type()) {
            case FreedomItem::Type:
                writeFreedom(xml, static_cast<FreedomItem*>(item), true);
                break;
            case LoadItem::Type:
                writeLoad(xml, static_cast<LoadItem*>(item), true);
                break;
            case DistributedLoadItem::Type:
                writeDistributedLoad(xml, static_cast<DistributedLoadItem*>(item));
                break;
            case PlateItem::Type: {
                const auto* plate = static_cast<PlateItem*>(item);
                xml.writeStartElement(QStringLiteral("plate"));
                xml.writeAttribute(QStringLiteral("id"), QString::number(plate->id()));
                xml.writeAttribute(QStringLiteral("on"),
                                   plate->isOn() ? QStringLiteral("1") : QStringLiteral("0"));
                xml.writeAttribute(QStringLiteral("evolvemode"),
                                   QString::number(plate->evolveMode()));
                xml.writeAttribute(
                    QStringLiteral("node"),
                    QString::number(plate->anchorNode() ? plate->anchorNode()->id : 0));
                xml.writeEndElement();
                break;
            }
            default:
                break;
            }
        }
        xml.writeEndElement();
        if (deformed)
            ResultDisplay::showDisplacements(mesh, true);
    }

    xml.writeStartElement(QStringLiteral("property"));
    writeMaterial(xml, QStringLiteral("Design"), Materials::design());
    xml.writeEndElement();
    writeMaterial(xml, QStringLiteral("NonDesign"), Materials::nonDesign());
    xml.writeEndDocument();
    return text;
}

// ---------------------------------------------------------------------------------------------
// Reading

namespace {

// Reads the attributes of one element. A missing attribute reads as 0 (as it always has); a
// number that does not convert and a list with too few parts read as 0 too, and are noted.
class Attributes {
public:
    Attributes(const QXmlStreamReader& xml, QStringList& problems)
        : attributes(xml.attributes()), element(xml.name().toString()), line(xml.lineNumber()),
          problems(problems) {}

    bool has(const QString& name) const { return attributes.hasAttribute(name); }

    double real(const QString& name) const {
        return has(name) ? convert(name, attributes.value(name).toString().trimmed()) : 0.0;
    }

    int integer(const QString& name) const { return toInt(real(name)); }

    // A list of `count` reals separated by ","; empty parts are dropped when asked.
    QList<double> list(const QString& name, int count, bool dropEmpty = false) const {
        QList<double> values;
        if (!has(name))
            return QList<double>(count, 0.0);
        const QStringList parts = attributes.value(name).toString().split(
            QLatin1Char(','), dropEmpty ? Qt::SkipEmptyParts : Qt::KeepEmptyParts);
        for (int i = 0; i < count; ++i)
            values.append(i < parts.size() ? convert(name, parts.at(i).trimmed()) : 0.0);
        if (parts.size() < count)
            note(QStringLiteral("%1 of <%2> has %3 of %4 values; the missing ones read as 0")
                     .arg(name, element)
                     .arg(parts.size())
                     .arg(count));
        return values;
    }

    QPointF point(const QString& name) const {
        const QList<double> xy = list(name, 2);
        return QPointF(xy.at(0), xy.at(1));
    }

    // Points written as "x:y" or "x:y:type", separated by ","; type is -1 when not written.
    struct PathPoint {
        QPointF point;
        int type = -1;
    };
    QList<PathPoint> pathPoints(const QString& name) const {
        QList<PathPoint> points;
        const QString value = attributes.value(name).toString();
        for (const QString& entry : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const QStringList parts = entry.split(QLatin1Char(':'));
            if (parts.size() < 2) {
                note(QStringLiteral("%1 of <%2> holds the point \"%3\" without two coordinates")
                         .arg(name, element, entry));
                continue;
            }
            PathPoint p;
            p.point =
                QPointF(convert(name, parts.at(0).trimmed()), convert(name, parts.at(1).trimmed()));
            if (parts.size() > 2) {
                // Element types are 0 to 3; anything else is no element and is skipped.
                const double type = convert(name, parts.at(2).trimmed());
                p.type = type >= 0 && type <= 3 ? int(type) : -1;
            }
            points.append(p);
        }
        return points;
    }

    void note(const QString& problem) const {
        problems.append(QStringLiteral("line %1: %2").arg(line).arg(problem));
    }

private:
    // Truncated towards zero; a value beyond the int range reads as 0.
    static int toInt(double value) {
        return value > std::numeric_limits<int>::min() - 1.0 &&
                       value < std::numeric_limits<int>::max() + 1.0
                   ? int(value)
                   : 0;
    }

    double convert(const QString& name, const QString& text) const {
        bool ok = false;
        const double value = text.toDouble(&ok);
        if (ok && std::isfinite(value))
            return value;
        if (!text.isEmpty())
            note(QStringLiteral("%1 of <%2> is \"%3\", not a number; it reads as 0")
                     .arg(name, element, text));
        return 0.0;
    }

    QXmlStreamAttributes attributes;
    QString element;
    qint64 line;
    QStringList& problems;
};

EvolveScene::LoadParameters loadParameters(const Attributes& a, const QString& name) {
    const QList<double> v = a.list(name, 4, true);
    return EvolveScene::LoadParameters{v.at(0), v.at(1), v.at(2), v.at(3)};
}

// First pass: the scene's attributes in document order, and a fresh mesh (all plates off)
// when the document has one.
void readSceneAttributes(EvolveScene* scene, const QString& text, QStringList& problems) {
    QXmlStreamReader xml(text);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("scene")) {
            const Attributes a(xml, problems);
            for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                const QString name = attribute.name().toString();
                if (name == QLatin1String("SceneSize")) {
                    const QList<double> size = a.list(name, 2);
                    if (size.at(0) > 0 && size.at(1) > 0) {
                        scene->setSceneRect(0, 0, size.at(0), size.at(1));
                        // The grid covers the new rectangle at its width in scene units.
                        scene->grid()->setWidth(scene->grid()->width());
                    } else
                        a.note(QStringLiteral("SceneSize is no size; the scene keeps its own"));
                } else if (name == QLatin1String("mmInPixel")) {
                    const double m = a.real(name);
                    if (m > 0)
                        scene->setMmInPixel(m);
                    else
                        a.note(QStringLiteral("mmInPixel is not positive; the scale stays"));
                } else if (name == QLatin1String("evolvemode")) {
                    scene->setEvolveMode(a.integer(name));
                } else if (name == QLatin1String("pixelNodeDistance")) {
                    const double d = a.real(name);
                    if (d > 0)
                        scene->setPixelNodeDistance(d);
                    else
                        a.note(QStringLiteral("pixelNodeDistance is not positive; the spacing "
                                              "stays"));
                } else if (name == QLatin1String("LastLoadParameters")) {
                    scene->setLastLoadParameters(loadParameters(a, name));
                } else if (name == QLatin1String("LastDistributedLoadParameters")) {
                    scene->setLastDistributedLoadParameters(loadParameters(a, name));
                } else if (name == QLatin1String("LastFreedom")) {
                    scene->setLastFreedom(a.integer(name));
                }
            }
        } else if (xml.name() == QLatin1String("mesh")) {
            scene->createMesh();
            return;
        }
    }
}

// Puts an item read inside <mesh> onto the mesh, or an item read inside <scene> into the scene.
// Returns false (and the caller deletes the item) when it belongs nowhere.
bool place(EvolveScene* scene, EvolveMesh* mesh, const QString& enclosing, QGraphicsItem* item) {
    if (enclosing == QLatin1String("mesh")) {
        if (!mesh)
            return false;
        item->setParentItem(mesh);
        item->installSceneEventFilter(mesh);
        return true;
    }
    if (enclosing == QLatin1String("scene")) {
        scene->addItem(item);
        return true;
    }
    return false;
}

template <typename Load> void readForces(const Attributes& a, Load* load) {
    load->setForces(a.real(QStringLiteral("xforce")), -a.real(QStringLiteral("yforce")));
    load->setAccelerations(a.real(QStringLiteral("accelx")), a.real(QStringLiteral("accely")));
}

// Second pass: shapes, loads, constraints, plates and the materials.
void readItems(EvolveScene* scene, const QString& text, QStringList& problems) {
    EvolveMesh* mesh = scene->meshItem();
    QHash<int, PlateItem*> plates;
    if (mesh) {
        for (PlateItem* plate : mesh->plates())
            plates.insert(plate->id(), plate);
    }
    QStringList open;
    QXmlStreamReader xml(text);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement()) {
            if (!open.isEmpty())
                open.removeLast();
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const QString name = xml.name().toString();
        const QString enclosing = open.isEmpty() ? QString() : open.last();
        open.append(name);
        const Attributes a(xml, problems);

        if (name == QLatin1String("ellipse") || name == QLatin1String("rectangle") ||
            name == QLatin1String("polygon")) {
            if (enclosing != QLatin1String("scene")) {
                a.note(QStringLiteral("<%1> outside <scene> is left out").arg(name));
                continue;
            }
            QGraphicsItem* item = nullptr;
            BaseItem* base = nullptr;
            if (name == QLatin1String("polygon")) {
                auto* polygon = new EvolvePolygon();
                QPainterPath path;
                for (const auto& p : a.pathPoints(QStringLiteral("dimensions"))) {
                    if (p.type == QPainterPath::MoveToElement)
                        path.moveTo(p.point);
                    else if (p.type == QPainterPath::LineToElement)
                        path.lineTo(p.point);
                }
                polygon->setPath(path);
                item = polygon;
                base = polygon;
            } else {
                const QList<double> d = a.list(QStringLiteral("dimensions"), 4);
                const QRectF rect(d.at(0), d.at(1), d.at(2), d.at(3));
                if (name == QLatin1String("ellipse")) {
                    auto* ellipse = new EvolveEllipse(rect);
                    item = ellipse;
                    base = ellipse;
                } else {
                    auto* rectangle = new EvolveRectangle(rect);
                    item = rectangle;
                    base = rectangle;
                }
            }
            base->setEvolveMode(a.integer(QStringLiteral("evolvemode")));
            if (a.has(QStringLiteral("property"))) {
                const QList<double> m = a.list(QStringLiteral("property"), 3);
                base->setMaterial(MaterialRecord{m.at(0), m.at(1), m.at(2)});
            }
            scene->addItem(item);
        } else if (name == QLatin1String("force")) {
            auto* load = new LoadItem(a.integer(QStringLiteral("id")));
            readForces(a, load);
            load->setRadius(std::max(a.real(QStringLiteral("radius")), 32.0));
            load->setPos(a.point(QStringLiteral("pos")));
            MeshNode* node = nullptr;
            if (enclosing == QLatin1String("mesh") && mesh) {
                node = mesh->nodeAt(load->anchorPoint());
                if (!node) {
                    a.note(QStringLiteral("the force at (%1, %2) lies on no mesh node and is "
                                          "left out")
                               .arg(load->anchorPoint().x())
                               .arg(load->anchorPoint().y()));
                    delete load;
                    continue;
                }
            }
            if (!place(scene, mesh, enclosing, load)) {
                a.note(QStringLiteral("<force> outside <scene> and the mesh is left out"));
                delete load;
                continue;
            }
            if (node)
                load->attachTo(node, mesh);
        } else if (name == QLatin1String("freedom")) {
            auto* freedom = new FreedomItem(a.integer(QStringLiteral("id")));
            freedom->setPos(a.point(QStringLiteral("pos")));
            freedom->setFreedom(a.integer(QStringLiteral("freedom")));
            MeshNode* node = nullptr;
            if (enclosing == QLatin1String("mesh") && mesh) {
                node = mesh->nodeAt(freedom->pos());
                if (!node) {
                    a.note(QStringLiteral("the constraint at (%1, %2) lies on no mesh node and is "
                                          "left out")
                               .arg(freedom->pos().x())
                               .arg(freedom->pos().y()));
                    delete freedom;
                    continue;
                }
            }
            if (!place(scene, mesh, enclosing, freedom)) {
                a.note(QStringLiteral("<freedom> outside <scene> and the mesh is left out"));
                delete freedom;
                continue;
            }
            if (node)
                freedom->attachTo(node, mesh);
        } else if (name == QLatin1String("distributedforce")) {
            auto* load = new DistributedLoadItem(a.integer(QStringLiteral("id")));
            readForces(a, load);
            load->setRadius(std::max(a.real(QStringLiteral("radius")), 16.0));
            load->setPos(a.point(QStringLiteral("pos")));
            QPolygonF line;
            for (const auto& p : a.pathPoints(QStringLiteral("polygon")))
                line.append(p.point);
            load->setLine(line);
            if (!place(scene, mesh, enclosing, load)) {
                a.note(QStringLiteral("<distributedforce> outside <scene> and the mesh is left "
                                      "out"));
                delete load;
            }
        } else if (name == QLatin1String("plate")) {
            PlateItem* plate = enclosing == QLatin1String("mesh")
                                   ? plates.value(a.integer(QStringLiteral("id")))
                                   : nullptr;
            if (!plate) {
                a.note(QStringLiteral("<plate id=\"%1\"> is no plate of the mesh")
                           .arg(a.integer(QStringLiteral("id"))));
                continue;
            }
            const int mode = a.integer(QStringLiteral("evolvemode"));
            plate->setEvolveMode(mode);
            if (a.integer(QStringLiteral("on")) == 1)
                plate->switchOn(mode);
        } else if (name == QLatin1String("Design") || name == QLatin1String("NonDesign")) {
            if (enclosing != QLatin1String("property")) {
                a.note(QStringLiteral("<%1> outside <property> is left out").arg(name));
                continue;
            }
            const Material m{a.real(QStringLiteral("yMod")), a.real(QStringLiteral("poisson")),
                             a.real(QStringLiteral("density"))};
            if (name == QLatin1String("Design"))
                Materials::setDesign(m);
            else
                Materials::setNonDesign(m);
        } else if (name != QLatin1String("scene") && name != QLatin1String("mesh") &&
                   name != QLatin1String("property")) {
            a.note(QStringLiteral("unknown element <%1> is left out").arg(name));
        }
    }
}

} // namespace

QStringList readProject(EvolveScene* scene, const QString& text) {
    QStringList problems;
    scene->clearScene();
    applicationUndoStack()->clear();
    readSceneAttributes(scene, text, problems);
    readItems(scene, text, problems);
    if (EvolveMesh* mesh = scene->meshItem())
        mesh->update();
    // Loading is no editing step: the mesh generation's own undo steps go as well.
    applicationUndoStack()->clear();
    return problems;
}
