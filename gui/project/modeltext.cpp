#include "project/modeltext.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The fields of one record: the keyword and its "<" removed, every ">" removed, split at ","
// keeping empty fields, each trimmed.
QStringList recordFields(const QString& line, const QString& keyword) {
    QString rest = line.mid(keyword.size());
    if (rest.startsWith(QLatin1Char('<')))
        rest.remove(0, 1);
    rest.remove(QLatin1Char('>'));
    QStringList fields = rest.split(QLatin1Char(','), Qt::KeepEmptyParts);
    for (QString& field : fields)
        field = field.trimmed();
    return fields;
}

// Field i as a real; a missing field or one that does not convert gives 0.
double real(const QStringList& fields, int i) {
    if (i >= fields.size())
        return 0.0;
    bool ok = false;
    const double value = fields.at(i).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

// Field i as an id: the real value truncated towards zero; out of range gives 0.
int integer(const QStringList& fields, int i) {
    const double value = std::trunc(real(fields, i));
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(value);
}

bool isFree(const QStringList& fields, int i) {
    if (i >= fields.size())
        return true;
    const QString& field = fields.at(i);
    return field.isEmpty() || field.contains(QLatin1String("free")) ||
           field.contains(QLatin1String("Free"));
}

QList<double> distinctSorted(QList<double> values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

const QString nodeKey = QStringLiteral("*node");
const QString quadKey = QStringLiteral("*quad4");
const QString propertyKey = QStringLiteral("*property");
const QString forceKey = QStringLiteral("*force");
const QString constraintKey = QStringLiteral("*constraint");

} // namespace

QStringList ModelText::lines(const QString& text) {
    QString cleaned = text;
    cleaned.remove(QLatin1Char('\r'));
    return cleaned.trimmed().split(QLatin1Char('\n'), Qt::KeepEmptyParts);
}

ModelText ModelText::parse(const QString& text) {
    ModelText model;
    QList<double> xs;
    QList<double> ys;
    bool elementSeen = false;
    for (const QString& line : lines(text)) {
        if (line.startsWith(nodeKey)) {
            const QStringList f = recordFields(line, nodeKey);
            const QPointF position(real(f, 2), real(f, 3));
            model.nodes.insert(integer(f, 0), position);
            if (!elementSeen) {
                xs.append(position.x());
                ys.append(position.y());
            }
        } else if (line.startsWith(quadKey)) {
            elementSeen = true;
            const QStringList f = recordFields(line, quadKey);
            Element element;
            element.id = integer(f, 0);
            element.property = integer(f, 1);
            element.type = integer(f, 2);
            for (int corner = 0; corner < 4; ++corner)
                element.nodes[corner] = integer(f, 3 + corner);
            element.designFlag = integer(f, 7);
            model.elements.append(element);
        } else if (line.startsWith(propertyKey)) {
            const QStringList f = recordFields(line, propertyKey);
            model.properties.insert(integer(f, 0), Property{real(f, 1), real(f, 2), real(f, 3)});
        } else if (line.startsWith(forceKey)) {
            const QStringList f = recordFields(line, forceKey);
            model.forces.append(
                Force{integer(f, 0), integer(f, 1), integer(f, 2), real(f, 3), real(f, 4)});
        } else if (line.startsWith(constraintKey)) {
            const QStringList f = recordFields(line, constraintKey);
            model.constraints.append(
                Constraint{integer(f, 0), integer(f, 1), !isFree(f, 2), !isFree(f, 3)});
        }
    }
    model.distinctX = distinctSorted(xs);
    model.distinctY = distinctSorted(ys);
    return model;
}

double ModelText::metresPerUnit(double sceneWidth, double sceneHeight) const {
    return std::max((distinctX.last() + 1.0) / sceneWidth, (distinctY.last() + 1.0) / sceneHeight);
}
