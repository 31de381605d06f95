// Draws the workbench's icons, the constraint marker and the window icon into a directory:
//   cmake -S scripts/icons -B build-icons && cmake --build build-icons
//   QT_QPA_PLATFORM=offscreen build-icons/drawicons gui/resources/Resources
// Action icons are drawn on a 24-unit grid at twice that size, so they stay sharp at 24 px and
// on high-density screens. One ink colour, one blue for tools, green/orange for the region
// kinds, red for removing.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>

static const QColor Ink("#263238");
static const QColor Blue("#1e63c4");
static const QColor LightBlue("#cfe0fa");
static const QColor Green("#1b7a2e");
static const QColor Orange("#ffa000");
static const QColor Red("#c62828");
static const QColor Grey("#90a4ae");
static QString outDir;

static QPen pen(QColor c, double w = 1.8) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

static void save(const QString& name, std::function<void(QPainter&)> draw, int px = 48) {
    QImage img(px, px, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(px / 24.0, px / 24.0);
    draw(p);
    p.end();
    QImageWriter w(outDir + "/" + name, "png");
    if (!w.write(img))
        qFatal("cannot write %s", qPrintable(name));
}

static void lens(QPainter& p) {
    p.setPen(pen(Ink, 2.0));
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QPointF(10, 10), 7, 7);
    p.setPen(pen(Ink, 3.2));
    p.drawLine(QPointF(15.2, 15.2), QPointF(21, 21));
}

static void arrowHead(QPainter& p, QPointF tip, QPointF from, double size, QColor c) {
    QLineF l(tip, from);
    l.setLength(size);
    QLineF a = l;
    a.setAngle(l.angle() + 30);
    QLineF b = l;
    b.setAngle(l.angle() - 30);
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(a.p2());
    path.lineTo(b.p2());
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
}

static void arrow(QPainter& p, QPointF from, QPointF to, QColor c, double w = 1.8,
                  double head = 4.5) {
    QLineF l(from, to);
    QLineF shaft = l;
    shaft.setLength(l.length() - head * 0.8);
    p.setPen(pen(c, w));
    p.drawLine(shaft);
    arrowHead(p, to, from, head, c);
}

static void pencil(QPainter& p, double dx = 0, double dy = 0, double s = 1) {
    p.save();
    p.translate(dx, dy);
    p.scale(s, s);
    // A pencil from lower left (tip) to upper right.
    p.translate(4, 20);
    p.rotate(-45);
    p.setPen(pen(Ink, 1.2));
    p.setBrush(QColor("#ffca28"));
    p.drawRect(QRectF(4, -2.6, 14, 5.2));
    p.setBrush(QColor("#f48fb1"));
    p.drawRect(QRectF(18, -2.6, 3, 5.2));
    QPainterPath tip;
    tip.moveTo(4, -2.6);
    tip.lineTo(0, 0);
    tip.lineTo(4, 2.6);
    tip.closeSubpath();
    p.setBrush(QColor("#ffe0b2"));
    p.drawPath(tip);
    p.setBrush(Ink);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0.8, 0), 0.9, 0.9);
    p.restore();
}

static void region(QPainter& p, QColor fill) {
    p.setPen(pen(Ink, 1.4));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(2, 6, 15, 15), 2, 2);
    pencil(p, 7, -1.5, 0.75);
}

static void meshGrid(QPainter& p, QRectF r, int n, QColor fill) {
    p.setPen(pen(Ink, 1.3));
    p.setBrush(fill);
    p.drawRect(r);
    for (int i = 1; i < n; ++i) {
        double x = r.left() + r.width() * i / n, y = r.top() + r.height() * i / n;
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
}

static void badge(QPainter& p, QColor c, bool plus, bool cross = false) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(18, 18), 5.3, 5.3);
    p.setPen(pen(Qt::white, 1.9));
    if (cross) {
        p.drawLine(QPointF(15.8, 15.8), QPointF(20.2, 20.2));
        p.drawLine(QPointF(20.2, 15.8), QPointF(15.8, 20.2));
        return;
    }
    p.drawLine(QPointF(15.2, 18), QPointF(20.8, 18));
    if (plus)
        p.drawLine(QPointF(18, 15.2), QPointF(18, 20.8));
}

// Support symbol: triangle pointing right with its apex at (ax, ay), hatched wall on the left.
static void support(QPainter& p, QPointF apex, double s, QColor c) {
    QPainterPath t;
    t.moveTo(apex);
    t.lineTo(apex + QPointF(-7 * s, -5 * s));
    t.lineTo(apex + QPointF(-7 * s, 5 * s));
    t.closeSubpath();
    p.setPen(pen(Ink, 1.0 * s));
    p.setBrush(c);
    p.drawPath(t);
    double wx = apex.x() - 8.2 * s;
    p.setPen(pen(Ink, 1.2 * s));
    p.drawLine(QPointF(wx, apex.y() - 6 * s), QPointF(wx, apex.y() + 6 * s));
    p.setPen(pen(Ink, 0.8 * s));
    for (int i = -2; i <= 2; ++i) {
        double y = apex.y() + i * 2.6 * s;
        p.drawLine(QPointF(wx, y), QPointF(wx - 2 * s, y + 2 * s));
    }
}

static void supportUp(QPainter& p, QPointF apex, double s, QColor c) {
    p.save();
    p.translate(apex);
    p.rotate(-90);
    support(p, QPointF(0, 0), s, c);
    p.restore();
}

static QPainterPath topology(QRectF r) {
    // A rectangle with triangular holes: the look of an optimized beam.
    QPainterPath outer;
    outer.addRect(r);
    QPainterPath holes;
    double x = r.left(), y = r.top(), w = r.width(), h = r.height();
    auto tri = [&](QPointF a, QPointF b, QPointF c) {
        QPainterPath t;
        t.moveTo(a);
        t.lineTo(b);
        t.lineTo(c);
        t.closeSubpath();
        holes.addPath(t);
    };
    double m = h * 0.18;
    tri({x + w * 0.12, y + h - m}, {x + w * 0.45, y + m}, {x + w * 0.45, y + h - m});
    tri({x + w * 0.55, y + m}, {x + w * 0.55, y + h - m}, {x + w * 0.88, y + h - m});
    return outer.subtracted(holes);
}

static void colourPlate(QPainter& p, QRectF r) {
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, QColor("#1565c0"));
    g.setColorAt(0.35, QColor("#26c6da"));
    g.setColorAt(0.6, QColor("#d4e157"));
    g.setColorAt(0.8, QColor("#ffa726"));
    g.setColorAt(1, QColor("#d32f2f"));
    p.setPen(pen(Ink, 1.2));
    p.setBrush(g);
    p.drawRect(r);
}

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        qWarning("usage: drawicons OUTPUT_DIRECTORY");
        return 2;
    }
    outDir = argv[1];
    QDir().mkpath(outDir);

    save("zoomin.png", [](QPainter& p) {
        lens(p);
        p.setPen(pen(Blue, 2));
        p.drawLine(QPointF(6.5, 10), QPointF(13.5, 10));
        p.drawLine(QPointF(10, 6.5), QPointF(10, 13.5));
    });
    save("zoomout.png", [](QPainter& p) {
        lens(p);
        p.setPen(pen(Blue, 2));
        p.drawLine(QPointF(6.5, 10), QPointF(13.5, 10));
    });
    save("zoomfactor.png", [](QPainter& p) {
        lens(p);
        arrow(p, QPointF(10, 10), QPointF(13.4, 6.6), Blue, 1.5, 3.2);
        arrow(p, QPointF(10, 10), QPointF(6.6, 13.4), Blue, 1.5, 3.2);
    });
    save("Draw.png", [](QPainter& p) {
        pencil(p, 0, 0, 1.0);
        p.setPen(pen(Blue, 1.4));
        p.drawLine(QPointF(3, 22), QPointF(14, 22));
    });
    save("evolvable.png", [](QPainter& p) { region(p, Green); });
    save("Non-evolvable.png", [](QPainter& p) { region(p, Orange); });
    save("subtract.PNG", [](QPainter& p) {
        QPen d = pen(Ink, 1.4);
        d.setStyle(Qt::DashLine);
        d.setDashPattern({2, 1.5});
        p.setPen(d);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(2, 3, 15, 15), 2, 2);
        badge(p, Red, false);
    });
    auto shapeStyle = [](QPainter& p) {
        p.setPen(pen(Blue, 2));
        p.setBrush(LightBlue);
    };
    save("ellipse.png", [&](QPainter& p) {
        shapeStyle(p);
        p.drawEllipse(QRectF(2, 6, 20, 12));
    });
    save("rectangle.png", [&](QPainter& p) {
        shapeStyle(p);
        p.drawRect(QRectF(2, 6, 20, 12));
    });
    save("square.png", [&](QPainter& p) {
        shapeStyle(p);
        p.drawRect(QRectF(4, 4, 16, 16));
    });
    save("circle.png", [&](QPainter& p) {
        shapeStyle(p);
        p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
        p.setPen(pen(Ink, 1.3));
        p.drawLine(QPointF(12, 12), QPointF(18.7, 5.3));
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        p.drawEllipse(QPointF(12, 12), 1.6, 1.6);
    });
    save("polygon.png", [&](QPainter& p) {
        QPolygonF poly{{3, 19}, {6, 5}, {14, 9}, {21, 4}, {19, 20}};
        shapeStyle(p);
        p.drawPolygon(poly);
        p.setPen(Qt::NoPen);
        p.setBrush(Ink);
        for (QPointF v : poly)
            p.drawRect(QRectF(v - QPointF(1.5, 1.5), QSizeF(3, 3)));
    });
    save("selectregion.png", [](QPainter& p) {
        QPainterPath a;
        a.moveTo(6, 2);
        a.lineTo(6, 19);
        a.lineTo(10, 15);
        a.lineTo(13, 22);
        a.lineTo(16, 20.7);
        a.lineTo(13, 14);
        a.lineTo(18.5, 14);
        a.closeSubpath();
        p.setPen(pen(Ink, 1.4));
        p.setBrush(Qt::white);
        p.drawPath(a);
    });
    save("clearscreen.png", [](QPainter& p) {
        p.setPen(pen(Ink, 1.6));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(2, 3, 18, 14), 1.5, 1.5);
        p.setBrush(QColor("#e3f2fd"));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(4, 5, 14, 10));
        badge(p, Red, false, true);
    });
    auto dimension = [](QPainter& p, double y, double x0, double x1) {
        p.setPen(pen(Ink, 1.3));
        p.drawLine(QPointF(x0, y - 4), QPointF(x0, y + 4));
        p.drawLine(QPointF(x1, y - 4), QPointF(x1, y + 4));
        p.setPen(pen(Blue, 1.6));
        p.drawLine(QPointF(x0 + 3, y), QPointF(x1 - 3, y));
        arrowHead(p, QPointF(x0 + 0.8, y), QPointF(x1, y), 4, Blue);
        arrowHead(p, QPointF(x1 - 0.8, y), QPointF(x0, y), 4, Blue);
    };
    save("widthmm.png", [&](QPainter& p) {
        p.setPen(pen(Ink, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2, 3, 20, 11));
        dimension(p, 19, 2, 22);
    });
    auto dots = [](QPainter& p, QRectF r, int n, QColor c, double rad) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                p.drawEllipse(
                    QPointF(r.left() + r.width() * i / (n - 1), r.top() + r.height() * j / (n - 1)),
                    rad, rad);
    };
    save("gridwidthmm.PNG", [&](QPainter& p) {
        dots(p, QRectF(3, 3, 18, 9), 4, Ink, 1.3);
        dimension(p, 18.5, 3, 21);
    });
    save("gridon.PNG", [&](QPainter& p) {
        p.setPen(pen(Grey, 0.8));
        for (int i = 0; i < 4; ++i) {
            p.drawLine(QPointF(3 + 6 * i, 3), QPointF(3 + 6 * i, 21));
            p.drawLine(QPointF(3, 3 + 6 * i), QPointF(21, 3 + 6 * i));
        }
        dots(p, QRectF(3, 3, 18, 18), 4, QColor("#00838f"), 1.8);
    });
    save("createmesh.png",
         [&](QPainter& p) { meshGrid(p, QRectF(2, 2, 20, 20), 4, QColor("#c8e6c9")); });
    save("createplate.png", [&](QPainter& p) {
        meshGrid(p, QRectF(2, 2, 15, 15), 3, QColor("#c8e6c9"));
        p.setPen(Qt::NoPen);
        p.setBrush(Green);
        p.drawRect(QRectF(7, 7, 5, 5));
        badge(p, Green, true);
    });
    save("deleteplate.png", [&](QPainter& p) {
        meshGrid(p, QRectF(2, 2, 15, 15), 3, QColor("#c8e6c9"));
        p.setPen(pen(Ink, 1.3));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 7, 5, 5));
        badge(p, Red, false);
    });
    save("clearmesh.png", [&](QPainter& p) {
        meshGrid(p, QRectF(2, 2, 15, 15), 3, QColor("#c8e6c9"));
        badge(p, Red, false, true);
    });
    save("load.png", [&](QPainter& p) {
        arrow(p, QPointF(12, 2), QPointF(12, 17), Red, 2.4, 6.5);
        p.setPen(pen(Ink, 1.2));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 19.5), 2.4, 2.4);
    });
    save("distributedload.png", [&](QPainter& p) {
        p.setPen(pen(Red, 1.4));
        p.drawLine(QPointF(3, 3.5), QPointF(21, 3.5));
        for (int i = 0; i < 4; ++i)
            arrow(p, QPointF(4 + 5.33 * i, 3.5), QPointF(4 + 5.33 * i, 16), Red, 1.4, 4);
        p.setPen(pen(Ink, 2.4));
        p.drawLine(QPointF(2, 19), QPointF(22, 19));
    });
    save("freedom.png", [&](QPainter& p) {
        supportUp(p, QPointF(12, 10), 1.35, Blue);
        p.setPen(pen(Ink, 1.2));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 8), 2.4, 2.4);
    });
    save("multifreedoms.PNG", [&](QPainter& p) {
        QPen d = pen(Ink, 1.2);
        d.setStyle(Qt::DashLine);
        d.setDashPattern({2, 1.5});
        p.setPen(d);
        p.setBrush(QColor(80, 80, 80, 60));
        p.drawRect(QRectF(1.5, 1.5, 21, 12));
        supportUp(p, QPointF(7, 8), 0.95, Blue);
        supportUp(p, QPointF(17, 8), 0.95, Blue);
        p.setPen(pen(Ink, 1));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(7, 7), 1.7, 1.7);
        p.drawEllipse(QPointF(17, 7), 1.7, 1.7);
    });
    save("fea.png", [&](QPainter& p) {
        colourPlate(p, QRectF(2, 7, 20, 10));
        p.setPen(pen(Ink, 0.7));
        for (int i = 1; i < 4; ++i)
            p.drawLine(QPointF(2 + 5 * i, 7), QPointF(2 + 5 * i, 17));
        p.drawLine(QPointF(2, 12), QPointF(22, 12));
    });
    auto topo = [](QPainter& p, QRectF r, QColor c) {
        p.setPen(pen(Ink, 1.0));
        p.setBrush(c);
        p.drawPath(topology(r));
    };
    save("Opt.png", [&](QPainter& p) {
        topo(p, QRectF(1.5, 3, 21, 11), Green);
        QPainterPath play;
        play.moveTo(13, 14.5);
        play.lineTo(22.5, 19);
        play.lineTo(13, 23.5);
        play.closeSubpath();
        p.setPen(pen(Qt::white, 1.2));
        p.setBrush(Blue);
        p.drawPath(play);
    });
    save("Interm.png", [&](QPainter& p) {
        p.setOpacity(0.45);
        topo(p, QRectF(5, 2, 17, 9), Green);
        p.setOpacity(1);
        topo(p, QRectF(2, 11, 17, 9), Green);
        p.setPen(pen(Blue, 1.5));
        p.drawLine(QPointF(20.5, 13.5), QPointF(20.5, 21));
        arrowHead(p, QPointF(20.5, 12), QPointF(20.5, 20), 3.6, Blue);
    });
    save("plot.png", [&](QPainter& p) {
        p.setPen(pen(Ink, 1.5));
        p.drawLine(QPointF(3, 2), QPointF(3, 21));
        p.drawLine(QPointF(3, 21), QPointF(22, 21));
        QPainterPath c;
        c.moveTo(4, 5);
        c.cubicTo(8, 16, 12, 17, 21, 17.5);
        p.setPen(pen(Red, 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawPath(c);
        QPainterPath v;
        v.moveTo(4, 8);
        v.lineTo(9, 10);
        v.lineTo(14, 12);
        v.lineTo(21, 13);
        p.setPen(pen(Blue, 1.6));
        p.drawPath(v);
    });
    save("movie.png", [&](QPainter& p) {
        p.setPen(pen(Ink, 1.3));
        p.setBrush(QColor("#37474f"));
        p.drawRoundedRect(QRectF(1.5, 4, 21, 16), 1.5, 1.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (int i = 0; i < 5; ++i) {
            p.drawRect(QRectF(3 + 4 * i, 5.2, 2, 1.8));
            p.drawRect(QRectF(3 + 4 * i, 17, 2, 1.8));
        }
        QPainterPath play;
        play.moveTo(9.5, 8.5);
        play.lineTo(16, 12);
        play.lineTo(9.5, 15.5);
        play.closeSubpath();
        p.setBrush(QColor("#ffca28"));
        p.drawPath(play);
    });
    save("revert.png", [&](QPainter& p) {
        QPainterPath a;
        a.arcMoveTo(QRectF(4, 4, 16, 16), 200);
        a.arcTo(QRectF(4, 4, 16, 16), 200, -250);
        p.setPen(pen(Blue, 2.4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(a);
        QPointF start = a.pointAtPercent(0);
        arrowHead(p, start + QPointF(-0.6, 1.5), start + QPointF(3.5, -3.5), 6.5, Blue);
    });
    save("SaveScreenshot.png", [&](QPainter& p) {
        p.setPen(pen(Ink, 1.4));
        p.setBrush(QColor("#546e7a"));
        p.drawRoundedRect(QRectF(2, 7, 20, 13), 2, 2);
        p.drawRect(QRectF(8, 4.5, 8, 3));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 13.5), 4.4, 4.4);
        p.setBrush(LightBlue);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(12, 13.5), 2.6, 2.6);
        p.setBrush(QColor("#ffca28"));
        p.drawRect(QRectF(17.5, 9, 2.5, 1.8));
    });
    save("setProperties.PNG", [&](QPainter& p) {
        // Sliders: the material values.
        for (int i = 0; i < 3; ++i) {
            double y = 5 + 7 * i, k = (i == 1) ? 15 : (i == 0 ? 8 : 11);
            p.setPen(pen(Grey, 2));
            p.drawLine(QPointF(3, y), QPointF(21, y));
            p.setPen(pen(Blue, 2));
            p.drawLine(QPointF(3, y), QPointF(k, y));
            p.setPen(pen(Ink, 1.2));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(k, y), 2.6, 2.6);
        }
    });
    auto stresses = [&](QPainter& p, bool on) {
        if (on) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor("#fff59d"));
            p.drawRoundedRect(QRectF(0.5, 0.5, 23, 23), 3, 3);
        }
        colourPlate(p, QRectF(2, 5, 14, 14));
        QLinearGradient g(QPointF(0, 3), QPointF(0, 21));
        g.setColorAt(0, QColor("#d32f2f"));
        g.setColorAt(0.5, QColor("#d4e157"));
        g.setColorAt(1, QColor("#1565c0"));
        p.setPen(pen(Ink, 1));
        p.setBrush(on ? QBrush(g) : QBrush(Grey));
        p.drawRect(QRectF(18, 3, 4, 18));
    };
    save("showstresses.PNG", [&](QPainter& p) { stresses(p, false); });
    save("showstresseson.png", [&](QPainter& p) { stresses(p, true); });
    auto displacements = [&](QPainter& p, bool on) {
        if (on) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor("#fff59d"));
            p.drawRoundedRect(QRectF(0.5, 0.5, 23, 23), 3, 3);
        }
        QPen d = pen(Grey, 1.4);
        d.setStyle(Qt::DashLine);
        d.setDashPattern({2, 1.5});
        p.setPen(d);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(3, 5, 18, 5));
        QPainterPath beam;
        beam.moveTo(3, 5);
        beam.cubicTo(10, 5, 15, 8, 21, 14);
        beam.lineTo(21, 19);
        beam.cubicTo(15, 13, 10, 10, 3, 10);
        beam.closeSubpath();
        p.setPen(pen(Ink, 1.2));
        p.setBrush(on ? Blue : QColor("#90caf9"));
        p.drawPath(beam);
        p.setPen(pen(Ink, 2));
        p.drawLine(QPointF(2.5, 3), QPointF(2.5, 12));
        arrow(p, QPointF(21.5, 3), QPointF(21.5, 12), Red, 1.4, 3.6);
    };
    save("showdisplacements.PNG", [&](QPainter& p) { displacements(p, false); });
    save("showdisplacementson.png", [&](QPainter& p) { displacements(p, true); });

    auto undoArrow = [&](QPainter& p, bool redo) {
        p.save();
        if (redo) {
            p.translate(24, 0);
            p.scale(-1, 1);
        }
        QPainterPath a;
        a.moveTo(8, 9);
        a.lineTo(15, 9);
        a.cubicTo(20, 9, 21, 19, 15, 19);
        a.lineTo(9, 19);
        p.setPen(pen(Blue, 2.4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(a);
        arrowHead(p, QPointF(2.5, 9), QPointF(9, 9), 7, Blue);
        p.restore();
    };
    save("undo.png", [&](QPainter& p) { undoArrow(p, false); });
    save("redo.png", [&](QPainter& p) { undoArrow(p, true); });
    // Constraint marker, drawn at its own size: the node sits at (11, 6), the support to its left.
    {
        QImage img(18, 18, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath t;
        t.moveTo(11, 6);
        t.lineTo(4, 1);
        t.lineTo(4, 11);
        t.closeSubpath();
        p.setPen(QPen(QColor("#0d47a1"), 1));
        p.setBrush(QColor("#1e88e5"));
        p.drawPath(t);
        p.setPen(QPen(Ink, 1.2));
        p.drawLine(QPointF(2.6, 0), QPointF(2.6, 12));
        p.setPen(QPen(Ink, 0.8));
        for (int i = 0; i < 5; ++i)
            p.drawLine(QPointF(2.6, 1 + 2.6 * i), QPointF(0.5, 3 + 2.6 * i));
        p.end();
        if (!img.save(outDir + "/fixed.png", "png"))
            qFatal("fixed.png");
    }
    // Window icon.
    {
        QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(64 / 24.0, 64 / 24.0);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor("#eceff1"));
        p.drawRoundedRect(QRectF(0.5, 0.5, 23, 23), 4, 4);
        p.setPen(pen(Ink, 0.8));
        p.setBrush(Green);
        p.drawPath(topology(QRectF(2.5, 6, 19, 10)));
        support(p, QPointF(2.4, 11), 0.55, Blue);
        arrow(p, QPointF(21.5, 16.5), QPointF(21.5, 22.5), Red, 1.2, 3);
        p.end();
        QImageWriter w(outDir + "/Strukta.ico", "ico");
        if (!w.write(img))
            qFatal("ico: %s", qPrintable(w.errorString()));
    }
    return 0;
}
