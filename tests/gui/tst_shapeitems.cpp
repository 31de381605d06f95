#include "drawing/baseitem.h"
#include "drawing/evolveellipse.h"
#include "drawing/evolvepolygon.h"
#include "drawing/evolverectangle.h"

#include <QBrush>
#include <QPen>
#include <QtTest>

#include <memory>

// The three shape classes share their BaseItem behaviour; every test runs on each of them.
class TestShapeItems : public QObject {
    Q_OBJECT

private:
    static std::unique_ptr<QAbstractGraphicsShapeItem> makeShape(int type) {
        switch (type) {
        case EvolveEllipse::Type:
            return std::make_unique<EvolveEllipse>(QRectF(0, 0, 10, 10));
        case EvolveRectangle::Type:
            return std::make_unique<EvolveRectangle>(QRectF(0, 0, 10, 10));
        default:
            return std::make_unique<EvolvePolygon>();
        }
    }

    static void addShapeColumn() {
        QTest::addColumn<int>("type");
        QTest::newRow("ellipse") << int(EvolveEllipse::Type);
        QTest::newRow("rectangle") << int(EvolveRectangle::Type);
        QTest::newRow("polygon") << int(EvolvePolygon::Type);
    }

private slots:
    void typesAndBaseParts_data() { addShapeColumn(); }
    void typesAndBaseParts() {
        QFETCH(int, type);
        auto item = makeShape(type);
        QCOMPARE(item->type(), type);
        BaseItem* base = shapeBase(item.get());
        QVERIFY(base);
        QCOMPARE(base->material(), MaterialRecord{});
        QCOMPARE(base->material().yMod, 2e11);
        QVERIFY(!base->isHighlighted());
        QGraphicsRectItem plain;
        QVERIFY(!shapeBase(&plain));
    }

    void constructedAppearance() {
        EvolveEllipse ellipse(QRectF(0, 0, 5, 5));
        QCOMPARE(ellipse.brush().color(), QColor(Qt::darkGreen));
        QCOMPARE(ellipse.pen().style(), Qt::NoPen);
        EvolvePolygon drawn;
        QCOMPARE(drawn.brush().color(), QColor(Qt::darkGreen));
        QCOMPARE(drawn.pen().color(), QColor(Qt::black));
        QCOMPARE(drawn.pen().style(), Qt::SolidLine);
        EvolvePolygon fromPath{QPainterPath()};
        QCOMPARE(fromPath.brush().style(), Qt::NoBrush);
    }

    void regionKinds_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QColor>("brush");
        QTest::addColumn<int>("penStyle");
        const QList<int> types = {EvolveEllipse::Type, EvolveRectangle::Type, EvolvePolygon::Type};
        const QStringList names = {"ellipse", "rectangle", "polygon"};
        for (int i = 0; i < types.size(); ++i) {
            const QByteArray name = names[i].toLatin1();
            QTest::newRow(name + " design")
                << types[i] << 0 << QColor(Qt::darkGreen) << int(Qt::NoPen);
            QTest::newRow(name + " non-design")
                << types[i] << 1 << QColor(255, 160, 0) << int(Qt::NoPen);
            QTest::newRow(name + " subtraction")
                << types[i] << 2 << QColor(Qt::white) << int(Qt::DashLine);
        }
    }
    void regionKinds() {
        QFETCH(int, type);
        QFETCH(int, kind);
        QFETCH(QColor, brush);
        QFETCH(int, penStyle);
        auto item = makeShape(type);
        BaseItem* base = shapeBase(item.get());
        base->setEvolveMode(kind);
        QCOMPARE(base->evolveMode(), kind);
        QCOMPARE(item->brush().color(), brush);
        QCOMPARE(item->brush().style(), Qt::SolidPattern);
        QCOMPARE(int(item->pen().style()), penStyle);
        if (penStyle == Qt::DashLine)
            QCOMPARE(item->pen().color(), QColor(Qt::black));

        // An unknown kind is stored but keeps the appearance.
        base->setEvolveMode(5);
        QCOMPARE(base->evolveMode(), 5);
        QCOMPARE(item->brush().color(), brush);
        QCOMPARE(int(item->pen().style()), penStyle);
    }

    void highlighting_data() { addShapeColumn(); }
    void highlighting() {
        QFETCH(int, type);
        auto item = makeShape(type);
        BaseItem* base = shapeBase(item.get());
        base->setEvolveMode(Design);

        // Never selected: no list, so highlighting does nothing.
        base->highlight(true);
        QVERIFY(!base->isHighlighted());
        QCOMPARE(item->brush().color(), QColor(Qt::darkGreen));

        QList<QGraphicsItem*> selection;
        base->setSelectionList(&selection);
        base->highlight(true);
        base->highlight(true);
        QVERIFY(base->isHighlighted());
        QCOMPARE(selection, QList<QGraphicsItem*>{item.get()});
        QCOMPARE(item->brush().color(), QColor(Qt::darkGreen).darker(200));

        base->highlight(false);
        QVERIFY(!base->isHighlighted());
        QVERIFY(selection.isEmpty());
        QCOMPARE(item->brush().color(), QColor(Qt::darkGreen).darker(200).lighter(200));

        // Marking a highlighted shape first removes the highlight, then paints the new kind.
        base->highlight(true);
        base->setEvolveMode(NonDesign);
        QVERIFY(!base->isHighlighted());
        QVERIFY(selection.isEmpty());
        QCOMPARE(item->brush().color(), QColor(255, 160, 0));
    }
};

QTEST_MAIN(TestShapeItems)
#include "tst_shapeitems.moc"
